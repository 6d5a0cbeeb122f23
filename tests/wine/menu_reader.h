#pragma once
// Reads the menus of another process's window: its menu bar, or a pop-up menu found through
// its "#32768" window. The reading happens inside that process (m2k_menu_reader.dll, hooked
// into the window's thread), since under Wine a menu handle is usable only by its own process.
#include <windows.h>

#include <string>
#include <vector>

namespace wine_test {

struct MenuLine {
  int depth;        // 0 for the items of the menu itself, 1 for those of their sub-menus, ...
  UINT state;       // as GetMenuState gives it: MF_CHECKED, MF_GRAYED, ...
  std::string caption;
};

// The items of `menu`, which belongs to the thread of `window`, depth first. Empty when the
// menu could not be read (no such menu, or the thread did not answer).
std::vector<MenuLine> ReadMenu(HWND window, HMENU menu);

// The menu that a visible pop-up menu window ("#32768") shows.
HMENU MenuOfPopup(HWND popup);

}  // namespace wine_test
