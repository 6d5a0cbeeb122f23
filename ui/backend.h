#pragma once
// What the component layer asks of a backend. Each backend (win32, headless) implements every
// function; the build links exactly one of them.
#include <memory>
#include <string_view>

#include "ui/ui.h"

namespace ui::backend {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

void FormChanged(Form& form);  // caption, size, border, style or menu bar changed
void FormSetVisible(Form& form, bool visible);
void FormDestroyed(Form& form);
void FormInvalidate(Form& form);
Rect FormOuterRect(const Form& form);
void FormMove(Form& form, int left, int top);
// Runs the modal loop of a shown form until it has a modal result or is closed.
void FormRunModal(Form& form);
// The owner's window is enabled (true) or disabled while a modal form is up.
void FormEnableOwner(Form& form, bool enabled);

void PaintedChanged(Control& control);  // place, visibility or picture of a painted control

void FocusControl(WinControl& control);
WinControl* FocusedControl(const Form& form);
void ControlDestroyed(WinControl& control);

void MenuChanged(Menu& menu);
void MenuDestroyed(Menu& menu);
void PopupMenuShow(PopupMenu& menu, int screenX, int screenY);

void TimerChanged(Timer& timer);  // start, stop or restart by Enabled and Interval
void TimerDestroyed(Timer& timer);

void MediaOpen(MediaPlayer& player);  // throws Error
void MediaPlay(MediaPlayer& player);  // throws Error
void MediaClose(MediaPlayer& player);

void ApplicationIcon(const std::string& resource);
void ApplicationHideTaskbar();
void ApplicationRestore();
void RunMessageLoop(Application& app);  // returns once app.Terminated()
void ShowException(const std::string& title, const std::string& message);
MessageResult MessageBox(const Form& owner, const std::string& text, MessageIcon icon,
                         MessageButtons buttons);
Size MeasureText(const Font& font, const std::string& text, bool prefix);
Size ScreenSize();
// The bytes of a picture resource of the program, where they lie (empty when there is none):
// they stay valid for the whole run.
std::string_view ResourceBytes(const std::string& name);

}  // namespace ui::backend
