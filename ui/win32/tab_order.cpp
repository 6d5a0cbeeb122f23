// The tab order of a form's windows.
#include "ui/input.h"
#include "ui/win32/common.h"

namespace ui::win32 {

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
    if (dynamic_cast<const Container*>(control)) ArrangeTabOrder(form, control);
  }
}

}  // namespace ui::win32
