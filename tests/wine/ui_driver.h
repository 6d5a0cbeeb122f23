#pragma once
// A user at the keyboard and mouse of another process's windows under Wine: real input through
// SendInput, controls found by their designed place, states read back through the Win32 API.
#include <windows.h>

#include "tests/wine/input_helper.h"

#include <functional>
#include <string>
#include <vector>

namespace wine_test {

// Polls `done` every 50 ms for up to `ms`; true once it holds.
bool WaitUntil(const std::function<bool()>& done, DWORD ms = 10000);

// The child control (at any depth) whose top-left corner lies at (x, y) of the form's client
// area, of the given window class; null when there is none.
HWND ControlAt(HWND form, int x, int y, const char* windowClass);

std::string Text(HWND window);
bool Checked(HWND button);
std::vector<std::string> ListItems(HWND list);   // LB_GETTEXT
std::vector<std::string> ComboItems(HWND combo);  // CB_GETLBTEXT
// UDM_GETRANGE32 through memory of the control's own process.
void UpDownRange(HWND upDown, int& low, int& high);

// Brings the window's top-level window to the front, where the keyboard's input goes.
void BringRootToFront(HWND window);
// Input: the window's top-level window is brought to the front first.
void ClickAt(HWND window, int x, int y, int clicks = 1);  // client coordinates of `window`
void Click(HWND window, int clicks = 1);                   // its centre
void Key(WORD vk);
void KeyWith(WORD modifier, WORD vk);
// Typed character by character as Unicode input (KEYEVENTF_UNICODE), as an input method does.
void TypeUnicode(const std::wstring& text);
void SelectAllAndType(HWND edit, const std::wstring& text);

// A message box (#32770) of the process that is showing; null when none.
HWND MessageBoxOf(DWORD process);
std::string MessageBoxText(HWND box);

// Saves what the screen shows of a window as a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::string& path);

}  // namespace wine_test
