#pragma once
// The rules of mouse and keyboard input that both backends share, so that a click or a key in
// a test does what it does on the screen.
#include <vector>

#include "ui/ui.h"

namespace ui::input {

// The windowed controls of one container (null: the form), in tab order.
std::vector<WinControl*> TabOrderOf(const Form& form, const WinControl* container);
// Every control that Tab can reach, in the order Tab visits them (containers walked in place).
std::vector<WinControl*> TabSequence(const Form& form);
// The next (or previous) reachable control after `from`, wrapping; null when none.
WinControl* NextTabStop(const Form& form, const WinControl* from, bool forward);

// Enter and Esc: the usable default or cancel button is clicked; false when there is none.
bool PressDefault(Form& form);
bool PressCancel(Form& form);
// Alt with a letter: a usable button or check box with that mnemonic is clicked, a label's
// mnemonic focuses its control. False when nothing answers to it.
bool PressMnemonic(Form& form, char letter);

// The front-most painted control at a point of a container's client area that takes the mouse.
Control* ControlAt(const Form& form, const WinControl* container, int x, int y);
// A press on a container's client area: the control under it gets onMouseDown and the capture.
void MouseDown(Form& form, const WinControl* container, MouseButton button, int x, int y);
// The release: the captured control gets onMouseUp at its own client position.
void MouseUp(Form& form, const WinControl* container, MouseButton button, int x, int y);
// The pop-up menu of the control under a point, or null.
PopupMenu* ContextMenuAt(const Form& form, const WinControl* container, int x, int y);

// Drops a mouse capture held by a form that goes away.
void FormGone(const Form& form);

// Where a control's client area lies in its form's client area.
void OffsetInForm(const Control& control, int& x, int& y);

}  // namespace ui::input
