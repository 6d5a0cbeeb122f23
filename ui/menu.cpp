#include "ui/menu.h"

#include "ui/backend.h"
#include "ui/ui.h"

namespace ui {

void MenuItem::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}

void MenuItem::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed();
}

void MenuItem::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

MenuItem* MenuItem::Add(const std::string& name, const std::string& caption, Handler onClick) {
  items_.push_back(std::make_unique<MenuItem>(menu_, this, name));
  MenuItem* item = items_.back().get();
  item->caption_ = caption;
  item->onClick = std::move(onClick);
  Changed();
  return item;
}

void MenuItem::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int MenuItem::IndexInParent() const {
  if (!parent_) return -1;
  const auto& siblings = parent_->items_;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

void MenuItem::Click() {
  if (!enabled_ || !items_.empty() || IsSeparator()) return;
  for (const MenuItem* up = parent_; up; up = up->parent_)
    if (!up->enabled_) return;
  if (onClick) onClick();
}

void MenuItem::Changed() {
  if (menu_) menu_->Changed();
}

Menu::~Menu() { backend::MenuDestroyed(*this); }

namespace {

MenuItem* FindIn(MenuItem& item, const std::string& name) {
  if (item.Name() == name) return &item;
  for (const auto& child : item.Items())
    if (MenuItem* found = FindIn(*child, name)) return found;
  return nullptr;
}

}  // namespace

MenuItem* Menu::Find(const std::string& name) { return FindIn(root_, name); }

void Menu::Changed() { backend::MenuChanged(*this); }

void PopupMenu::Popup(int screenX, int screenY) { backend::PopupMenuShow(*this, screenX, screenY); }

void BuildMenu(MenuItem& parent, const std::vector<MenuDesign>& design) {
  for (const MenuDesign& row : design) {
    MenuItem* item = parent.Add(row.name, row.caption, row.onClick);
    if (row.bind) *row.bind = item;
    BuildMenu(*item, row.items);
  }
}

}  // namespace ui
