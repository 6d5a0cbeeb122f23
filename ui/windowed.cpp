// The model side of the windowed kinds: their state, their events and the rules that decide
// when an event is raised.
#include <algorithm>

#include "ui/backend.h"
#include "ui/ui.h"

namespace ui {

namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

void Button::Click() {
  // As with any dialog button: the result is given first, so a handler can take it back
  // (setting the form's result to mrNone) and keep the dialog open.
  if (modalResult != mrNone && Owner()) Owner()->modalResult = modalResult;
  if (onClick) onClick();
}

std::unique_ptr<Peer> Button::MakePeer() { return backend::MakePeer(*this); }
std::unique_ptr<Peer> BitmapButton::MakePeer() { return backend::MakePeer(*this); }

void CheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed();
  if (onClick) onClick();
}

std::unique_ptr<Peer> CheckBox::MakePeer() { return backend::MakePeer(*this); }

void RadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed();
  if (!checked) return;
  if (Form* form = Owner())
    for (const auto& c : form->Components())
      if (auto* other = dynamic_cast<RadioButton*>(c.get()); other && other != this && other->Parent() == Parent())
        other->SetChecked(false);
  if (onClick) onClick();
}

std::unique_ptr<Peer> RadioButton::MakePeer() { return backend::MakePeer(*this); }
std::unique_ptr<Peer> GroupBox::MakePeer() { return backend::MakePeer(*this); }
std::unique_ptr<Peer> Panel::MakePeer() { return backend::MakePeer(*this); }

void Edit::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Changed();
  if (onChange) onChange();
}

void Edit::Type(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const size_t width = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (!readOnly && (maxLength <= 0 || text_.size() + width <= static_cast<size_t>(maxLength)))
      SetText(text_ + text.substr(i, width));
    i += width;
  }
}

std::unique_ptr<Peer> Edit::MakePeer() { return backend::MakePeer(*this); }

void UpDown::SetPosition(int position) {
  position = std::clamp(position, std::min(min, max), std::max(min, max));
  const bool moved = position != position_;
  position_ = position;
  if (associate) associate->SetText(std::to_string(position_));
  if (moved) Changed();
}

void UpDown::Step(int delta) {
  int next = position_ + delta;
  if (next > max) next = wrap ? min : max;
  if (next < min) next = wrap ? max : min;
  if (next == position_) return;
  SetPosition(next);
  if (onClick) onClick();
}

std::unique_ptr<Peer> UpDown::MakePeer() { return backend::MakePeer(*this); }

void ComboBox::Clear() {
  items_.clear();
  itemIndex_ = -1;
  Changed();
}

void ComboBox::Add(const std::string& item) {
  items_.push_back(item);
  Changed();
}

void ComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Changed();
}

void ComboBox::Choose(int index) {
  SetItemIndex(index);
  if (onChange) onChange();
}

std::unique_ptr<Peer> ComboBox::MakePeer() { return backend::MakePeer(*this); }

void ListBox::Clear() {
  items_.clear();
  itemIndex_ = -1;
  Changed();
}

void ListBox::Add(const std::string& item) {
  items_.push_back(item);
  Changed();
}

void ListBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Changed();
}

void ListBox::Choose(int index) {
  SetItemIndex(index);
  if (onClick) onClick();
}

void ListBox::Activate(int index) {
  SetItemIndex(index);
  if (onDblClick) onDblClick();
}

std::unique_ptr<Peer> ListBox::MakePeer() { return backend::MakePeer(*this); }

}  // namespace ui
