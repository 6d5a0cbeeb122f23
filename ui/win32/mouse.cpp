// Mouse input on painted controls: they have no windows of their own, so the form or
// container they sit in takes the mouse for them.
#include <windowsx.h>

#include "ui/input.h"
#include "ui/win32/common.h"

namespace ui::win32 {
namespace {

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

}  // namespace

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

}  // namespace ui::win32
