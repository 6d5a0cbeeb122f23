#pragma once
// Test controls of the headless backend: virtual time, injected events, scripted answers.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace ui::headless {

// Moves the virtual clock (and the platform clock with it) forward, firing every timer that
// falls due on the way, in time order.
void AdvanceTime(int64_t ms);
// Milliseconds of virtual time since the last Reset.
int64_t Elapsed();

struct ShownMessage {
  std::string caption;
  std::string text;
  MessageIcon icon;
  MessageButtons buttons;
};
void ScriptAnswer(MessageResult answer);
const std::vector<ShownMessage>& ShownMessages();

// The player that is playing, or null.
MediaPlayer* PlayingPlayer();
// Files opened by media players, in order.
const std::vector<std::string>& OpenedMedia();
// The next Open (or Play) of any player fails with an error.
void FailNextMediaOpen();
void FailNextMediaPlay();
// Delivers a completion notice to the playing player.
void CompleteMedia(NotifyValue value);

// Runs while a form is shown modally; sets the dialog's modalResult or closes it.
void OnModal(std::function<void(Form&)> script);

struct ShownException {
  std::string title;
  std::string message;
};
const std::vector<ShownException>& ShownExceptions();

// Forgets everything: timers, messages, media, virtual time offset.
void Reset();

}  // namespace ui::headless
