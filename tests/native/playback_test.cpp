// The voice sequence of a counter start, with real clips: taken out of a voice archive,
// decoded by the OGG library and played one after another with 500 ms between them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "counter/Untcount.h"
#include "counter/scenario.h"
#include "data/sprites.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/common/archive_writer.h"
#include "tests/native/native_support.h"

namespace {

using native_support::StoreSetting;

// A voice archive of the given entries (name, OGG content), in name order.
std::string VoiceArchive(const std::map<std::string, std::string>& entries) {
  std::vector<test_fixtures::PakEntry> list;
  for (const auto& [name, ogg] : entries) list.push_back({.name = name, .data = ogg});
  return test_fixtures::VoicePak(list);
}

// The clip's variant that does not speak the user's name: "A" added to the stem.
std::string NamelessVariant(const std::string& clip) { return clip.substr(0, clip.size() - 4) + "A.OGG"; }

// Every clip of the first table and every exit clip, each in a mono recording and its
// name-less variant in a stereo one, so that a played WAV tells which entry it came from.
std::string VoiceArchiveWithVariants(const std::string& mono, const std::string& stereo) {
  std::map<std::string, std::string> entries;
  auto add = [&](const char* clip) {
    entries[clip] = mono;
    entries[NamelessVariant(clip)] = stereo;
  };
  for (const ScenarioRow* row = ScenarioTables[0];; ++row) {
    for (const char* clip : row->clips)
      if (clip) add(clip);
    if (row->kind == -1) break;
  }
  for (const char* const* list : ExitClips)
    for (int k = 0; k < 10 && list[k]; ++k) add(list[k]);
  return VoiceArchive(entries);
}

// The channel count in a WAV file's format chunk (little-endian, at byte 22 of the canonical
// header), 0 when there is no such file.
int WaveChannels(const std::string& posixPath) {
  std::string wav;
  if (!platform::ReadWholeFile(posixPath, wav) || wav.size() < 44 || wav.compare(0, 4, "RIFF") != 0) return 0;
  return static_cast<unsigned char>(wav[22]) | static_cast<unsigned char>(wav[23]) << 8;
}

int ClipCount(const ScenarioRow& row) {
  int n = 0;
  while (n < 5 && row.clips[n]) ++n;
  return n;
}

class Playback : public native_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_TRUE(game.Made());
    std::filesystem::remove(work.Child("ogog.dll"));
    std::filesystem::copy_file(M2K_OGOG_LIBRARY, work.Child("ogog.dll"));
    std::string mono, stereo;
    ASSERT_TRUE(platform::ReadWholeFile(std::string(M2K_OGG_FIXTURES) + "/tone-mono-22050.ogg", mono));
    ASSERT_TRUE(platform::ReadWholeFile(std::string(M2K_OGG_FIXTURES) + "/tone-stereo-22050.ogg", stereo));
    native_support::MakeFile(game.Child("voice.pak"), VoiceArchiveWithVariants(mono, stereo));
    StoreSetting("dirwave", game.Windows());
    StoreSetting("wave", 1);
    StoreSetting("timer", 1);
  }
  void TearDown() override {
    form.reset();
    ProgramTest::TearDown();
  }

  // Starts the counter on 25 March 2027 at `hour`:`second`, with the settings of SetUp and
  // those `configure` stores.
  void StartAt(int hour, int second, const std::function<void()>& configure = [] {}) {
    form.reset();
    native_support::ResetMachine();
    StoreSetting("dirwave", game.Windows());
    StoreSetting("wave", 1);
    StoreSetting("timer", 1);
    configure();
    native_support::SetLocalClock(2027, 3, 25, hour, second);
    Start();
  }
  void Start() { native_support::StartCounter(run, form); }
  // Starts the counter at the first moment from `hour` on whose line `wanted` takes.
  const ScenarioRow* StartWhere(int hour, const std::function<bool(const ScenarioRow&)>& wanted,
                                const std::function<void()>& configure = [] {}) {
    for (; hour < 24; ++hour)
      for (int second = 0; second < 60; ++second) {
        StartAt(hour, second, configure);
        const ScenarioRow& row = ScenarioTables[0][form->chosenLine];
        if (wanted(row)) {
          form->Show();  // the first clip starts with the window
          return &row;
        }
      }
    form.reset();
    return nullptr;
  }
  const ScenarioRow* StartWithClips(int clips) {
    return StartWhere(10, [clips](const ScenarioRow& row) { return ClipCount(row) == clips; });
  }

 public:
  native_support::TempFolder game;
  std::unique_ptr<TfrmData> run;
  std::unique_ptr<TfrmCount> form;  // after `run`, which it uses
};

TEST_F(Playback, EveryClipPlaysWithAPauseBetweenAndTheWindowClosesAfterTheLast) {
  const ScenarioRow* row = StartWithClips(5);
  ASSERT_NE(nullptr, row) << "no five-clip line at 10 o'clock on 25 March";
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    ASSERT_NE(nullptr, ui::headless::PlayingPlayer());
    ASSERT_EQ(static_cast<size_t>(i + 1), ui::headless::OpenedMedia().size());
    EXPECT_EQ(std::string(".\\") + row->clips[i] + ".wav", ui::headless::OpenedMedia().back());
    EXPECT_EQ(i + 1, form->voiceStep);
    ui::headless::CompleteMedia(ui::NotifyValue::Successful);
    ui::headless::AdvanceTime(499);
    EXPECT_EQ(static_cast<size_t>(i + 1), ui::headless::OpenedMedia().size());
    ui::headless::AdvanceTime(1);
  }
  EXPECT_EQ(6, form->voiceStep);
  // After the fifth clip there is no slot left to ask for: the player still holds the last clip.
  EXPECT_EQ(5u, ui::headless::OpenedMedia().size());
  EXPECT_TRUE(form->mplWave->IsOpen());
  EXPECT_EQ(std::string(".\\") + row->clips[4] + ".wav", form->mplWave->fileName);
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
  EXPECT_EQ(6, form->voiceStep);
}

TEST_F(Playback, TheNamelessVariantPlaysWhereTheLineNamesTheUserByAnotherName) {
  struct Case {
    const char* what;
    const char* givenName;  // null: the default
    int channels;           // 1: the clip's own entry; 2: its name-less variant
  };
  const Case cases[] = {
      {"the default given name: the clip itself", nullptr, 1},
      {"another given name: the name-less variant", "湊", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ScenarioRow* row = StartWhere(
        0,
        [](const ScenarioRow& r) {
          for (const char* line : r.lines)
            if (std::strstr(line, NameTokens[2])) return true;
          return false;
        },
        [&] {
          if (c.givenName) StoreSetting("name1b", std::string(c.givenName));
        });
    ASSERT_NE(nullptr, row) << "no line of the first table names the user by the given name";
    EXPECT_EQ(c.givenName != nullptr, form->preferNamelessVoice);
    ASSERT_EQ(1u, ui::headless::OpenedMedia().size());
    EXPECT_EQ(std::string(".\\") + row->clips[0] + ".wav", ui::headless::OpenedMedia().back());
    EXPECT_EQ(c.channels, WaveChannels(work.Child(std::string(row->clips[0]) + ".wav")));
  }
}

TEST_F(Playback, TheExitSoundIsTheNamelessVariantOfTheExitClipThatTheSecondsChoose) {
  const char kExitKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current";
  struct Case {
    int char0, second, clip;
  };
  const Case cases[] = {
      {7, 13, 4},  // nine exit clips: 13 mod 9
      {4, 59, 3},  // seven: 59 mod 7
      {0, 7, 2},   // five: 7 mod 5
      {5, 42, 0},  // one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "character " << c.char0 << ", second " << c.second);
    StartAt(10, c.second, [&] {
      StoreSetting("char0", c.char0);
      StoreSetting("repl", 1);
      platform::RegistryKey(kExitKey, true).WriteDefault("C:\\Windows\\Media\\exit.wav");
    });
    form->Show();
    ui::headless::AdvanceTime(100);  // the Windows sounds are updated at the window's first tick
    const std::string clip = ExitClips[c.char0][c.clip];
    std::string stored;
    EXPECT_TRUE(platform::RegistryKey(kExitKey, false).ReadText("", stored));
    EXPECT_EQ(work.Windows() + ".\\" + clip + ".wav", stored);
    // Named after the clip, spoken by its name-less variant, although these names are the defaults.
    EXPECT_FALSE(form->preferNamelessVoice);
    EXPECT_EQ(2, WaveChannels(work.Child(clip + ".wav")));
  }
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
  Start();
  form->Show();
  EXPECT_EQ(6, form->voiceStep);
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

const char kExitKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current";

std::string ExitSound() {
  platform::RegistryKey key(kExitKey, false);
  std::string value = "(none)";
  key.ReadText("", value);
  return value;
}

bool AnyWave(const native_support::TempFolder& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder.Posix()))
    if (entry.path().extension() == ".wav") return true;
  return false;
}

// grp.pak with a small unpacked entry for every sheet.
std::string ImageArchiveOfAllSheets() {
  std::vector<test_fixtures::PakEntry> entries;
  for (int c = 0; c < kRosterSize; ++c)
    for (int v = 0; v < kVariants && SpriteFiles[c][v]; ++v) entries.push_back({.name = SpriteFiles[c][v], .data = "TGA."});
  return test_fixtures::ImagePak(entries);
}

TEST_F(Playback, TheWindowShowsBeforeAnyClipIsMadeTheFirstClipStartsWithItTheRestAtTheFirstTick) {
  native_support::MakeFile(game.Child("grp.pak"), ImageArchiveOfAllSheets());
  platform::RegistryKey(kExitKey, true).WriteDefault("C:\\Windows\\Media\\exit.wav");
  StoreSetting("repl", 1);
  StoreSetting("char0", 0);
  StoreSetting("char1", 1);
  native_support::SetLocalClock(2027, 3, 25, 10, 0);
  Start();
  // Created: the start is counted and saved and the figures' sheets are out (with those before
  // them in the table); nothing is decoded, played or replaced yet.
  EXPECT_TRUE(native_support::Exists(work.Child("STARTHUB")));
  EXPECT_TRUE(native_support::Exists(work.Child("mapc010.tga")));
  EXPECT_TRUE(native_support::Exists(work.Child("mapc020.tga")));
  EXPECT_FALSE(native_support::Exists(work.Child("mapc030.tga")));
  EXPECT_TRUE(ui::headless::OpenedMedia().empty());
  EXPECT_FALSE(AnyWave(work));
  EXPECT_EQ("C:\\Windows\\Media\\exit.wav", ExitSound());

  form->Show();
  const ScenarioRow& row = ScenarioTables[0][form->chosenLine];
  ASSERT_EQ(1u, ui::headless::OpenedMedia().size());
  EXPECT_EQ(std::string(".\\") + row.clips[0] + ".wav", ui::headless::OpenedMedia()[0]);
  EXPECT_EQ(1, form->voiceStep);
  EXPECT_EQ("C:\\Windows\\Media\\exit.wav", ExitSound());

  ui::headless::AdvanceTime(100);
  // The seconds are 0: the first exit clip.
  EXPECT_EQ(work.Windows() + ".\\" + ExitClips[0][0] + ".wav", ExitSound());
  EXPECT_TRUE(native_support::Exists(work.Child(std::string(ExitClips[0][0]) + ".wav")));
  for (int c = 0; c < kRosterSize; ++c)
    for (int v = 0; v < kVariants && SpriteFiles[c][v]; ++v) EXPECT_TRUE(native_support::Exists(work.Child(SpriteFiles[c][v]))) << SpriteFiles[c][v];
}

TEST_F(Playback, AWindowClosedBeforeItsFirstTickStillFinishesTheStart) {
  native_support::MakeFile(game.Child("grp.pak"), ImageArchiveOfAllSheets());
  platform::RegistryKey(kExitKey, true).WriteDefault("C:\\Windows\\Media\\exit.wav");
  StoreSetting("repl", 1);
  native_support::SetLocalClock(2027, 3, 25, 10, 0);
  Start();
  form->Show();
  form.reset();
  EXPECT_EQ(work.Windows() + ".\\" + ExitClips[0][0] + ".wav", ExitSound());
  EXPECT_TRUE(native_support::Exists(work.Child("mapc070.tg2"))) << "extracted, and not a .TGA the cleanup deletes";
}

TEST_F(Playback, WithADelayTheSoundsAreUpdatedAtCreationAndTheFirstClipWaitsForTheWindow) {
  platform::RegistryKey(kExitKey, true).WriteDefault("C:\\Windows\\Media\\exit.wav");
  StoreSetting("repl", 1);
  StoreSetting("delay", 2);
  native_support::SetLocalClock(2027, 3, 25, 10, 0);
  Start();
  EXPECT_EQ(work.Windows() + ".\\" + ExitClips[0][0] + ".wav", ExitSound());
  EXPECT_TRUE(ui::headless::OpenedMedia().empty());
  ui::headless::AdvanceTime(2000);
  EXPECT_TRUE(form->Visible());
  ASSERT_EQ(1u, ui::headless::OpenedMedia().size());
  EXPECT_EQ(std::string(".\\") + ScenarioTables[0][form->chosenLine].clips[0] + ".wav", ui::headless::OpenedMedia()[0]);
}

}  // namespace
