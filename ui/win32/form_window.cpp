// Form windows: their styles and size, their making (with the windows of their controls, the
// tab order, the default button and the hints) and what the model asks of them.
#include "ui/win32/common.h"

namespace ui::win32 {
namespace {

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

void MakeControls(Form& form, FormWindow& window) {
  for (const auto& c : form.Components())
    if (auto* control = dynamic_cast<WinControl*>(c.get())) control->AttachPeer(MakePeer(*control));
  ArrangeTabOrder(form, nullptr);
  for (const auto& c : form.Components())
    if (auto* button = dynamic_cast<Button*>(c.get()); button && button->isDefault && button->GetPeer())
      SendMessageW(window.hwnd, DM_SETDEFID, static_cast<WPARAM>(static_cast<WinPeer*>(button->GetPeer())->Id()), 0);
  AddHints(window, form);
}

}  // namespace

FormWindow* WindowOf(const Form& form) { return static_cast<FormWindow*>(form.peer); }

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
  window->hwnd = CreateWindowExW(ExStyleOf(form), FormClassName(), Wide(form.caption).c_str(), StyleOf(form),
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

}  // namespace ui::backend
