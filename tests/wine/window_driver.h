#pragma once
// Driving another process's windows as a user would: the keyboard through SendInput, message
// boxes (top-level "#32770" windows) read and answered through their buttons, and pictures of
// the screen for a person to look at.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace wine_test::drive {

// Checks `condition` until it holds or `ms` have passed; returns whether it held.
bool WaitFor(const std::function<bool()>& condition, DWORD ms = 10000);

// Brings `window` to the foreground and types: each key pressed and released in turn, all of
// them with the modifiers held (e.g. {VK_MENU}, {'F'} for Alt+F). False if the window would not
// come to the foreground.
bool Type(HWND window, std::initializer_list<WORD> modifiers, std::initializer_list<WORD> keys);

// A visible message box of the process, waited for up to `ms`; null if none came.
HWND WaitMessageBox(DWORD process, DWORD ms = 10000);
// Its text (the static text, line breaks as "\n") and its caption.
std::string MessageText(HWND box);
std::string Caption(HWND window);
// Presses the box's button with this caption ("はい(&Y)", "いいえ(&N)", "OK") and waits for the box
// to close; false when there is no such button or the box stayed.
bool Answer(HWND box, const std::string& button);

// Presses a push button of a window by its caption, as a click does.
bool PressButton(HWND window, const std::string& caption);

// Saves a picture of the screen covering both windows (the second may be null) as a 24-bit BMP
// file in the folder named by M2K_SCREENSHOTS; does nothing when it is not set.
void SaveScreenshot(const std::string& name, HWND first, HWND second = nullptr);

}  // namespace wine_test::drive
