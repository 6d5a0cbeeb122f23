#pragma once
// Real user input for tests that drive another program's windows: key presses and mouse
// clicks through SendInput, and the ways to read back what they did (focus, foreground, the
// program's other top-level windows). Input is asynchronous: wait for the observable state
// with WaitFor, never for a fixed time.
#include <windows.h>

#include <functional>
#include <string>

namespace wine_test {

// Checks `condition` until it holds or `ms` have passed; returns whether it held.
bool WaitFor(const std::function<bool()>& condition, DWORD ms = 5000);

// Makes `window` the foreground window, so that keys reach it; false if it did not become one.
bool BringToFront(HWND window);

// A press and release of a key, with the modifier keys held around it (e.g. VK_SHIFT, VK_MENU).
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});

enum class Button { Left, Right };
// Moves the pointer to a point of the screen and presses and releases a button there.
void ClickAt(POINT screen, Button button = Button::Left);
// A left press at `from`, the pointer moved to `to`, the release there.
void DragLeft(POINT from, POINT to);
POINT ClientToScreenPoint(HWND window, int x, int y);
// The centre of a window, in screen coordinates.
POINT CenterOf(HWND window);

// The keyboard focus of the thread that owns `window`, whichever process it belongs to.
HWND FocusOfThread(HWND window);
std::string WindowText(HWND window);
std::string ClassOf(HWND window);
// The first child window (any depth) of `parent` with this class and, unless null, this text.
HWND FindChild(HWND parent, const char* className, const char* text = nullptr);
// A visible top-level window of class `className` in process `process`, owned by `owner`
// unless it is null; null when there is none.
HWND FindTopLevel(DWORD process, const char* className, HWND owner = nullptr);

// When the environment names a folder in M2K_SHOT_DIR (tools/screenshot_main.sh sets it),
// asks the script that watches it for a screenshot called `name`.png and waits until it is
// written; otherwise does nothing.
void ScreenshotIfAsked(const std::string& name);

}  // namespace wine_test
