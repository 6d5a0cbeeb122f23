// The voice line in a real counter start, and the replacement of the Windows sounds.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <filesystem>
#include <memory>

#include "counter/Untcount.h"
#include "counter/scenario.h"
#include "data/roster.h"
#include "data/sprites.h"
#include "tests/native/native_support.h"

namespace {

using native_support::StoreSetting;

const char kStartKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current";
const char kExitKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current";


// Shift-JIS trail bytes can equal "{", so tokens are looked for whole.
bool HasToken(const std::string& text, const char* token) { return text.find(token) != std::string::npos; }

class VoiceRun : public ::testing::Test {
 protected:
  void SetUp() override {
    native_support::ResetProcessState();
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    ASSERT_TRUE(work.Made());
    std::filesystem::current_path(work.Posix());
    platform::testing::SetProgramFolder(work.Windows());
  }
  void TearDown() override {
    form.reset();
    native_support::ResetProcessState();
  }
  static std::string Default(const char* key) {
    platform::RegistryKey k(key, false);
    std::string value = "(none)";
    k.ReadText("", value);
    return value;
  }
  static void SetDefault(const char* key, const std::string& value) {
    platform::RegistryKey k(key, true);
    k.WriteDefault(value);
  }
  native_support::TempFolder work;
  native_support::CurrentFolderGuard guard;
  std::unique_ptr<TfrmCount> form;
};

TEST_F(VoiceRun, NothingMatchingTheHourGivesTheEndRowAndKeepsThePair) {
  StoreSetting("char0", 3);
  StoreSetting("char1", 7);
  native_support::SetLocalClock(2026, 11, 10, 3, 0);  // she sleeps at 03:00
  form = std::make_unique<TfrmCount>();
  const ScenarioRow* table = ScenarioTables[3];
  int end = 0;
  while (table[end].kind != -1) ++end;
  EXPECT_EQ(end, chosenLine);
  EXPECT_EQ(7, counterSettings.char1);
  EXPECT_EQ(0, ChipState[0].pose);
  EXPECT_EQ(Roster[7].defaultPose, ChipState[1].pose);
  // The shown text is the end row's with the default names put in: no token is left.
  for (ui::Label* label : {form->lblChar0A, form->lblChar0B, form->lblChar0C})
    for (const char* token : NameTokens) EXPECT_FALSE(HasToken(label->Caption(), token));
  EXPECT_FALSE(preferNamelessVoice);
}

TEST_F(VoiceRun, TheRestingCharacterStandsInHerPoseWhileSpeaking) {
  StoreSetting("char0", 9);
  native_support::SetLocalClock(2026, 11, 10, 12, 0);
  form = std::make_unique<TfrmCount>();
  EXPECT_EQ(4, ChipState[0].pose);
}

TEST_F(VoiceRun, ChangedNamesAskForTheNamelessVoiceWhereTheLineNamesTheUser) {
  auto configure = [] {
    StoreSetting("name1b", std::string("湊"));
    StoreSetting("name3", std::string("ゆうき"));
  };
  const ScenarioRow* table = ScenarioTables[0];
  bool named = false, unnamed = false;
  for (int hour = 0; hour < 24; ++hour)
    for (int second = 0; second < 20; ++second) {
      native_support::ResetProcessState();
      configure();
      native_support::SetLocalClock(2026, 11, 10, hour, second);
      form = std::make_unique<TfrmCount>();
      const ScenarioRow& row = table[chosenLine];
      const std::string text = std::string(row.lines[0]) + row.lines[1] + row.lines[2];
      const bool changedToken =
          HasToken(text, NameTokens[2]) || HasToken(text, NameTokens[4]) || HasToken(text, NameTokens[5]);
      bool anyToken = false;
      for (const char* token : NameTokens) anyToken = anyToken || HasToken(text, token);
      if (changedToken) {
        named = true;
        EXPECT_TRUE(preferNamelessVoice) << text;
      } else if (!anyToken) {
        unnamed = true;
        EXPECT_FALSE(preferNamelessVoice) << text;
      }
      form.reset();
    }
  EXPECT_TRUE(named && unnamed) << "the first table should have lines with and without the user's name";
}

TEST_F(VoiceRun, SoundsAreReplacedAndTheUsersOwnComeBackWhenTurnedOff) {
  SetDefault(kStartKey, "C:\\Windows\\Media\\logon.wav");
  SetDefault(kExitKey, "C:\\Windows\\Media\\exit.wav");
  StoreSetting("wave", 1);
  StoreSetting("repl", 1);
  native_support::SetLocalClock(2026, 11, 10, 12, 0);
  form = std::make_unique<TfrmCount>();
  form.reset();
  EXPECT_EQ("", Default(kStartKey));
  // No archive here: the clip cannot be prepared, so the exit sound is the bare folder.
  EXPECT_EQ(work.Windows(), Default(kExitKey));

  // A second replacing run keeps the user's sounds, not the voices' values.
  form = std::make_unique<TfrmCount>();
  form.reset();
  StoreSetting("repl", 0);
  form = std::make_unique<TfrmCount>();
  form.reset();
  EXPECT_EQ("C:\\Windows\\Media\\logon.wav", Default(kStartKey));
  EXPECT_EQ("C:\\Windows\\Media\\exit.wav", Default(kExitKey));
  platform::RegistryKey settings("\\Software\\Zorve\\M2K-COUNTER", false);
  EXPECT_FALSE(settings.ValueExists("keptSystemStart"));
  EXPECT_FALSE(settings.ValueExists("keptSystemExit"));
}

TEST_F(VoiceRun, SoundKeysAreNeverCreated) {
  StoreSetting("wave", 1);
  StoreSetting("repl", 1);
  form = std::make_unique<TfrmCount>();
  form.reset();
  EXPECT_FALSE(platform::testing::KeyExists(kStartKey));
  EXPECT_FALSE(platform::testing::KeyExists(kExitKey));
}

TEST_F(VoiceRun, ReplacementNeedsVoicesOn) {
  SetDefault(kStartKey, "mine.wav");
  StoreSetting("wave", 0);
  StoreSetting("repl", 1);
  form = std::make_unique<TfrmCount>();
  form.reset();
  EXPECT_EQ("mine.wav", Default(kStartKey));
}

}  // namespace
