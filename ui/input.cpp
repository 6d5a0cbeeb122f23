#include "ui/input.h"

#include <algorithm>

namespace ui::input {

namespace {

bool Reachable(const WinControl& control) { return control.tabStop && control.Usable(); }

bool IsContainer(const WinControl& control) { return dynamic_cast<const Container*>(&control) != nullptr; }

void AppendInTabOrder(const Form& form, const WinControl* container, std::vector<WinControl*>& out) {
  for (WinControl* control : TabOrderOf(form, container)) {
    if (IsContainer(*control)) {
      if (control->Usable()) AppendInTabOrder(form, control, out);
    } else if (Reachable(*control)) {
      out.push_back(control);
    }
  }
}


}  // namespace

std::vector<WinControl*> TabOrderOf(const Form& form, const WinControl* container) {
  std::vector<WinControl*> controls;
  for (const auto& c : form.Components())
    if (auto* control = dynamic_cast<WinControl*>(c.get()); control && control->Parent() == container)
      controls.push_back(control);
  std::stable_sort(controls.begin(), controls.end(),
                   [](const WinControl* a, const WinControl* b) { return a->tabOrder < b->tabOrder; });
  return controls;
}

std::vector<WinControl*> TabSequence(const Form& form) {
  std::vector<WinControl*> sequence;
  AppendInTabOrder(form, nullptr, sequence);
  return sequence;
}

WinControl* NextTabStop(const Form& form, const WinControl* from, bool forward) {
  const std::vector<WinControl*> sequence = TabSequence(form);
  if (sequence.empty()) return nullptr;
  const auto at = std::find(sequence.begin(), sequence.end(), from);
  if (at == sequence.end()) return forward ? sequence.front() : sequence.back();
  const size_t n = sequence.size(), i = static_cast<size_t>(at - sequence.begin());
  return sequence[forward ? (i + 1) % n : (i + n - 1) % n];
}

namespace {

Button* FindButton(const Form& form, bool wantDefault) {
  for (const auto& c : form.Components())
    if (auto* button = dynamic_cast<Button*>(c.get()))
      if (wantDefault ? button->isDefault : button->isCancel) return button;
  return nullptr;
}

}  // namespace

bool PressDefault(Form& form) {
  Button* button = FindButton(form, true);
  if (!button || !button->Usable()) return false;
  button->Click();
  return true;
}

bool PressCancel(Form& form) {
  Button* button = FindButton(form, false);
  if (!button || !button->Usable()) return false;
  button->Click();
  return true;
}

bool PressMnemonic(Form& form, char letter) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  for (const auto& c : form.Components()) {
    if (auto* label = dynamic_cast<Label*>(c.get())) {
      if (label->showAccelChar && label->focusControl && label->Showing() &&
          MnemonicOf(label->Caption()) == letter && label->focusControl->Usable()) {
        label->focusControl->SetFocus();
        return true;
      }
    } else if (auto* control = dynamic_cast<WinControl*>(c.get())) {
      const Kind kind = control->GetKind();
      const bool clickable = kind == Kind::Button || kind == Kind::BitmapButton || kind == Kind::CheckBox ||
                             kind == Kind::RadioButton;
      if (clickable && control->Usable() && MnemonicOf(control->Caption()) == letter) {
        control->SetFocus();
        control->UserClick();
        return true;
      }
    }
  }
  return false;
}

void OffsetInForm(const Control& control, int& x, int& y) {
  for (const WinControl* up = control.Parent(); up; up = up->Parent()) {
    x += up->Left();
    y += up->Top();
  }
}

Control* ControlAt(const Form& form, const WinControl* container, int x, int y) {
  const auto& all = form.Components();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    auto* control = dynamic_cast<Control*>(it->get());
    if (!control || !control->IsPainted() || control->Parent() != container || !control->Visible()) continue;
    if (!control->onMouseDown && !control->onMouseUp && !control->popupMenu) continue;
    if (x >= control->Left() && x < control->Left() + control->Width() && y >= control->Top() &&
        y < control->Top() + control->Height())
      return control;
  }
  return nullptr;
}

namespace {

struct Capture {
  const Form* form = nullptr;
  Control* control = nullptr;
  const WinControl* container = nullptr;
};
Capture capture;

}  // namespace

void MouseDown(Form& form, const WinControl* container, MouseButton button, int x, int y) {
  Control* control = ControlAt(form, container, x, y);
  if (!control || !control->Enabled()) return;
  capture = {&form, control, container};
  if (control->onMouseDown) control->onMouseDown(button, x - control->Left(), y - control->Top());
}

void MouseUp(Form& form, const WinControl* container, MouseButton button, int x, int y) {
  if (capture.form != &form || capture.container != container || !capture.control) return;
  Control* control = capture.control;
  capture = {};
  if (control->onMouseUp) control->onMouseUp(button, x - control->Left(), y - control->Top());
}

void FormGone(const Form& form) {
  if (capture.form == &form) capture = {};
}

PopupMenu* ContextMenuAt(const Form& form, const WinControl* container, int x, int y) {
  Control* control = ControlAt(form, container, x, y);
  return control && control->Enabled() ? control->popupMenu : nullptr;
}

}  // namespace ui::input
