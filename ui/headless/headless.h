#pragma once
// Test controls of the headless backend: virtual time, injected events, scripted answers and
// dialogs, and a user's input (clicks, keys, typing, menus) that obeys the same rules as the
// screen: a disabled or hidden control, or a form disabled by a modal dialog, takes none.
#include <cstdint>
#include <functional>
#include <string>
#include <typeindex>
#include <vector>

#include "ui/ui.h"

namespace ui::headless {

// Moves the virtual clock (and the platform clock with it) forward, firing every timer that
// falls due on the way, in time order.
void AdvanceTime(int64_t ms);
// Milliseconds of virtual time since the last Reset.
int64_t Elapsed();

struct ShownMessage {
  std::string caption;
  std::string text;
  MessageIcon icon;
  MessageButtons buttons;
};
// Answers for the next message boxes, in order; without one a box answers OK or No.
void ScriptAnswer(MessageResult answer);
const std::vector<ShownMessage>& ShownMessages();

// The player that is playing, or null.
MediaPlayer* PlayingPlayer();
// Files opened by media players, in order.
const std::vector<std::string>& OpenedMedia();
// The next Open (or Play) of any player fails with an error.
void FailNextMediaOpen();
void FailNextMediaPlay();
// Delivers a completion notice to the playing player.
void CompleteMedia(NotifyValue value);

// What the user does while the next modal form of type T is up: the script runs once, with the
// form shown and its owner disabled, and sets a modal result or closes the form. Scripts queue
// per form type. A modal form without a script is closed at once and noted.
void QueueModal(std::type_index type, std::function<void(Form&)> script);
template <class T>
void OnModal(std::function<void(T&)> script) {
  QueueModal(typeid(T), [script = std::move(script)](Form& form) { script(static_cast<T&>(form)); });
}
// Types (mangled names) of modal forms that ran without a script.
const std::vector<std::string>& UnscriptedModals();

struct ShownException {
  std::string title;
  std::string message;
};
const std::vector<ShownException>& ShownExceptions();

// ---- the user's input ----
// Each returns false when the input went nowhere (a disabled or hidden control, a disabled form).
bool Click(WinControl& control);
bool ChooseItem(ItemList& list, int index);
bool ActivateItem(ListBox& list, int index);  // double click or Enter on a row
bool TypeText(Edit& edit, const std::string& text);
// The whole text selected and typed over.
bool TypeOver(Edit& edit, const std::string& text);
bool StepUpDown(UpDown& upDown, int delta);

// Enter goes to a focused button, or to a focused list (its selected row, as a double click),
// else to the default button.
enum class Key { Tab, ShiftTab, Enter, Escape };
bool PressKey(Form& form, Key key);
bool PressAlt(Form& form, char letter);
WinControl* Focused(const Form& form);

// Mouse input at a position of the control's own client area; a right click that reaches a
// control with a pop-up menu opens it (see LastPopup).
bool MouseDown(Control& control, MouseButton button, int x, int y);
bool MouseUp(Control& control, MouseButton button, int x, int y);
bool RightClick(Control& control, int x, int y);
// The pop-up menu opened last, or null; ChooseMenuItem clears it.
PopupMenu* LastPopup();
bool ChooseMenuItem(MenuItem& item);
// Whether a form takes input (false while it owns an open modal form).
bool FormEnabled(const Form& form);

// Forgets everything: timers, messages, media, scripts, virtual time offset.
void Reset();

}  // namespace ui::headless
