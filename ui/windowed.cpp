// The model side of the windowed kinds: their state, their events and the rules that decide
// when an event is raised.
#include <algorithm>

#include "platform/sjis.h"
#include "ui/ui.h"

namespace ui {

Button::Button(Form* owner, const Design& row, Kind kind) : WinControl(owner, kind, row) {
  isDefault = row.isDefault;
  isCancel = row.isCancel;
  modalResult = row.modalResult;
}

void Button::Click() {
  // As with any dialog button: the result is given first, so a handler can take it back
  // (setting the form's result to mrNone) and keep the dialog open.
  if (modalResult != mrNone && Owner()) Owner()->modalResult = modalResult;
  if (onClick) onClick();
}

BitmapButton::BitmapButton(Form* owner, const Design& row) : Button(owner, row, kKind) {
  if (*row.picture) glyph = LoadPictureResource(row.picture);
}

bool Checkable::Mark(bool checked) {
  if (checked == checked_) return false;
  checked_ = checked;
  Changed();
  return true;
}

void CheckBox::SetChecked(bool checked) {
  if (Mark(checked) && onClick) onClick();
}

void RadioButton::SetChecked(bool checked) {
  if (!Mark(checked) || !checked) return;
  if (Form* form = Owner())
    for (const auto& c : form->Components())
      if (auto* other = dynamic_cast<RadioButton*>(c.get()); other && other != this && other->Parent() == Parent())
        other->SetChecked(false);
  if (onClick) onClick();
}

Panel::Panel(Form* owner, const Design& row) : Container(owner, kKind, row) {
  bevelOuter = row.bevelOuter;
  bevelInner = row.bevelInner;
  singleBorder = row.singleBorder;
  if (row.useColor) color = row.color;
}

Edit::Edit(Form* owner, const Design& row) : WinControl(owner, kKind, row) {
  maxLength = row.maxLength;
  readOnly = row.readOnly;
  if (row.useColor) color = row.color;
}

void Edit::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Changed();
  if (upDown_) upDown_->TakeAssociateText();
  if (onChange) onChange();
}

namespace {

// Calls `each` with every character of a Shift-JIS text, one or two bytes.
template <class Each>
void ForEachCharacter(const std::string& text, Each each) {
  for (size_t i = 0; i < text.size();) {
    const size_t width = platform::IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    each(text.substr(i, width));
    i += width;
  }
}

}  // namespace

bool Edit::Fits(const std::string& before, const std::string& character) const {
  return maxLength <= 0 || before.size() + character.size() <= static_cast<size_t>(maxLength);
}

void Edit::Type(const std::string& text) {
  if (readOnly) return;
  ForEachCharacter(text, [this](const std::string& c) {
    if (Fits(text_, c)) SetText(text_ + c);
  });
}

void Edit::TypeOver(const std::string& text) {
  if (readOnly) return;
  std::string typed;
  ForEachCharacter(text, [&](const std::string& c) {
    if (Fits(typed, c)) typed += c;
  });
  SetText(typed);
}

UpDown::UpDown(Form* owner, const Design& row) : WinControl(owner, kKind, row) {
  tabStop = false;
  min = row.min;
  max = row.max;
  SetAssociate(row.associate.Read());
  SetPosition(row.min);
}

UpDown::~UpDown() { SetAssociate(nullptr); }

void UpDown::SetAssociate(Edit* edit) {
  if (associate_) associate_->upDown_ = nullptr;
  associate_ = edit;
  if (associate_) associate_->upDown_ = this;
}

void UpDown::SetPosition(int position) {
  position = std::clamp(position, std::min(min, max), std::max(min, max));
  const bool moved = position != position_;
  position_ = position;
  if (associate_) associate_->SetText(std::to_string(position_));
  if (moved) Changed();
}

// The box's text as the system's up-down control reads it: blanks, a sign and decimal digits
// and nothing else (no text at all reads as 0); a number outside min..max is not taken.
void UpDown::TakeAssociateText() {
  const std::string& text = associate_->Text();
  size_t i = text.empty() ? 0 : text.find_first_not_of(" \t");
  if (i == std::string::npos) return;  // blanks alone are no number
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  if (!text.empty() && i == text.size()) return;  // a sign without digits
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9' || value > 1000000000) return;
    value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value < std::min(min, max) || value > std::max(min, max) || value == position_) return;
  position_ = static_cast<int>(value);
  Changed();
}

void UpDown::Step(int delta) {
  int next = position_ + delta;
  if (next > max) next = wrap ? min : max;
  if (next < min) next = wrap ? max : min;
  if (next == position_) return;
  SetPosition(next);
  if (onClick) onClick();
}

void ItemList::Clear() {
  items_.clear();
  itemIndex_ = -1;
  Changed();
}

void ItemList::Add(const std::string& item) {
  items_.push_back(item);
  Changed();
}

void ItemList::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Changed();
}

ComboBox::ComboBox(Form* owner, const Design& row) : ItemList(owner, kKind, row) { itemHeight = row.itemHeight; }

void ComboBox::Choose(int index) {
  SetItemIndex(index);
  if (onChange) onChange();
}

ListBox::ListBox(Form* owner, const Design& row) : ItemList(owner, kKind, row) {
  if (row.itemHeight) itemHeight = row.itemHeight;
}

void ListBox::Choose(int index) {
  SetItemIndex(index);
  if (onClick) onClick();
}

void ListBox::Activate(int index) {
  SetItemIndex(index);
  if (onDblClick) onDblClick();
}

}  // namespace ui
