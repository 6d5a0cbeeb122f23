#pragma once
// What the component layer asks of a backend. Each backend (win32, headless) implements every
// function; the build links exactly one of them.
#include "ui/ui.h"

namespace ui::backend {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

void FormChanged(Form& form);  // caption, size, border or style changed
void FormSetVisible(Form& form, bool visible);
void FormDestroyed(Form& form);
void FormInvalidate(Form& form);
Rect FormOuterRect(const Form& form);
void FormMove(Form& form, int left, int top);
int FormRunModal(Form& form);

void ControlChanged(Control& control);  // place, visibility or caption changed
void ControlDestroyed(Control& control);

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
Size MeasureText(const Font& font, const std::string& text);
Size ScreenSize();
std::string ResourceBytes(const std::string& name);

}  // namespace ui::backend
