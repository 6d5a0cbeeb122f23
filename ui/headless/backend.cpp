// The headless backend: forms and controls live only in memory, time is virtual and every
// outside event is injected by the test.
#include <algorithm>
#include <deque>
#include <exception>
#include <map>
#include <utility>

#include "platform/files.h"
#include "platform/native/testing.h"
#include "ui/backend.h"
#include "ui/headless/headless.h"

namespace ui {
namespace {

constexpr int kScreenWidth = 1024, kScreenHeight = 768;
constexpr int kFrameWidth = 3, kCaptionHeight = 23;

struct FormState {
  int left = 0, top = 0;
  bool placed = false;
};

struct State {
  int64_t now = 0;
  std::map<Timer*, int64_t> dueAt;
  std::map<const Form*, FormState> forms;
  std::deque<MessageResult> answers;
  std::vector<headless::ShownMessage> messages;
  std::vector<headless::ShownException> exceptions;
  std::vector<std::string> opened;
  MediaPlayer* playing = nullptr;
  bool failOpen = false, failPlay = false;
  std::function<void(Form&)> modalScript;
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
void FormDestroyed(Form& form) { S().forms.erase(&form); }
void FormInvalidate(Form&) {}

Rect FormOuterRect(const Form& form) {
  const bool framed = form.borderStyle != BorderStyle::None;
  const auto it = S().forms.find(&form);
  Rect r;
  if (it != S().forms.end()) r.left = it->second.left, r.top = it->second.top;
  r.width = form.ClientWidth() + (framed ? 2 * kFrameWidth : 0);
  r.height = form.ClientHeight() + (framed ? 2 * kFrameWidth + kCaptionHeight : 0);
  return r;
}

void FormMove(Form& form, int left, int top) {
  FormState& state = S().forms[&form];
  state.left = left;
  state.top = top;
  state.placed = true;
}

int FormRunModal(Form& form) {
  form.Show();
  if (S().modalScript) S().modalScript(form);
  form.Hide();
  return form.modalResult;
}

void ControlChanged(Control&) {}
void ControlDestroyed(Control&) {}

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
// square. Tests can then predict every width.
Size MeasureText(const Font& font, const std::string& text) {
  const int h = font.PixelHeight();
  return Size{static_cast<int>(text.size()) * h / 2, h};
}

Size ScreenSize() { return Size{kScreenWidth, kScreenHeight}; }

std::string ResourceBytes(const std::string& name) {
  std::string file = name;
  std::transform(file.begin(), file.end(), file.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::string bytes;
  platform::ReadWholeFile(std::string(M2K_RESOURCE_DIR) + "/artwork/" + file + ".bmp", bytes);
  return bytes;
}

}  // namespace backend

namespace headless {

void AdvanceTime(int64_t ms) {
  const int64_t until = S().now + ms;
  while (Timer* timer = NextDueTimer(until)) {
    MoveClock(S().dueAt[timer]);
    S().dueAt[timer] = S().now + std::max(timer->Interval(), 1);
    timer->Fire();
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
  player->Notify(value);
}

void OnModal(std::function<void(Form&)> script) { S().modalScript = std::move(script); }
const std::vector<ShownException>& ShownExceptions() { return S().exceptions; }

void Reset() {
  const int64_t keepNow = S().now;
  S() = State{};
  S().now = keepNow;
}

}  // namespace headless
}  // namespace ui
