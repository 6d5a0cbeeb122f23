// Menus: the native menu of a model is rebuilt from it whenever the model changes, and every
// item gets a command id that leads back to it.
#include "ui/win32/common.h"

namespace ui::win32 {
namespace {

void ForgetIds(const MenuItem& item) {
  for (auto it = S().menuItems.begin(); it != S().menuItems.end();)
    it = it->second == &item ? S().menuItems.erase(it) : std::next(it);
  for (const auto& child : item.Items()) ForgetIds(*child);
}

void AppendItems(HMENU menu, MenuItem& parent) {
  for (const auto& child : parent.Items()) {
    MenuItem& item = *child;
    MENUITEMINFOW info{};
    const std::wstring caption = Wide(item.Caption());
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    if (item.IsSeparator()) {
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_SEPARATOR;
    } else {
      info.fType = item.radioItem ? MFT_RADIOCHECK : MFT_STRING;
      info.fState = (item.Checked() ? MFS_CHECKED : 0) | (item.Enabled() ? MFS_ENABLED : MFS_GRAYED);
      info.wID = S().nextMenuId++;
      info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
      S().menuItems[info.wID] = &item;
      if (!item.Items().empty()) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = CreatePopupMenu();
        AppendItems(info.hSubMenu, item);
      }
    }
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
  }
}

HMENU Build(Menu& menu) {
  HMENU handle = dynamic_cast<MainMenu*>(&menu) ? CreateMenu() : CreatePopupMenu();
  AppendItems(handle, menu.Root());
  return handle;
}

HWND OwnerWindow(const Menu& menu) {
  const FormWindow* window = menu.Owner() ? WindowOf(*menu.Owner()) : nullptr;
  return window ? window->hwnd : nullptr;
}

}  // namespace

HMENU MenuHandle(Menu& menu) {
  if (!menu.peer) menu.peer = Build(menu);
  return static_cast<HMENU>(menu.peer);
}

bool RunMenuCommand(UINT id) {
  const auto it = S().menuItems.find(id);
  if (it == S().menuItems.end()) return false;
  MenuItem* item = it->second;
  Guarded([item] { item->Click(); });
  return true;
}

}  // namespace ui::win32

namespace ui::backend {

using namespace ui::win32;

void MenuChanged(Menu& menu) {
  if (!menu.peer) return;  // built when first needed
  HMENU old = static_cast<HMENU>(menu.peer);
  ForgetIds(menu.Root());
  menu.peer = Build(menu);
  HWND owner = OwnerWindow(menu);
  if (owner && GetMenu(owner) == old) {
    SetMenu(owner, static_cast<HMENU>(menu.peer));
    DrawMenuBar(owner);
  }
  DestroyMenu(old);
}

void MenuDestroyed(Menu& menu) {
  ForgetIds(menu.Root());
  if (!menu.peer) return;
  HMENU handle = static_cast<HMENU>(menu.peer);
  HWND owner = OwnerWindow(menu);
  if (owner && GetMenu(owner) == handle) SetMenu(owner, nullptr);
  DestroyMenu(handle);
  menu.peer = nullptr;
}

void PopupMenuShow(PopupMenu& menu, int screenX, int screenY) {
  HWND owner = OwnerWindow(menu);
  if (!owner) return;
  // The foreground is the owner's, or the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  const UINT id = static_cast<UINT>(TrackPopupMenuEx(MenuHandle(menu), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                                                     screenX, screenY, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  if (id) RunMenuCommand(id);
}

}  // namespace ui::backend
