// Our window classes and how their windows answer messages. Forms behave as dialogs (the
// dialog manager's keyboard rules through DefDlgProc); panels and group boxes are painted like
// forms; a message-only window takes the timers' and the media's notices.
#include "ui/win32/common.h"

namespace ui::win32 {
namespace {

const wchar_t kFormClass[] = L"M2KForm";
const wchar_t kContainerClass[] = L"M2KContainer";
const wchar_t kMessageClass[] = L"M2KMessages";
ATOM formAtom = 0;

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
      PaintForm(hwnd, *form);
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
      PaintContainer(hwnd, container);
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

}  // namespace

Form* FormOf(HWND hwnd) {
  if (!hwnd || !formAtom || GetClassWord(hwnd, GCW_ATOM) != formAtom) return nullptr;
  return reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

const wchar_t* FormClassName() { return kFormClass; }

// The forms' class carries the icon that the first form shows, normally the application's:
// a window then has its icon from the moment it is made. Under Wine every icon a window is
// given is converted for the X server, big and small, so the two WM_SETICON messages after
// creation converted it twice more, after the default icon at creation (3 ms at logon).
HICON RegisterFormClass(HICON icon) {
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

}  // namespace ui::win32
