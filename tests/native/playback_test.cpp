// The voice sequence of a counter start, with real clips: taken out of a voice archive,
// decoded by the OGG library and played one after another with 500 ms between them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "counter/Untcount.h"
#include "counter/scenario.h"
#include "platform/files.h"
#include "tests/common/archive_writer.h"
#include "tests/native/native_support.h"

namespace {

using native_support::StoreSetting;

// A voice archive holding every clip of the first table, all with the same short tone.
std::string VoiceArchiveOfTable(int character, const std::string& ogg) {
  std::map<std::string, bool> names;
  for (const ScenarioRow* row = ScenarioTables[character];; ++row) {
    for (const char* clip : row->clips)
      if (clip) names[clip] = true;
    if (row->kind == -1) break;
  }
  std::vector<test_fixtures::PakEntry> entries;
  for (const auto& [name, unused] : names) entries.push_back({.name = name, .data = ogg});
  return test_fixtures::VoicePak(entries);
}

int ClipCount(const ScenarioRow& row) {
  int n = 0;
  while (n < 5 && row.clips[n]) ++n;
  return n;
}

class Playback : public ::testing::Test {
 protected:
  void SetUp() override {
    native_support::ResetProcessState();
    ASSERT_TRUE(work.Made() && game.Made());
    std::filesystem::current_path(work.Posix());
    platform::testing::SetProgramFolder(work.Windows());
    std::filesystem::remove(work.Child("ogog.dll"));
    std::filesystem::copy_file(M2K_OGOG_LIBRARY, work.Child("ogog.dll"));
    std::string ogg;
    ASSERT_TRUE(platform::ReadWholeFile(std::string(M2K_OGG_FIXTURES) + "/tone-mono-22050.ogg", ogg));
    native_support::MakeFile(game.Child("voice.pak"), VoiceArchiveOfTable(0, ogg));
    StoreSetting("dirwave", game.Windows());
    StoreSetting("wave", 1);
    StoreSetting("timer", 1);
  }
  void TearDown() override {
    form.reset();
    native_support::ResetProcessState();
  }

  // Starts the counter at the first second of the hour whose line has `clips` clips.
  const ScenarioRow* StartWithClips(int clips) {
    for (int second = 0; second < 60; ++second) {
      native_support::SetLocalClock(2027, 3, 25, 10, second);
      native_support::ResetProcessState();
      StoreSetting("dirwave", game.Windows());
      StoreSetting("wave", 1);
      StoreSetting("timer", 1);
      form = std::make_unique<TfrmCount>();
      const ScenarioRow& row = ScenarioTables[0][chosenLine];
      if (ClipCount(row) == clips) return &row;
      form.reset();
    }
    return nullptr;
  }

 public:
  native_support::FixedZone zone;  // Tokyo's clock
  native_support::TempFolder work, game;
  native_support::CurrentFolderGuard guard;
  std::unique_ptr<TfrmCount> form;
};

TEST_F(Playback, EveryClipPlaysWithAPauseBetweenAndTheWindowClosesAfterTheLast) {
  const ScenarioRow* row = StartWithClips(5);
  ASSERT_NE(nullptr, row) << "no five-clip line at 10 o'clock on 25 March";
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    ASSERT_NE(nullptr, ui::headless::PlayingPlayer());
    ASSERT_EQ(static_cast<size_t>(i + 1), ui::headless::OpenedMedia().size());
    EXPECT_EQ(std::string(".\\") + row->clips[i] + ".wav", ui::headless::OpenedMedia().back());
    EXPECT_EQ(i + 1, voiceStep);
    ui::headless::CompleteMedia(ui::NotifyValue::Successful);
    ui::headless::AdvanceTime(499);
    EXPECT_EQ(static_cast<size_t>(i + 1), ui::headless::OpenedMedia().size());
    ui::headless::AdvanceTime(1);
  }
  EXPECT_EQ(6, voiceStep);
  // The display time has long passed: the next close check ends the run.
  ui::headless::AdvanceTime(100);
  EXPECT_TRUE(form->Closed());
}

TEST_F(Playback, AnEmptySlotEndsTheSequence) {
  const ScenarioRow* row = StartWithClips(2);
  ASSERT_NE(nullptr, row);
  ui::headless::CompleteMedia(ui::NotifyValue::Successful);
  ui::headless::AdvanceTime(500);
  ui::headless::CompleteMedia(ui::NotifyValue::Successful);
  ui::headless::AdvanceTime(500);
  EXPECT_EQ(2u, ui::headless::OpenedMedia().size());
  EXPECT_EQ(6, voiceStep);
}

// One way for the voice to be out of reach; each runs in a fixture of its own.
struct Refusal {
  const char* what;
  void (*arrange)(Playback&);
};

std::ostream& operator<<(std::ostream& out, const Refusal& refusal) { return out << refusal.what; }

class NothingPlays : public Playback, public ::testing::WithParamInterface<Refusal> {};

TEST_P(NothingPlays, WhenTheVoiceCannotBeHad) {
  GetParam().arrange(*this);
  native_support::SetLocalClock(2027, 3, 25, 10, 0);
  form = std::make_unique<TfrmCount>();
  EXPECT_EQ(6, voiceStep);
  EXPECT_EQ(nullptr, ui::headless::PlayingPlayer());
  ui::headless::AdvanceTime(1000);
  EXPECT_TRUE(form->Closed());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, NothingPlays,
    ::testing::Values(
        Refusal{"voices off", [](Playback&) { StoreSetting("wave", 0); }},
        Refusal{"the first character's voice off", [](Playback&) { StoreSetting("usewave", std::string("0111111111")); }},
        Refusal{"no voice archive", [](Playback& t) { std::filesystem::remove(t.game.Child("voice.pak")); }},
        Refusal{"no OGG library", [](Playback& t) { std::filesystem::remove(t.work.Child("ogog.dll")); }},
        Refusal{"the device refuses the clip", [](Playback&) { ui::headless::FailNextMediaOpen(); }},
        Refusal{"the device cannot play it", [](Playback&) { ui::headless::FailNextMediaPlay(); }}));

}  // namespace
