#pragma once
// Menus: a form's menu bar and pop-up menus, declared in a table or built at run time.
#include <memory>
#include <string>
#include <vector>

#include "ui/component.h"

namespace ui {

class Menu;

class MenuItem {
 public:
  MenuItem(Menu* menu, MenuItem* parent, std::string name) : menu_(menu), parent_(parent), name_(std::move(name)) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool radioItem = false;  // a check mark drawn as a dot
  bool IsSeparator() const { return caption_ == "-"; }
  Handler onClick;

  // Sub-items, in order.
  MenuItem* Add(const std::string& name, const std::string& caption, Handler onClick = nullptr);
  void Clear();
  const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
  int IndexInParent() const;
  MenuItem* Parent() const { return parent_; }
  Menu* GetMenu() const { return menu_; }

  // What choosing the item does: its handler runs when it is enabled and has no sub-items.
  void Click();

 private:
  void Changed();
  Menu* menu_;
  MenuItem* parent_;
  std::string name_;
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

class Menu {
 public:
  Menu(Form* owner, std::string name) : owner_(owner), name_(std::move(name)), root_(this, nullptr, "") {}
  virtual ~Menu();
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;
  const std::string& Name() const { return name_; }
  Form* Owner() const { return owner_; }
  MenuItem& Root() { return root_; }
  const MenuItem& Root() const { return root_; }
  MenuItem* Find(const std::string& name);
  // Called by items when anything shown changes; the backend updates the native menu.
  void Changed();
  void* peer = nullptr;

 private:
  Form* owner_;
  std::string name_;
  MenuItem root_;
};

class MainMenu : public Menu {
 public:
  using Menu::Menu;
};

class PopupMenu : public Menu {
 public:
  using Menu::Menu;
  // Opens at a screen position; the chosen item's onClick runs before this returns.
  void Popup(int screenX, int screenY);
};

// One row of a menu table: the member it binds (or null), name, caption, handler, sub-items.
struct MenuDesign {
  MenuItem** bind = nullptr;
  const char* name = "";
  const char* caption = "";
  Handler onClick = nullptr;
  std::vector<MenuDesign> items = {};
};
void BuildMenu(MenuItem& parent, const std::vector<MenuDesign>& design);

}  // namespace ui
