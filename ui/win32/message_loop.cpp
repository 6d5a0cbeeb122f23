// The message loop and the modal loops. A form's messages go through the dialog manager
// (IsDialogMessage) for its keyboard rules, after the mnemonics of the form's own labels.
#include "ui/input.h"
#include "ui/win32/common.h"

namespace ui::win32 {

void Guarded(const Handler& handler) { Application::Instance().Guard(handler); }

}  // namespace ui::win32

namespace ui::backend {

using namespace ui::win32;

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

}  // namespace ui::backend
