#pragma once
// A user at the keyboard and mouse of another program's windows under Wine: real input through
// SendInput, and the ways to read back what it did (focus, foreground, the controls' states,
// message boxes, the screen's pixels). Input is asynchronous: wait for the observable state
// with WaitFor, never for a fixed time.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/wine/program_runner.h"

namespace wine_test {

// ---- waiting ----

// Checks `condition` every 50 ms until it holds or `ms` have passed (once at least); returns
// whether it held.
bool WaitFor(const std::function<bool()>& condition, DWORD ms = 10000);

// Runs this thread's message loop for `ms`: windows of the test's own process paint and tick
// only while it runs.
void PumpMessages(DWORD ms);

// ---- input ----

// Makes the top-level window of `window` the foreground window, so that keys reach it; false
// if it did not become one.
bool BringToFront(HWND window);

// A press and release of a key, with the modifier keys held around it (e.g. VK_SHIFT, VK_MENU).
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});
// Typed character by character as Unicode input (KEYEVENTF_UNICODE), as an input method does.
void TypeUnicode(const std::wstring& text);
// Clicks into an edit box, selects what it holds and types `text` over it.
void SelectAllAndType(HWND edit, const std::wstring& text);

enum class Button { Left, Right };
// Moves the pointer to a point of the screen and, once it is there, presses and releases a
// button `clicks` times; false when the pointer did not arrive.
bool ClickAt(POINT screen, Button button = Button::Left, int clicks = 1);
// Left clicks at a point of a window's client area, its top-level window brought to the front
// first; false when it would not come to the front or the pointer did not arrive.
bool ClickInClient(HWND window, int x, int y, int clicks = 1);
// The same at the centre of the window's client area.
bool Click(HWND window, int clicks = 1);
// A left press at `from`, the pointer moved to `to`, the release there.
void DragLeft(POINT from, POINT to);
POINT ClientToScreenPoint(HWND window, int x, int y);

// Opens a menu of the menu bar by keyboard, Alt with the menu's letter, and waits for it to
// show; false when it did not.
bool OpenMenu(DWORD process, HWND window, char menuLetter);
// Chooses a menu bar item by keyboard, the menu opened as OpenMenu does and then the item's
// letter, and waits for the window it opens, titled `opened`, which it brings to the front;
// null when none came. Where several items share the letter, the letter only selects the first
// of them and Enter chooses it.
HWND ChooseFromMenu(ProgramRun& run, HWND window, char menuLetter, char itemLetter, const std::string& opened);

// ---- windows and controls ----

// The keyboard focus of the thread that owns `window`, whichever process it belongs to.
HWND FocusOfThread(HWND window);
// The window's text, asked of the window itself (WM_GETTEXT): an edit box of another process
// keeps its text to itself.
std::string WindowText(HWND window);
std::string ClassOf(HWND window);
// The first child window (any depth) of `parent` with this class and, unless null, this text.
HWND FindChild(HWND parent, const char* className, const char* text = nullptr);
// A visible top-level window of class `className` in process `process`, owned by `owner`
// unless it is null; null when there is none.
HWND FindTopLevel(DWORD process, const char* className, HWND owner = nullptr);
// The child control (at any depth) of the given class whose top-left corner lies at (x, y) of
// the form's client area; null when there is none.
HWND ControlAt(HWND form, int x, int y, const char* className);

bool Checked(HWND button);
std::vector<std::string> ListItems(HWND list);   // LB_GETTEXT
std::vector<std::string> ComboItems(HWND combo);  // CB_GETLBTEXT
// UDM_GETRANGE32 through memory of the control's own process; -1, -1 when it could not be read.
void UpDownRange(HWND upDown, int& low, int& high);

// ---- message boxes ----

// A visible message box (a top-level "#32770" window) of the process, owned by `owner` unless
// it is null, waited for up to `ms` (0: only looked for); null when none came.
HWND WaitMessageBox(DWORD process, DWORD ms = 10000, HWND owner = nullptr);
// Its message (the static text, line breaks as "\n"); empty for a null box.
std::string MessageText(HWND box);
// Presses a push button of a window by its caption, as a click does, without the mouse.
bool PressButton(HWND window, const std::string& caption);
// Presses the box's button with this id (IDYES, IDNO, IDOK) and waits for the box to close;
// false when there is no such button or the box stayed. By id, not caption: the system words
// its buttons in its own language ("はい(&Y)" under Japanese Wine, "&Yes" under English).
bool Answer(HWND box, int button);

// ---- the screen ----

// The pixels of a rectangle of a window's client area as the screen shows them, row by row,
// 0x00RRGGBB; empty when they could not be read.
std::vector<uint32_t> CaptureClient(HWND window, int left, int top, int width, int height);
COLORREF PixelInClient(HWND window, int x, int y);
// A 24-bit BMP file of `rows`: bottom row first, each padded to 4 bytes; false when not written.
bool WriteBmp(const std::string& path, int width, int height, const std::vector<unsigned char>& rows);

// A picture of the screen called `name`, covering both windows (the second may be null), for a
// person to look at. When M2K_SHOT_DIR names a folder (tools/screenshot_main.sh sets it), the
// script that watches it is asked for `name`.png of the whole desktop and the picture waited
// for; otherwise, when M2K_SCREENSHOTS names one, the windows' area is saved there as the
// 24-bit BMP file `name`.bmp; otherwise nothing is done.
void SaveScreenshot(const std::string& name, HWND first, HWND second = nullptr);

}  // namespace wine_test
