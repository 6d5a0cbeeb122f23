// The win32 backend: real windows, GDI painting into a DIB back buffer, SetTimer timers,
// MCI wave playback.
#include <windows.h>
#include <mmsystem.h>
#undef MessageBox
#undef DrawText

#include <exception>
#include <map>
#include <tuple>
#include <utility>

#include "ui/backend.h"

namespace ui {
namespace {

const char kFormClass[] = "M2KForm";
const char kMessageClass[] = "M2KMessages";

struct FormWindow {
  HWND hwnd = nullptr;
  int left = CW_USEDEFAULT, top = CW_USEDEFAULT;
  bool placed = false;
};

struct State {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND messages = nullptr;     // timers and media notices
  HWND appWindow = nullptr;    // hidden owner: owned forms get no taskbar button
  HICON icon = nullptr;
  bool taskbarHidden = false;
  bool startStateTaken = false;  // the main form has been shown once
  std::map<UINT_PTR, Timer*> timers;
  UINT_PTR nextTimerId = 1;
  std::map<MCIDEVICEID, MediaPlayer*> players;
  std::map<std::tuple<std::string, int, bool, int>, HFONT> fonts;
};

State& S() {
  static State state;
  return state;
}

Form* FormOf(HWND hwnd) { return reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }
FormWindow* WindowOf(const Form& form) { return static_cast<FormWindow*>(form.peer); }
COLORREF Ref(Color c) { return RGB(RedOf(c), GreenOf(c), BlueOf(c)); }

HFONT FontHandle(const Font& font) {
  const auto key = std::make_tuple(font.name, font.PixelHeight(), font.bold, static_cast<int>(font.charset));
  auto& cached = S().fonts[key];
  if (!cached)
    cached = CreateFontA(-font.PixelHeight(), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                         font.charset == Charset::ShiftJis ? SHIFTJIS_CHARSET : DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, font.name.c_str());
  return cached;
}

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
  return (form.stayOnTop ? WS_EX_TOPMOST : 0) |
         (form.borderStyle == BorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0);
}

SIZE OuterSize(const Form& form) {
  RECT r{0, 0, form.ClientWidth(), form.ClientHeight()};
  AdjustWindowRectEx(&r, StyleOf(form), FALSE, ExStyleOf(form));
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// Paints through GDI into a 32-bit DIB whose pixels the pictures are blended into directly.
class DibCanvas : public Canvas {
 public:
  DibCanvas(HDC dc, uint32_t* bits, int width, int height)
      : dc_(dc), bits_(bits), width_(width), height_(height) {}
  void DrawBitmap(int left, int top, const Bitmap& picture) override {
    GdiFlush();
    BlendOnto(bits_, width_, height_, picture, left, top);
  }
  void DrawText(int left, int top, const std::string& text, const Font& font) override {
    HGDIOBJ old = SelectObject(dc_, FontHandle(font));
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, Ref(font.color));
    TextOutA(dc_, left, top, text.data(), static_cast<int>(text.size()));
    SelectObject(dc_, old);
  }
  void FillRect(int left, int top, int width, int height, Color color) override {
    HBRUSH brush = CreateSolidBrush(Ref(color));
    RECT r{left, top, left + width, top + height};
    ::FillRect(dc_, &r, brush);
    DeleteObject(brush);
  }
  void Ellipse(int left, int top, int width, int height, Color fill, Color pen) override {
    HBRUSH brush = CreateSolidBrush(Ref(fill));
    HPEN outline = CreatePen(PS_SOLID, 1, Ref(pen));
    HGDIOBJ oldBrush = SelectObject(dc_, brush), oldPen = SelectObject(dc_, outline);
    ::Ellipse(dc_, left, top, left + width, top + height);
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
    DeleteObject(brush);
    DeleteObject(outline);
  }
  void Frame3D(int left, int top, int width, int height, bool lowered) override {
    RECT r{left, top, left + width, top + height};
    DrawEdge(dc_, &r, lowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }

 private:
  HDC dc_;
  uint32_t* bits_;
  int width_, height_;
};

void PaintForm(HWND hwnd, Form& form) {
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  const int w = client.right > 0 ? client.right : 1, h = client.bottom > 0 ? client.bottom : 1;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP buffer = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (buffer) {
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, buffer);
    DibCanvas canvas(memory, static_cast<uint32_t*>(bits), w, h);
    canvas.FillRect(0, 0, w, h, form.color);
    form.PaintControls(canvas);
    GdiFlush();
    BitBlt(screen, 0, 0, w, h, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(buffer);
  }
  EndPaint(hwnd, &ps);
}

Button* ButtonById(Form& form, WORD id) {
  const auto& all = form.Components();
  return id >= 1 && id <= all.size() ? dynamic_cast<Button*>(all[id - 1].get()) : nullptr;
}

// Enter and Esc press the form's default and cancel buttons.
bool PressKeyButton(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)) return false;
  HWND top = GetAncestor(msg.hwnd, GA_ROOT);
  Form* form = top ? FormOf(top) : nullptr;
  if (!form) return false;
  for (const auto& c : form->Components())
    if (auto* button = dynamic_cast<Button*>(c.get()))
      if ((msg.wParam == VK_RETURN && button->isDefault) || (msg.wParam == VK_ESCAPE && button->isCancel)) {
        button->Click();
        return true;
      }
  return false;
}

void Dispatch(const MSG& msg) {
  // As the standard application object does: an exception from an event handler is shown and
  // the loop goes on, so one failed timer tick or media notice does not end the program.
  try {
    if (PressKeyButton(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  } catch (const std::exception& error) {
    Application::Instance().ShowException(error);
  }
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Form* form = FormOf(hwnd);
  if (!form) return DefWindowProcA(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: PaintForm(hwnd, *form); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_CLOSE: form->Close(); return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && lParam)
        if (Button* button = ButtonById(*form, LOWORD(wParam))) button->Click();
      return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MessageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    auto it = S().timers.find(wParam);
    if (it != S().timers.end()) it->second->Fire();
    return 0;
  }
  if (message == MM_MCINOTIFY) {
    auto it = S().players.find(static_cast<MCIDEVICEID>(lParam));
    if (it == S().players.end()) return 0;
    const NotifyValue value = wParam == MCI_NOTIFY_SUCCESSFUL   ? NotifyValue::Successful
                              : wParam == MCI_NOTIFY_SUPERSEDED ? NotifyValue::Superseded
                              : wParam == MCI_NOTIFY_ABORTED    ? NotifyValue::Aborted
                                                                : NotifyValue::Failure;
    it->second->Notify(value);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSA form{};
  form.lpfnWndProc = FormProc;
  form.hInstance = S().instance;
  form.hCursor = LoadCursor(nullptr, IDC_ARROW);
  form.lpszClassName = kFormClass;
  RegisterClassA(&form);
  WNDCLASSA messages{};
  messages.lpfnWndProc = MessageProc;
  messages.hInstance = S().instance;
  messages.lpszClassName = kMessageClass;
  RegisterClassA(&messages);
}

HWND MessageWindow() {
  if (!S().messages) {
    RegisterClasses();
    S().messages = CreateWindowExA(0, kMessageClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   S().instance, nullptr);
  }
  return S().messages;
}

HWND AppWindow() {
  if (!S().appWindow) {
    RegisterClasses();
    S().appWindow = CreateWindowExA(0, kMessageClass, Application::Instance().title.c_str(), WS_POPUP,
                                    0, 0, 0, 0, nullptr, nullptr, S().instance, nullptr);
  }
  return S().appWindow;
}

HWND ParentWindow(const Control& control) {
  Form* form = control.Owner();
  FormWindow* window = form ? WindowOf(*form) : nullptr;
  return window ? window->hwnd : nullptr;
}

void CreateButton(Form& form, Button& button, WORD id) {
  HWND parent = WindowOf(form)->hwnd;
  const DWORD style = WS_CHILD | WS_TABSTOP | (button.Visible() ? WS_VISIBLE : 0) |
                      (button.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  HWND hwnd = CreateWindowExA(0, "BUTTON", button.Caption().c_str(), style, button.Left(), button.Top(),
                              button.Width(), button.Height(), parent,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), S().instance, nullptr);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(form.font)), TRUE);
  button.peer = hwnd;
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
  window->hwnd = CreateWindowExA(ExStyleOf(form), kFormClass, form.caption.c_str(), StyleOf(form),
                                 window->left, window->top, outer.cx, outer.cy, owner, nullptr,
                                 S().instance, &form);
  if (S().icon) {
    SendMessageA(window->hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(S().icon));
    SendMessageA(window->hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(S().icon));
  }
  WORD id = 1;
  for (const auto& c : form.Components()) {
    if (auto* button = dynamic_cast<Button*>(c.get())) CreateButton(form, *button, id);
    ++id;
  }
  return window->hwnd;
}

// The main form's first show takes the state the program was started in (a shortcut set to
// "minimised"), as a Windows program passes its nCmdShow to its first window; every other show
// is a plain one.
int ShowCommand(const Form& form) {
  if (&form != Application::Instance().MainForm() || std::exchange(S().startStateTaken, true))
    return SW_SHOWNORMAL;
  STARTUPINFOA startup{};
  GetStartupInfoA(&startup);
  const bool given = (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow != SW_HIDE;
  return given ? startup.wShowWindow : SW_SHOWNORMAL;
}

}  // namespace

namespace backend {

void FormChanged(Form& form) {
  FormWindow* window = WindowOf(form);
  if (!window || !window->hwnd) return;
  SetWindowTextA(window->hwnd, form.caption.c_str());
  SetWindowLongA(window->hwnd, GWL_STYLE, static_cast<LONG>(StyleOf(form) | (form.Visible() ? WS_VISIBLE : 0)));
  SetWindowLongA(window->hwnd, GWL_EXSTYLE, static_cast<LONG>(ExStyleOf(form)));
  const SIZE outer = OuterSize(form);
  SetWindowPos(window->hwnd, form.stayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

void FormSetVisible(Form& form, bool visible) {
  HWND hwnd = EnsureWindow(form);
  ShowWindow(hwnd, visible ? ShowCommand(form) : SW_HIDE);
  if (visible) UpdateWindow(hwnd);
}

void FormDestroyed(Form& form) {
  FormWindow* window = WindowOf(form);
  if (!window) return;
  if (window->hwnd) {
    SetWindowLongPtrA(window->hwnd, GWLP_USERDATA, 0);
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

int FormRunModal(Form& form) {
  HWND owner = form.ownerForm ? EnsureWindow(*form.ownerForm) : nullptr;
  if (owner) EnableWindow(owner, FALSE);
  form.Show();
  MSG msg;
  while (!form.Closed() && form.modalResult == 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
  if (owner) EnableWindow(owner, TRUE);
  form.Hide();
  if (owner) SetActiveWindow(owner);
  return form.modalResult;
}

void ControlChanged(Control& control) {
  if (!control.IsPainted()) {
    HWND hwnd = static_cast<HWND>(control.peer);
    if (!hwnd) return;
    if (auto* button = dynamic_cast<Button*>(&control)) SetWindowTextA(hwnd, button->Caption().c_str());
    MoveWindow(hwnd, control.Left(), control.Top(), control.Width(), control.Height(), TRUE);
    ShowWindow(hwnd, control.Visible() ? SW_SHOW : SW_HIDE);
    return;
  }
  if (HWND parent = ParentWindow(control)) InvalidateRect(parent, nullptr, FALSE);
}

void ControlDestroyed(Control& control) {
  if (!control.IsPainted() && control.peer) DestroyWindow(static_cast<HWND>(control.peer));
  control.peer = nullptr;
}

void TimerChanged(Timer& timer) {
  HWND window = MessageWindow();
  UINT_PTR id = reinterpret_cast<UINT_PTR>(timer.peer);
  if (id) {
    KillTimer(window, id);
    S().timers.erase(id);
    timer.peer = nullptr;
  }
  if (!timer.Enabled() || timer.Interval() <= 0) return;
  id = S().nextTimerId++;
  S().timers[id] = &timer;
  timer.peer = reinterpret_cast<void*>(id);
  SetTimer(window, id, static_cast<UINT>(timer.Interval()), nullptr);
}

void TimerDestroyed(Timer& timer) {
  const UINT_PTR id = reinterpret_cast<UINT_PTR>(timer.peer);
  if (!id) return;
  KillTimer(MessageWindow(), id);
  S().timers.erase(id);
  timer.peer = nullptr;
}

[[noreturn]] void ThrowMci(MCIERROR error) {
  char text[256] = {};
  if (!mciGetErrorStringA(error, text, sizeof text)) lstrcpyA(text, "MCI error");
  throw Error(text);
}

void MediaOpen(MediaPlayer& player) {
  MCI_OPEN_PARMSA open{};
  open.lpstrDeviceType = "waveaudio";
  open.lpstrElementName = player.fileName.c_str();
  if (MCIERROR error = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                                       reinterpret_cast<DWORD_PTR>(&open)))
    ThrowMci(error);
  player.peer = reinterpret_cast<void*>(static_cast<UINT_PTR>(open.wDeviceID));
  S().players[open.wDeviceID] = &player;
}

void MediaPlay(MediaPlayer& player) {
  const auto device = static_cast<MCIDEVICEID>(reinterpret_cast<UINT_PTR>(player.peer));
  MCI_PLAY_PARMS play{};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(MessageWindow());
  if (MCIERROR error = mciSendCommandA(device, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play)))
    ThrowMci(error);
}

void MediaClose(MediaPlayer& player) {
  const auto device = static_cast<MCIDEVICEID>(reinterpret_cast<UINT_PTR>(player.peer));
  S().players.erase(device);  // a late notice of the closed device is dropped
  mciSendCommandA(device, MCI_CLOSE, MCI_WAIT, 0);
  player.peer = nullptr;
}

void ApplicationIcon(const std::string& resource) {
  S().icon = LoadIconA(S().instance, resource.c_str());
}

void ApplicationHideTaskbar() { S().taskbarHidden = true; }

void ApplicationRestore() {
  Form* main = Application::Instance().MainForm();
  FormWindow* window = main ? WindowOf(*main) : nullptr;
  if (window && window->hwnd && IsIconic(window->hwnd)) ShowWindow(window->hwnd, SW_RESTORE);
}

void RunMessageLoop(Application& app) {
  MSG msg;
  while (!app.Terminated()) {
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
    Dispatch(msg);
  }
}

void ShowException(const std::string& title, const std::string& message) {
  ::MessageBoxA(nullptr, message.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

MessageResult MessageBox(const Form& owner, const std::string& text, MessageIcon icon,
                         MessageButtons buttons) {
  const UINT iconFlag = icon == MessageIcon::Error     ? MB_ICONERROR
                        : icon == MessageIcon::Warning ? MB_ICONWARNING
                        : icon == MessageIcon::Question ? MB_ICONQUESTION
                                                        : MB_ICONINFORMATION;
  const UINT buttonFlag = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
  const FormWindow* window = WindowOf(owner);
  const int answer = ::MessageBoxA(window ? window->hwnd : nullptr, text.c_str(), owner.caption.c_str(),
                                 iconFlag | buttonFlag);
  return answer == IDYES ? MessageResult::Yes : answer == IDNO ? MessageResult::No : MessageResult::Ok;
}

Size MeasureText(const Font& font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FontHandle(font));
  SIZE extent{0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  if (text.empty()) {
    TEXTMETRICA metric{};
    GetTextMetricsA(dc, &metric);
    extent.cy = metric.tmHeight;
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return Size{extent.cx, extent.cy};
}

Size ScreenSize() { return Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

std::string ResourceBytes(const std::string& name) {
  HRSRC found = FindResourceA(S().instance, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!found) return std::string();
  HGLOBAL loaded = LoadResource(S().instance, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::string();
  return std::string(static_cast<const char*>(data), SizeofResource(S().instance, found));
}

}  // namespace backend
}  // namespace ui
