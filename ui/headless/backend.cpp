// The headless backend: forms and controls live only in memory, time is virtual and every
// outside event is injected by the test.
#include <algorithm>
#include <deque>
#include <exception>
#include <map>
#include <set>
#include <utility>

#include "platform/files.h"
#include "platform/native/testing.h"
#include "ui/backend.h"
#include "ui/headless/headless.h"
#include "ui/input.h"

namespace ui {
namespace {

constexpr int kScreenWidth = 1024, kScreenHeight = 768;
constexpr int kFrameWidth = 3, kCaptionHeight = 23, kMenuHeight = 19;

struct FormState {
  int left = 0, top = 0;
  bool placed = false;
  WinControl* focused = nullptr;
};

struct State {
  int64_t now = 0;
  std::map<Timer*, int64_t> dueAt;
  std::map<const Form*, FormState> forms;
  std::set<const Form*> disabled;
  std::deque<MessageResult> answers;
  std::vector<headless::ShownMessage> messages;
  std::vector<headless::ShownException> exceptions;
  std::vector<std::string> opened;
  MediaPlayer* playing = nullptr;
  bool failOpen = false, failPlay = false;
  std::map<std::type_index, std::deque<std::function<void(Form&)>>> modalScripts;
  std::vector<std::string> unscripted;
  PopupMenu* lastPopup = nullptr;
};

State& S() {
  static State state;
  return state;
}

Timer* NextDueTimer(int64_t until) {
  Timer* next = nullptr;
  int64_t best = until + 1;
  for (auto& [timer, due] : S().dueAt)
    if (due < best) best = due, next = timer;
  return next;
}

void MoveClock(int64_t to) {
  platform::testing::AdvanceClock(to - S().now);
  S().now = to;
}

void Guarded(const Handler& handler) { Application::Instance().Guard(handler); }

// A user's input reaches a control only on a shown, enabled form.
bool TakesInput(const Control& control) {
  const Form* form = control.Owner();
  return form && form->Visible() && headless::FormEnabled(*form) && control.Usable();
}

// A click on a row of a list that takes input focuses the list.
bool TakesItem(ItemList& list, int index) {
  if (!TakesInput(list) || index < 0 || index >= static_cast<int>(list.Items().size())) return false;
  list.SetFocus();
  return true;
}

}  // namespace

namespace backend {

void FormChanged(Form&) {}
void FormSetVisible(Form& form, bool visible) {
  FormState& state = S().forms[&form];
  if (!visible || state.placed) return;
  state.placed = true;
  if (form.position == FormPosition::ScreenCenter) {
    const Rect outer = FormOuterRect(form);
    state.left = (kScreenWidth - outer.width) / 2;
    state.top = (kScreenHeight - outer.height) / 2;
  }
}
void FormDestroyed(Form& form) {
  S().forms.erase(&form);
  S().disabled.erase(&form);
}
void FormInvalidate(Form&) {}

Rect FormOuterRect(const Form& form) {
  const bool framed = form.borderStyle != BorderStyle::None;
  const auto it = S().forms.find(&form);
  Rect r;
  if (it != S().forms.end()) r.left = it->second.left, r.top = it->second.top;
  r.width = form.ClientWidth() + (framed ? 2 * kFrameWidth : 0);
  r.height = form.ClientHeight() + (framed ? 2 * kFrameWidth + kCaptionHeight : 0) +
             (form.Menu() ? kMenuHeight : 0);
  return r;
}

void FormMove(Form& form, int left, int top) {
  FormState& state = S().forms[&form];
  state.left = left;
  state.top = top;
  state.placed = true;
}

void FormRunModal(Form& form) {
  auto& queue = S().modalScripts[std::type_index(typeid(form))];
  if (queue.empty()) {
    S().unscripted.push_back(typeid(form).name());
    form.Close();
    return;
  }
  auto script = std::move(queue.front());
  queue.pop_front();
  Guarded([&] { script(form); });
}

void FormEnableOwner(Form& form, bool enabled) {
  if (!form.ownerForm) return;
  if (enabled)
    S().disabled.erase(form.ownerForm);
  else
    S().disabled.insert(form.ownerForm);
}

void PaintedChanged(Control&) {}

void FocusControl(WinControl& control) {
  if (control.Owner() && control.Usable()) S().forms[control.Owner()].focused = &control;
}

WinControl* FocusedControl(const Form& form) {
  const auto it = S().forms.find(&form);
  return it == S().forms.end() ? nullptr : it->second.focused;
}

void ControlDestroyed(WinControl& control) {
  for (auto& [form, state] : S().forms)
    if (state.focused == &control) state.focused = nullptr;
}

void MenuChanged(Menu&) {}
void MenuDestroyed(Menu& menu) {
  if (S().lastPopup == &menu) S().lastPopup = nullptr;
}
void PopupMenuShow(PopupMenu& menu, int, int) { S().lastPopup = &menu; }

void TimerChanged(Timer& timer) {
  if (timer.Enabled() && timer.Interval() > 0)
    S().dueAt[&timer] = S().now + timer.Interval();
  else
    S().dueAt.erase(&timer);
}
void TimerDestroyed(Timer& timer) { S().dueAt.erase(&timer); }

void MediaOpen(MediaPlayer& player) {
  if (std::exchange(S().failOpen, false) || !platform::FileExists(player.fileName))
    throw Error("MCI デバイスを開けません: " + player.fileName);
  S().opened.push_back(player.fileName);
}

void MediaPlay(MediaPlayer& player) {
  if (std::exchange(S().failPlay, false)) throw Error("MCI デバイスで再生できません");
  // A new play supersedes the one in progress, as the device reports it.
  if (S().playing && S().playing != &player) S().playing->Notify(NotifyValue::Superseded);
  S().playing = &player;
}

void MediaClose(MediaPlayer& player) {
  if (S().playing == &player) S().playing = nullptr;
}

void ApplicationIcon(const std::string&) {}
void ApplicationHideTaskbar() {}
void ApplicationRestore() {}

void RunMessageLoop(Application& app) {
  // Ten virtual minutes is far beyond any run; a loop that would go on longer is a fault.
  const int64_t limit = S().now + 10 * 60 * 1000;
  while (!app.Terminated() && S().now < limit) {
    try {
      headless::AdvanceTime(10);
    } catch (const std::exception& error) {
      app.ShowException(error);  // as the win32 loop does: shown, and the loop goes on
    }
  }
}

void ShowException(const std::string& title, const std::string& message) {
  S().exceptions.push_back({title, message});
}

MessageResult MessageBox(const Form& owner, const std::string& text, MessageIcon icon,
                         MessageButtons buttons) {
  S().messages.push_back({owner.caption, text, icon, buttons});
  if (!S().answers.empty()) {
    const MessageResult answer = S().answers.front();
    S().answers.pop_front();
    return answer;
  }
  return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::No;
}

// A fixed metric: every byte is half the font's height wide, so a double-byte character is
// square. Tests can then predict every width. A mnemonic's "&" takes no room.
Size MeasureText(const Font& font, const std::string& text, bool prefix) {
  const int h = font.PixelHeight();
  const size_t bytes = prefix ? StripMnemonic(text).size() : text.size();
  return Size{static_cast<int>(bytes) * h / 2, h};
}

Size ScreenSize() { return Size{kScreenWidth, kScreenHeight}; }

std::string_view ResourceBytes(const std::string& name) {
  // Read once from the artwork folder and kept, as a program keeps its resources.
  static std::map<std::string, std::string> loaded;
  const auto found = loaded.find(name);
  if (found != loaded.end()) return found->second;
  std::string file = name;
  std::transform(file.begin(), file.end(), file.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::string bytes;
  platform::ReadWholeFile(std::string(M2K_RESOURCE_DIR) + "/artwork/" + file + ".bmp", bytes);
  return loaded.emplace(name, std::move(bytes)).first->second;
}

}  // namespace backend

namespace headless {

void AdvanceTime(int64_t ms) {
  const int64_t until = S().now + ms;
  while (Timer* timer = NextDueTimer(until)) {
    MoveClock(S().dueAt[timer]);
    S().dueAt[timer] = S().now + std::max(timer->Interval(), 1);
    Guarded([timer] { timer->Fire(); });
  }
  MoveClock(until);
}

int64_t Elapsed() { return S().now; }
void ScriptAnswer(MessageResult answer) { S().answers.push_back(answer); }
const std::vector<ShownMessage>& ShownMessages() { return S().messages; }
MediaPlayer* PlayingPlayer() { return S().playing; }
const std::vector<std::string>& OpenedMedia() { return S().opened; }
void FailNextMediaOpen() { S().failOpen = true; }
void FailNextMediaPlay() { S().failPlay = true; }

void CompleteMedia(NotifyValue value) {
  MediaPlayer* player = S().playing;
  if (!player) return;
  S().playing = nullptr;
  Guarded([&] { player->Notify(value); });
}

void QueueModal(std::type_index type, std::function<void(Form&)> script) {
  S().modalScripts[type].push_back(std::move(script));
}
const std::vector<std::string>& UnscriptedModals() { return S().unscripted; }
const std::vector<ShownException>& ShownExceptions() { return S().exceptions; }

bool FormEnabled(const Form& form) { return S().disabled.count(&form) == 0; }

bool Click(WinControl& control) {
  if (!TakesInput(control)) return false;
  control.SetFocus();
  Guarded([&] { control.UserClick(); });
  return true;
}

bool ChooseItem(ItemList& list, int index) {
  if (!TakesItem(list, index)) return false;
  Guarded([&] { list.Choose(index); });
  return true;
}

bool ActivateItem(ListBox& list, int index) {
  if (!TakesItem(list, index)) return false;
  Guarded([&] { list.Activate(index); });
  return true;
}

bool TypeText(Edit& edit, const std::string& text) {
  if (!TakesInput(edit) || edit.readOnly) return false;
  edit.SetFocus();
  Guarded([&] { edit.Type(text); });
  return true;
}

bool TypeOver(Edit& edit, const std::string& text) {
  if (!TakesInput(edit) || edit.readOnly) return false;
  edit.SetFocus();
  Guarded([&] { edit.TypeOver(text); });
  return true;
}

bool StepUpDown(UpDown& upDown, int delta) {
  if (!TakesInput(upDown)) return false;
  Guarded([&] { upDown.Step(delta); });
  return true;
}

bool PressKey(Form& form, Key key) {
  if (!form.Visible() || !FormEnabled(form)) return false;
  bool handled = false;
  Guarded([&] {
    switch (key) {
      case Key::Tab:
      case Key::ShiftTab:
        if (WinControl* next = input::NextTabStop(form, Focused(form), key == Key::Tab)) {
          next->SetFocus();
          handled = true;
        }
        break;
      case Key::Enter: {
        // A focused button takes Enter itself, and a focused list opens its selected row (as
        // a double click does); anywhere else Enter is the default button's.
        WinControl* focused = Focused(form);
        auto* button = dynamic_cast<Button*>(focused);
        auto* list = dynamic_cast<ListBox*>(focused);
        if (button && button->Usable()) {
          button->Click();
          handled = true;
        } else if (list && list->Usable()) {
          handled = list->ItemIndex() >= 0;
          if (handled) list->Activate(list->ItemIndex());
        } else {
          handled = input::PressDefault(form);
        }
        break;
      }
      case Key::Escape: handled = input::PressCancel(form); break;
    }
  });
  return handled;
}

bool PressAlt(Form& form, char letter) {
  if (!form.Visible() || !FormEnabled(form)) return false;
  bool handled = false;
  Guarded([&] { handled = input::PressMnemonic(form, letter); });
  return handled;
}

WinControl* Focused(const Form& form) { return backend::FocusedControl(form); }

namespace {

// The container-relative position of a point given in the control's own client area.
bool Locate(Control& control, int& x, int& y) {
  if (!TakesInput(control) && !control.IsPainted()) return false;
  const Form* form = control.Owner();
  if (!form || !form->Visible() || !FormEnabled(*form) || !control.Showing()) return false;
  x += control.Left();
  y += control.Top();
  return true;
}

}  // namespace

bool MouseDown(Control& control, MouseButton button, int x, int y) {
  if (!Locate(control, x, y)) return false;
  Guarded([&] { input::MouseDown(*control.Owner(), control.Parent(), button, x, y); });
  return true;
}

bool MouseUp(Control& control, MouseButton button, int x, int y) {
  if (!Locate(control, x, y)) return false;
  Guarded([&] { input::MouseUp(*control.Owner(), control.Parent(), button, x, y); });
  return true;
}

bool RightClick(Control& control, int x, int y) {
  const int px = x, py = y;
  if (!MouseDown(control, MouseButton::Right, px, py)) return false;
  MouseUp(control, MouseButton::Right, px, py);
  if (!Locate(control, x, y)) return true;
  if (PopupMenu* menu = input::ContextMenuAt(*control.Owner(), control.Parent(), x, y)) menu->Popup(x, y);
  return true;
}

PopupMenu* LastPopup() { return S().lastPopup; }

bool ChooseMenuItem(MenuItem& item) {
  Menu* menu = item.GetMenu();
  if (!menu || !item.Enabled()) return false;
  if (menu->Owner() && !FormEnabled(*menu->Owner())) return false;
  S().lastPopup = nullptr;
  Guarded([&] { item.Click(); });
  return true;
}

void Reset() {
  const int64_t keepNow = S().now;
  S() = State{};
  S().now = keepNow;
}

}  // namespace headless
}  // namespace ui
