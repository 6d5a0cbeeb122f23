// The voice sequence of a counter start, with real clips: taken out of a voice archive,
// decoded by the OGG library and played one after another with 500 ms between them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>

#include "counter/Untcount.h"
#include "counter/scenario.h"
#include "data/sprites.h"
#include "platform/files.h"
#include "tests/native/native_support.h"

namespace {

using native_support::StoreSetting;

std::string Le32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// A voice archive holding every clip of a character's table and her exit clips, all with the
// same short tone.
std::string VoiceArchiveOfTable(int character, const std::string& ogg) {
  std::map<std::string, bool> names;
  for (const ScenarioRow* row = ScenarioTables[character];; ++row) {
    for (const char* clip : row->clips)
      if (clip) names[clip] = true;
    if (row->kind == -1) break;
  }
  for (int k = 0; k < 10 && ExitClips[character][k]; ++k) names[ExitClips[character][k]] = true;
  std::string directory, data;
  const uint32_t dataStart = 8 + 40 * static_cast<uint32_t>(names.size());
  for (const auto& [name, unused] : names) {
    std::string field(32, '\0');
    for (size_t i = 0; i < name.size(); ++i) field[i] = static_cast<char>(255 - static_cast<unsigned char>(name[i]));
    directory += field + Le32(static_cast<uint32_t>(ogg.size())) + Le32(dataStart + static_cast<uint32_t>(data.size()));
    data += ogg;
  }
  return Le32(0) + Le32(static_cast<uint32_t>(names.size())) + directory + data;
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
      if (ClipCount(row) == clips) {
        form->Show();  // the first clip starts with the window
        return &row;
      }
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

TEST_F(Playback, NothingPlaysWhenTheVoiceCannotBeHad) {
  struct Case {
    const char* what;
    std::function<void(Playback&)> arrange;
  } cases[] = {
      {"voices off", [](Playback&) { StoreSetting("wave", 0); }},
      {"the first character's voice off", [](Playback&) { StoreSetting("usewave", std::string("0111111111")); }},
      {"no voice archive", [](Playback& t) { std::filesystem::remove(t.game.Child("voice.pak")); }},
      {"no OGG library", [](Playback& t) { std::filesystem::remove(t.work.Child("ogog.dll")); }},
      {"the device refuses the clip", [](Playback&) { ui::headless::FailNextMediaOpen(); }},
      {"the device cannot play it", [](Playback&) { ui::headless::FailNextMediaPlay(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    c.arrange(*this);
    native_support::SetLocalClock(2027, 3, 25, 10, 0);
    form = std::make_unique<TfrmCount>();
    form->Show();
    EXPECT_EQ(6, voiceStep);
    EXPECT_EQ(nullptr, ui::headless::PlayingPlayer());
    ui::headless::AdvanceTime(1000);
    EXPECT_TRUE(form->Closed());
    TearDown();
  }
}

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
  std::vector<std::string> names;
  for (int c = 0; c < kRosterSize; ++c)
    for (int v = 0; v < kVariants && SpriteFiles[c][v]; ++v) names.push_back(SpriteFiles[c][v]);
  std::string directory, data;
  const uint32_t dataStart = 8 + 36 * static_cast<uint32_t>(names.size());
  for (const std::string& name : names) {
    std::string field = name;
    field.resize(24, '\0');
    directory += Le32(0) + field + Le32(dataStart + static_cast<uint32_t>(data.size())) + Le32(4);
    data += "TGA.";
  }
  return Le32(0) + Le32(static_cast<uint32_t>(names.size())) + directory + data;
}

TEST_F(Playback, TheWindowShowsBeforeAnyClipIsMadeTheFirstClipStartsWithItTheRestAtTheFirstTick) {
  native_support::MakeFile(game.Child("grp.pak"), ImageArchiveOfAllSheets());
  platform::RegistryKey(kExitKey, true).WriteDefault("C:\\Windows\\Media\\exit.wav");
  StoreSetting("repl", 1);
  StoreSetting("char0", 0);
  StoreSetting("char1", 1);
  native_support::SetLocalClock(2027, 3, 25, 10, 0);
  form = std::make_unique<TfrmCount>();
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
  const ScenarioRow& row = ScenarioTables[0][chosenLine];
  ASSERT_EQ(1u, ui::headless::OpenedMedia().size());
  EXPECT_EQ(std::string(".\\") + row.clips[0] + ".wav", ui::headless::OpenedMedia()[0]);
  EXPECT_EQ(1, voiceStep);
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
  form = std::make_unique<TfrmCount>();
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
  form = std::make_unique<TfrmCount>();
  EXPECT_EQ(work.Windows() + ".\\" + ExitClips[0][0] + ".wav", ExitSound());
  EXPECT_TRUE(ui::headless::OpenedMedia().empty());
  ui::headless::AdvanceTime(2000);
  EXPECT_TRUE(form->Visible());
  ASSERT_EQ(1u, ui::headless::OpenedMedia().size());
  EXPECT_EQ(std::string(".\\") + ScenarioTables[0][chosenLine].clips[0] + ".wav", ui::headless::OpenedMedia()[0]);
}

}  // namespace
