#pragma once
// A user's input to the windows of another process, as real keyboard and mouse events
// (SendInput), and what the screen shows in them.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/wine/input_helper.h"
#include "tests/wine/program_runner.h"

namespace wine_test {

// BringToFront and WaitFor come from input_helper.h.
// Moves the pointer to a point of the screen; false when the pointer did not arrive there.
bool MovePointer(int screenX, int screenY);
// A click of the left button at a point of a window's client area.
bool ClickInClient(HWND window, int x, int y);

// The pixels of a rectangle of a window's client area as the screen shows them, row by row,
// 0x00RRGGBB; empty when they could not be read.
std::vector<uint32_t> CaptureClient(HWND window, int left, int top, int width, int height);
COLORREF PixelInClient(HWND window, int x, int y);

// Whether a pop-up menu of the process is open.
bool MenuShown(DWORD process);
// Chooses a menu bar item by keyboard, Alt with the menu's letter and then the item's letter,
// and waits for the window it opens, titled `opened`, which it brings to the front; null when
// none came. Where several items share the letter, the letter only selects the first of them
// and Enter chooses it.
HWND ChooseFromMenu(ProgramRun& run, HWND window, char menuLetter, char itemLetter, const std::string& opened);

}  // namespace wine_test
