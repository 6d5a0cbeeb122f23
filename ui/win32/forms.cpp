// Forms and containers: top-level windows that behave as dialogs (the dialog manager's keyboard
// rules through IsDialogMessage and DefDlgProc), painted controls drawn into a back buffer,
// mouse input for painted controls, the message loop and modal loops.
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "ui/input.h"
#include "ui/win32/common.h"

namespace ui::win32 {
namespace {

const wchar_t kFormClass[] = L"M2KForm";
const wchar_t kContainerClass[] = L"M2KContainer";
const wchar_t kMessageClass[] = L"M2KMessages";
ATOM formAtom = 0;

DWORD StyleOf(const Form& form) {
  switch (form.borderStyle) {
    case BorderStyle::None: return WS_POPUP | WS_CLIPCHILDREN;
    case BorderStyle::Dialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    case BorderStyle::Single: break;
  }
  return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN |
         (form.minimizeBox ? WS_MINIMIZEBOX : 0) | (form.maximizeBox ? WS_MAXIMIZEBOX : 0);
}

DWORD ExStyleOf(const Form& form) {
  return WS_EX_CONTROLPARENT | (form.stayOnTop ? WS_EX_TOPMOST : 0) |
         (form.borderStyle == BorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0);
}

SIZE OuterSize(const Form& form) {
  RECT r{0, 0, form.ClientWidth(), form.ClientHeight()};
  AdjustWindowRectEx(&r, StyleOf(form), form.Menu() != nullptr, ExStyleOf(form));
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// A menu bar that wraps onto a second line takes more than the one line AdjustWindowRectEx
// allows for: the window grows until the client area has its designed size.
void KeepClientSize(HWND hwnd, const Form& form) {
  RECT client, outer;
  GetClientRect(hwnd, &client);
  GetWindowRect(hwnd, &outer);
  const int dw = form.ClientWidth() - client.right, dh = form.ClientHeight() - client.bottom;
  if (dw == 0 && dh == 0) return;
  SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left + dw, outer.bottom - outer.top + dh,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Color ContainerColor(const WinControl* container) {
  for (; container; container = container->Parent())
    if (auto* panel = dynamic_cast<const Panel*>(container)) return panel->color;
  return kButtonFace;
}

Color SurfaceColor(const Control& control) {
  if (control.Parent()) return ContainerColor(control.Parent());
  return control.Owner() ? control.Owner()->color : kButtonFace;
}

HBRUSH BrushOf(Color color) {
  static std::map<Color, HBRUSH> brushes;
  HBRUSH& brush = brushes[color];
  if (!brush) brush = CreateSolidBrush(Ref(color));
  return brush;
}

// Back buffers of the last paints, kept by size for the next ones: an animated window repaints
// the same rectangles five times a second. The few most recent sizes are kept.
BackBuffer& BufferFor(HDC screen, int width, int height) {
  struct Kept {
    int width, height;
    std::unique_ptr<BackBuffer> buffer;
  };
  static std::vector<Kept> kept;
  for (auto it = kept.begin(); it != kept.end(); ++it)
    if (it->width == width && it->height == height) {
      std::rotate(kept.begin(), it, it + 1);
      return *kept.front().buffer;
    }
  if (kept.size() >= 3) kept.pop_back();
  kept.insert(kept.begin(), Kept{width, height, std::make_unique<BackBuffer>(screen, width, height)});
  return *kept.front().buffer;
}

// The rectangles of the window's update region, read before BeginPaint validates it; empty
// when there are too many to be worth painting one by one.
std::vector<RECT> UpdateRects(HWND hwnd) {
  std::vector<RECT> rects;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (region && GetUpdateRgn(hwnd, region, FALSE) == COMPLEXREGION) {
    const DWORD bytes = GetRegionData(region, 0, nullptr);
    std::vector<char> data(bytes);
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    if (bytes && GetRegionData(region, bytes, header) && header->rdh.nCount <= 4) {
      const auto* first = reinterpret_cast<const RECT*>(header->Buffer);
      rects.assign(first, first + header->rdh.nCount);
    }
  }
  if (region) DeleteObject(region);
  return rects;
}

// The most a back buffer holds: a larger rectangle is painted in bands of rows. The first
// paint of a whole window would otherwise make a buffer of all of it, fresh memory to fault in
// (dear under Wine, at logon) and kept afterwards. An animated figure fits one band.
constexpr int kBandBytes = 128 * 1024;

// Paints the invalid part of a window through a back buffer. Each rectangle of the update
// region is painted on its own: the two animated figures of a window lie far apart, and their
// bounding box would repaint everything between them five times a second.
template <class PaintFunction>
void PaintSurface(HWND hwnd, PaintFunction paint) {
  std::vector<RECT> rects = UpdateRects(hwnd);
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(hwnd, &ps);
  if (rects.empty()) rects.push_back(ps.rcPaint);
  for (const RECT& r : rects) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) continue;
    const int bandRows = std::clamp(kBandBytes / (4 * w), 1, h);
    for (int top = r.top; top < r.bottom; top += bandRows) {
      const int rows = std::min(bandRows, static_cast<int>(r.bottom) - top);
      BackBuffer& buffer = BufferFor(screen, w, rows);
      if (!buffer.Ok()) continue;
      DibCanvas canvas(buffer.Dc(), buffer.Bits(), w, rows, r.left, top);
      paint(canvas);
      GdiFlush();
      SetViewportOrgEx(buffer.Dc(), 0, 0, nullptr);
      BitBlt(screen, r.left, top, w, rows, buffer.Dc(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(hwnd, &ps);
}

UINT EdgeOf(BevelCut cut, bool outer) {
  if (cut == BevelCut::Raised) return outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER;
  if (cut == BevelCut::Lowered) return outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
  return 0;
}

// The face and the bevels fill the client area, which a single border makes smaller than the
// panel.
void PaintPanel(HWND hwnd, DibCanvas& canvas, const Panel& panel) {
  RECT r;
  GetClientRect(hwnd, &r);
  canvas.FillRect(0, 0, r.right, r.bottom, panel.color);
  if (UINT edge = EdgeOf(panel.bevelOuter, true)) {
    DrawEdge(canvas.Dc(), &r, edge, BF_RECT);
    InflateRect(&r, -1, -1);
  }
  if (UINT edge = EdgeOf(panel.bevelInner, false)) DrawEdge(canvas.Dc(), &r, edge, BF_RECT);
  panel.Owner()->PaintControls(canvas, &panel);
}

void PaintGroupBox(DibCanvas& canvas, const GroupBox& group) {
  const Font& font = group.Owner()->font;
  const Size caption = backend::MeasureText(font, group.Caption(), true);
  canvas.FillRect(0, 0, group.Width(), group.Height(), SurfaceColor(group));
  RECT frame{0, caption.height / 2, group.Width(), group.Height()};
  DrawEdge(canvas.Dc(), &frame, EDGE_ETCHED, BF_RECT);
  if (!group.Caption().empty()) {
    canvas.FillRect(6, 0, caption.width + 4, caption.height, SurfaceColor(group));
    Font shown = font;
    shown.color = group.Usable() ? font.color : kGray;
    canvas.DrawText(8, 0, group.Caption(), shown, true);
  }
  group.Owner()->PaintControls(canvas, &group);
}

bool MouseMessage(UINT message, MouseButton& button, bool& down) {
  switch (message) {
    case WM_LBUTTONDOWN: button = MouseButton::Left, down = true; return true;
    case WM_LBUTTONUP: button = MouseButton::Left, down = false; return true;
    case WM_RBUTTONDOWN: button = MouseButton::Right, down = true; return true;
    case WM_RBUTTONUP: button = MouseButton::Right, down = false; return true;
    case WM_MBUTTONDOWN: button = MouseButton::Middle, down = true; return true;
    case WM_MBUTTONUP: button = MouseButton::Middle, down = false; return true;
  }
  return false;
}

// Mouse input on the painted controls of a form or container; the window keeps the capture
// from a press to its release, so the release reaches the control that was pressed.
void HandleMouse(HWND hwnd, Form& form, const WinControl* container, UINT message, LPARAM lParam) {
  MouseButton button;
  bool down;
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  if (MouseMessage(message, button, down)) {
    if (down) {
      SetCapture(hwnd);
      Guarded([&] { input::MouseDown(form, container, button, x, y); });
    } else {
      if (GetCapture() == hwnd) ReleaseCapture();
      Guarded([&] { input::MouseUp(form, container, button, x, y); });
    }
    return;
  }
  if (message == WM_CONTEXTMENU) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const POINT screen = at;
    ScreenToClient(hwnd, &at);
    if (PopupMenu* menu = input::ContextMenuAt(form, container, at.x, at.y))
      Guarded([&] { menu->Popup(screen.x, screen.y); });
  }
}

bool IsMouseInput(UINT message) {
  return (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONUP) || message == WM_CONTEXTMENU;
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Form* form = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!form) return DefDlgProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  if (HandleChildMessage(hwnd, message, wParam, lParam, result)) return result;
  if (IsMouseInput(message)) HandleMouse(hwnd, *form, nullptr, message, lParam);
  switch (message) {
    case WM_PAINT:
      PaintSurface(hwnd, [form](DibCanvas& canvas) {
        canvas.FillRect(0, 0, form->ClientWidth(), form->ClientHeight(), form->color);
        form->PaintControls(canvas, nullptr);
      });
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_CLOSE: Guarded([form] { form->Close(); }); return 0;
  }
  return DefDlgProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WinPeer* peer = PeerOf(hwnd);
  if (!peer) return DefWindowProcW(hwnd, message, wParam, lParam);
  WinControl& container = peer->Model();
  LRESULT result = 0;
  if (HandleChildMessage(hwnd, message, wParam, lParam, result)) return result;
  if (IsMouseInput(message) && message != WM_CONTEXTMENU)
    HandleMouse(hwnd, *container.Owner(), &container, message, lParam);
  switch (message) {
    case WM_CONTEXTMENU:
      HandleMouse(hwnd, *container.Owner(), &container, message, lParam);
      return 0;
    case WM_PAINT:
      PaintSurface(hwnd, [hwnd, &container](DibCanvas& canvas) {
        if (auto* panel = dynamic_cast<Panel*>(&container)) PaintPanel(hwnd, canvas, *panel);
        if (auto* group = dynamic_cast<GroupBox*>(&container)) PaintGroupBox(canvas, *group);
      });
      return 0;
    case WM_ERASEBKGND: return 1;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MessageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    auto it = S().timers.find(wParam);
    if (it != S().timers.end()) Guarded([timer = it->second] { timer->Fire(); });
    return 0;
  }
  if (message == MM_MCINOTIFY) {
    auto it = S().players.find(static_cast<MCIDEVICEID>(lParam));
    if (it == S().players.end()) return 0;
    const NotifyValue value = wParam == MCI_NOTIFY_SUCCESSFUL   ? NotifyValue::Successful
                              : wParam == MCI_NOTIFY_SUPERSEDED ? NotifyValue::Superseded
                              : wParam == MCI_NOTIFY_ABORTED    ? NotifyValue::Aborted
                                                                : NotifyValue::Failure;
    Guarded([player = it->second, value] { player->Notify(value); });
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The controls of each container stand in tab order in the window order, which is the order
// the dialog manager's Tab follows; a radio button starts a group unless one comes before it.
void ArrangeTabOrder(const Form& form, const WinControl* container) {
  HWND previous = nullptr;
  bool afterRadio = false;
  for (WinControl* control : input::TabOrderOf(form, container)) {
    auto* peer = static_cast<WinPeer*>(control->GetPeer());
    if (!peer) continue;
    HWND hwnd = peer->Handle();
    SetWindowPos(hwnd, previous ? previous : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    previous = hwnd;
    const bool radio = control->GetKind() == Kind::RadioButton;
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    style = (radio && afterRadio) ? (style & ~WS_GROUP) : (style | WS_GROUP);
    SetWindowLongW(hwnd, GWL_STYLE, style);
    afterRadio = radio;
    if (control->GetKind() == Kind::Panel || control->GetKind() == Kind::GroupBox) ArrangeTabOrder(form, control);
  }
}

void AddHints(FormWindow& window, const Form& form) {
  for (const auto& c : form.Components()) {
    auto* control = dynamic_cast<WinControl*>(c.get());
    auto* peer = control ? static_cast<WinPeer*>(control->GetPeer()) : nullptr;
    if (!peer || control->hint.empty()) continue;
    if (!window.tooltip)
      window.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       window.hwnd, nullptr, S().instance, nullptr);
    const std::wstring hint = Wide(control->hint);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window.hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(peer->Handle());
    tool.lpszText = const_cast<wchar_t*>(hint.c_str());
    SendMessageW(window.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void MakeControls(Form& form, FormWindow& window) {
  for (const auto& c : form.Components())
    if (auto* control = dynamic_cast<WinControl*>(c.get())) control->AttachPeer(control->MakePeer());
  ArrangeTabOrder(form, nullptr);
  for (const auto& c : form.Components())
    if (auto* button = dynamic_cast<Button*>(c.get()); button && button->isDefault && button->GetPeer())
      SendMessageW(window.hwnd, DM_SETDEFID, static_cast<WPARAM>(static_cast<WinPeer*>(button->GetPeer())->Id()), 0);
  AddHints(window, form);
}

}  // namespace

State& S() {
  static State state;
  return state;
}

void Guarded(const Handler& handler) { Application::Instance().Guard(handler); }

Form* FormOf(HWND hwnd) {
  if (!hwnd || !formAtom || GetClassWord(hwnd, GCW_ATOM) != formAtom) return nullptr;
  return reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

FormWindow* WindowOf(const Form& form) { return static_cast<FormWindow*>(form.peer); }

// The forms' class carries the icon that the first form shows, normally the application's:
// a window then has its icon from the moment it is made. Under Wine every icon a window is
// given is converted for the X server, big and small, so the two WM_SETICON messages after
// creation converted it twice more, after the default icon at creation (3 ms at logon).
static HICON RegisterFormClass(HICON icon) {
  static HICON classIcon = nullptr;
  if (formAtom) return classIcon;
  WNDCLASSEXW form{};
  form.cbSize = sizeof form;
  form.lpfnWndProc = FormProc;
  form.cbWndExtra = DLGWINDOWEXTRA;  // the dialog manager keeps its state there
  form.hInstance = S().instance;
  form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  form.hIcon = icon;
  form.hIconSm = icon;  // as WM_SETICON gives it: the same icon, drawn small
  form.lpszClassName = kFormClass;
  formAtom = RegisterClassExW(&form);
  classIcon = icon;
  return classIcon;
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSW container{};
  container.lpfnWndProc = ContainerProc;
  container.hInstance = S().instance;
  container.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  container.lpszClassName = kContainerClass;
  RegisterClassW(&container);
  WNDCLASSW messages{};
  messages.lpfnWndProc = MessageProc;
  messages.hInstance = S().instance;
  messages.lpszClassName = kMessageClass;
  RegisterClassW(&messages);
}

void EnsureCommonControls() {
  static bool done = false;
  if (done) return;
  done = true;
  static auto* const init =
      platform::win32::LateBound<decltype(InitCommonControlsEx)>(L"comctl32.dll", "InitCommonControlsEx");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  if (init) init(&controls);
}

const wchar_t* ContainerClassName() { return kContainerClass; }

// Timers and media notices go to a message-only window of their own. A run that hides its
// taskbar window (the counter) makes that window anyway, and its notices go there: one window
// fewer to create before the counter shows (about a millisecond under Wine).
HWND MessageWindow() {
  if (!S().messages && S().taskbarHidden) S().messages = AppWindow();
  if (!S().messages) {
    RegisterClasses();
    S().messages = CreateWindowExW(0, kMessageClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   S().instance, nullptr);
  }
  return S().messages;
}

// The hidden window that owns the forms of a run without a taskbar button. It never shows, so
// its style matters to Wine alone: there a window that owns a captioned window is turned into a
// window the X window manager handles when that window first shows, which for a plain pop-up
// cost the counter's start about 2.5 ms. With a caption of its own it is handled so from the
// start.
HWND AppWindow() {
  if (!S().appWindow) {
    RegisterClasses();
    constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    S().appWindow = CreateWindowExW(0, kMessageClass, Wide(Application::Instance().title).c_str(), kStyle,
                                    0, 0, 0, 0, nullptr, nullptr, S().instance, nullptr);
  }
  return S().appWindow;
}

HWND EnsureWindow(Form& form) {
  if (!form.peer) form.peer = new FormWindow;
  FormWindow* window = WindowOf(form);
  if (window->hwnd) return window->hwnd;
  RegisterClasses();
  const SIZE outer = OuterSize(form);
  if (!window->placed && form.position == FormPosition::ScreenCenter) {
    window->left = (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
    window->top = (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
  }
  HWND owner = form.ownerForm ? EnsureWindow(*form.ownerForm)
                              : (S().taskbarHidden ? AppWindow() : nullptr);
  HMENU menu = form.Menu() ? MenuHandle(*form.Menu()) : nullptr;
  HICON icon = form.iconResource.empty() ? S().icon : LoadIconW(S().instance, Wide(form.iconResource).c_str());
  const HICON classIcon = RegisterFormClass(icon);
  window->hwnd = CreateWindowExW(ExStyleOf(form), kFormClass, Wide(form.caption).c_str(), StyleOf(form),
                                 window->left, window->top, outer.cx, outer.cy, owner, menu,
                                 S().instance, &form);
  if (icon && icon != classIcon) {
    SendMessageW(window->hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window->hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  KeepClientSize(window->hwnd, form);
  MakeControls(form, *window);
  return window->hwnd;
}

HWND ContainerWindow(const Control& control) {
  if (const WinControl* parent = control.Parent()) {
    auto* peer = static_cast<WinPeer*>(parent->GetPeer());
    return peer ? peer->Handle() : nullptr;
  }
  const FormWindow* window = control.Owner() ? WindowOf(*control.Owner()) : nullptr;
  return window ? window->hwnd : nullptr;
}

bool HandleChildMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      if (WinPeer* peer = lParam ? PeerOf(reinterpret_cast<HWND>(lParam)) : nullptr) {
        Guarded([peer, wParam] { peer->Command(HIWORD(wParam)); });
        return true;
      }
      if (lParam) return false;
      const UINT id = LOWORD(wParam);
      if (RunMenuCommand(id)) return true;
      // Enter and Esc from the dialog manager, when no button of ours is behind them.
      HWND top = GetActiveWindow();
      Form* form = FormOf(top);
      if (form && (id == IDOK || id == IDCANCEL))
        Guarded([form, id] { id == IDOK ? input::PressDefault(*form) : input::PressCancel(*form); });
      return form != nullptr;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      WinPeer* peer = header ? PeerOf(header->hwndFrom) : nullptr;
      if (!peer) return false;
      Guarded([&] { result = peer->Notify(header); });
      return true;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      WinPeer* peer = item ? PeerOf(item->hwndItem) : nullptr;
      if (!peer) return false;
      bool drawn = false;
      Guarded([&] { drawn = peer->DrawItem(*item); });
      result = drawn;
      return drawn;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
      WinPeer* peer = lParam ? PeerOf(reinterpret_cast<HWND>(lParam)) : nullptr;
      if (!peer) return false;
      Guarded([peer] { peer->Scrolled(); });
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      WinPeer* peer = PeerOf(reinterpret_cast<HWND>(lParam));
      if (!peer) return false;
      const Control& control = peer->Model();
      Color face = SurfaceColor(control);
      if (auto* edit = dynamic_cast<const Edit*>(&control); edit && message != WM_CTLCOLORSTATIC) face = edit->color;
      if (auto* edit = dynamic_cast<const Edit*>(&control); edit && message == WM_CTLCOLORSTATIC) face = edit->color;
      if (message == WM_CTLCOLORLISTBOX) face = kWhite;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, Ref(face));
      SetTextColor(dc, Ref(control.Owner() ? control.Owner()->font.color : kBlack));
      result = reinterpret_cast<LRESULT>(BrushOf(face));
      return true;
    }
  }
  return false;
}

// ---- peers: the part every kind shares ----

WinPeer::WinPeer(WinControl& control, const wchar_t* windowClass, DWORD style, DWORD exStyle)
    : control_(control), id_(S().nextControlId++) {
  EnsureCommonControls();
  HWND parent = ContainerWindow(control);
  hwnd_ = CreateWindowExW(exStyle, windowClass, Wide(control.Caption()).c_str(),
                          WS_CHILD | style | (control.tabStop ? WS_TABSTOP : 0), control.Left(), control.Top(),
                          control.Width(), control.Height(), parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), S().instance, nullptr);
  if (!hwnd_) throw Error("control window not created: " + control.Name());
  SetPropW(hwnd_, L"M2KPeer", this);
  const Font& font = control.Owner()->font;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(font)), FALSE);
}

WinPeer::~WinPeer() {
  if (IsWindow(hwnd_)) {
    RemovePropW(hwnd_, L"M2KPeer");
    DestroyWindow(hwnd_);
  }
}

bool WindowText(HWND hwnd, std::string& text) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, &wide[0], length + 1);
  wide.resize(static_cast<size_t>(got > 0 ? got : 0));
  return platform::win32::ToShiftJis(wide, text);
}

void WinPeer::SetTextIfChanged(const std::string& text) {
  std::string current;
  if (WindowText(hwnd_, current) && current == text) return;
  syncing_ = true;
  SetWindowTextW(hwnd_, Wide(text).c_str());
  syncing_ = false;
}

void WinPeer::Sync() {
  RECT now;
  GetWindowRect(hwnd_, &now);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&now), 2);
  if (now.left != control_.Left() || now.top != control_.Top() || now.right - now.left != control_.Width() ||
      now.bottom - now.top != control_.Height())
    MoveWindow(hwnd_, control_.Left(), control_.Top(), control_.Width(), control_.Height(), TRUE);
  if (control_.GetKind() != Kind::Edit) SetTextIfChanged(control_.Caption());
  if (!IsWindowEnabled(hwnd_) != !control_.Enabled()) EnableWindow(hwnd_, control_.Enabled());
  if (!IsWindowVisible(hwnd_) != !control_.Visible() || (control_.Visible() && !(GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE)))
    ShowWindow(hwnd_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
}

WinPeer* PeerOf(HWND hwnd) { return hwnd ? static_cast<WinPeer*>(GetPropW(hwnd, L"M2KPeer")) : nullptr; }

}  // namespace ui::win32

namespace ui::backend {

using namespace ui::win32;

void FormChanged(Form& form) {
  FormWindow* window = WindowOf(form);
  if (!window || !window->hwnd) return;
  SetWindowTextW(window->hwnd, Wide(form.caption).c_str());
  SetWindowLongW(window->hwnd, GWL_STYLE, static_cast<LONG>(StyleOf(form) | (form.Visible() ? WS_VISIBLE : 0)));
  SetWindowLongW(window->hwnd, GWL_EXSTYLE, static_cast<LONG>(ExStyleOf(form)));
  HMENU menu = form.Menu() ? MenuHandle(*form.Menu()) : nullptr;
  if (GetMenu(window->hwnd) != menu) SetMenu(window->hwnd, menu);
  const SIZE outer = OuterSize(form);
  SetWindowPos(window->hwnd, form.stayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_FRAMECHANGED | SWP_NOACTIVATE);
  KeepClientSize(window->hwnd, form);
}

namespace {

// The main form's first show takes the state the program was started in (a shortcut set to
// "minimised"), as a Windows program passes its nCmdShow to its first window; every other show
// is a plain one.
int ShowCommand(const Form& form) {
  static bool startStateTaken = false;
  if (&form != Application::Instance().MainForm() || startStateTaken) return SW_SHOWNORMAL;
  startStateTaken = true;
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  const bool given = (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow != SW_HIDE;
  return given ? startup.wShowWindow : SW_SHOWNORMAL;
}

}  // namespace

void FormSetVisible(Form& form, bool visible) {
  HWND hwnd = EnsureWindow(form);
  ShowWindow(hwnd, visible ? ShowCommand(form) : SW_HIDE);
  if (visible) UpdateWindow(hwnd);
}

void FormDestroyed(Form& form) {
  FormWindow* window = WindowOf(form);
  if (!window) return;
  if (window->hwnd) {
    SetMenu(window->hwnd, nullptr);  // the menu model is gone: its handle was destroyed with it
    SetWindowLongPtrW(window->hwnd, GWLP_USERDATA, 0);
    DestroyWindow(window->hwnd);
  }
  delete window;
  form.peer = nullptr;
}

void FormInvalidate(Form& form) {
  FormWindow* window = WindowOf(form);
  if (window && window->hwnd) InvalidateRect(window->hwnd, nullptr, FALSE);
}

Rect FormOuterRect(const Form& form) {
  const FormWindow* window = WindowOf(form);
  if (window && window->hwnd) {
    RECT r;
    GetWindowRect(window->hwnd, &r);
    return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  const SIZE outer = OuterSize(form);
  return Rect{window ? window->left : 0, window ? window->top : 0, outer.cx, outer.cy};
}

void FormMove(Form& form, int left, int top) {
  if (!form.peer) form.peer = new FormWindow;
  FormWindow* window = WindowOf(form);
  window->left = left;
  window->top = top;
  window->placed = true;
  if (window->hwnd) SetWindowPos(window->hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// Messages are taken and passed on as Unicode: a double-byte character typed as one Unicode
// character (an input tool, Wine's keyboard with kana) reaches the edit boxes whole. Taken as
// ANSI it came in two halves, which Wine's edit control turned into two wrong characters.
void Dispatch(MSG& msg) {
  HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (Form* form = FormOf(top)) {
    if (msg.message == WM_SYSCHAR && msg.wParam < 0x80) {
      bool handled = false;
      Guarded([&] { handled = input::PressMnemonic(*form, static_cast<char>(msg.wParam)); });
      if (handled) return;
    }
    if (IsDialogMessageW(top, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace

void FormRunModal(Form& form) {
  MSG msg;
  while (form.modalResult == mrNone && !form.Closed()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop
      form.Close();
      break;
    }
    Dispatch(msg);
  }
}

void FormEnableOwner(Form& form, bool enabled) {
  if (!form.ownerForm) return;
  const FormWindow* owner = WindowOf(*form.ownerForm);
  if (owner && owner->hwnd) EnableWindow(owner->hwnd, enabled);
}

void RunMessageLoop(Application& app) {
  MSG msg;
  while (!app.Terminated()) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
    Dispatch(msg);
  }
}

void PaintedChanged(Control& control) {
  HWND container = ContainerWindow(control);
  if (!container) return;
  RECT r{control.Left(), control.Top(), control.Left() + control.Width(), control.Top() + control.Height()};
  InvalidateRect(container, &r, FALSE);
}

void FocusControl(WinControl& control) {
  if (auto* peer = static_cast<WinPeer*>(control.GetPeer())) SetFocus(peer->Handle());
}

WinControl* FocusedControl(const Form& form) {
  for (HWND focus = GetFocus(); focus; focus = GetParent(focus))
    if (WinPeer* peer = PeerOf(focus)) return peer->Model().Owner() == &form ? &peer->Model() : nullptr;
  return nullptr;
}

void ControlDestroyed(WinControl& control) { control.DetachPeer(); }

}  // namespace ui::backend
