// A counter start with voices on, against the demo game: the clips are taken out of the voice
// archive, decoded and played, and the Windows logon and exit sounds are replaced and, once the
// replacement is turned off, given back.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include "platform/files.h"
#include "platform/registry.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/sjis_calls.h"

namespace {

using wine_test::DemoGame;

const char kSettingsKey[] = "\\Software\\Zorve\\M2K-COUNTER";
const char kGameKey[] = "\\Software\\Vant\\Marivel2 KORVEN";
const char kStartKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current";
const char kExitKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current";

std::string DefaultOf(const char* key) {
  platform::RegistryKey k(key, false);
  std::string value = "(none)";
  k.ReadText("", value);
  return value;
}

int WaveFilesIn(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = sjis::FindFirstFile((folder + "*.wav").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (sjis::FindNextFile(search, &found));
  FindClose(search);
  return count;
}

class VoiceWine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::FileExists(DemoGame() + "voice.pak"))
        << "no demo game at " << DemoGame() << ": make test-wine builds it (make demo-game)";
    platform::DeleteRegistryTree(kSettingsKey);
    {
      platform::RegistryKey game(kGameKey, true);
      game.WriteText("InstallDir", DemoGame());
      platform::RegistryKey start(kStartKey, true), exit(kExitKey, true);
      start.WriteDefault("C:\\Windows\\Media\\mine-logon.wav");
      exit.WriteDefault("C:\\Windows\\Media\\mine-exit.wav");
    }
    Configure(1, 1);
  }
  void TearDown() override {
    platform::DeleteRegistryTree(kSettingsKey);
    platform::DeleteRegistryTree(kGameKey);
    platform::RemoveFile(wine_test::BinFolder() + "mapc070.tg2");
    platform::RemoveFile(wine_test::BinFolder() + "STARTHUB");
  }
  static void Configure(int wave, int repl) {
    platform::RegistryKey key(kSettingsKey, true);
    key.WriteInteger("wave", wave);
    key.WriteInteger("repl", repl);
    key.WriteInteger("timer", 1);
  }
  static void RunCounter() {
    wine_test::ProgramRun run("/C");
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitExit(60000)) << "the counter did not close after its voices";
  }
};

TEST_F(VoiceWine, ClipsPlayAndTheWindowsSoundsAreReplacedThenGivenBack) {
  RunCounter();
  const std::string bin = wine_test::BinFolder();
  EXPECT_EQ("", DefaultOf(kStartKey));
  const std::string exitSound = DefaultOf(kExitKey);
  ASSERT_EQ(0u, exitSound.rfind(bin, 0)) << exitSound;
  ASSERT_GT(exitSound.size(), bin.size()) << "the exit clip could not be prepared";
  EXPECT_TRUE(platform::FileExists(exitSound)) << exitSound;
  EXPECT_TRUE(PlaySoundW(sjis::Wide(exitSound).c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT));
  // The clips of the line stay as WAV files beside the exit sound until the next start.
  EXPECT_GE(WaveFilesIn(bin), 2);

  Configure(1, 0);
  RunCounter();
  EXPECT_EQ("C:\\Windows\\Media\\mine-logon.wav", DefaultOf(kStartKey));
  EXPECT_EQ("C:\\Windows\\Media\\mine-exit.wav", DefaultOf(kExitKey));
  platform::RegistryKey settings(kSettingsKey, false);
  EXPECT_FALSE(settings.ValueExists("keptSystemStart"));
  EXPECT_FALSE(settings.ValueExists("keptSystemExit"));
}

// With a delay the Windows sounds are updated as the counter starts, hidden: the clips earlier
// runs left are cleared away before that, not after, so the exit sound's WAV outlasts the run.
TEST_F(VoiceWine, WithADelayTheExitSoundsClipOutlastsTheRun) {
  {
    platform::RegistryKey key(kSettingsKey, true);
    key.WriteInteger("delay", 1);
  }
  RunCounter();
  const std::string exitSound = DefaultOf(kExitKey);
  ASSERT_GT(exitSound.size(), wine_test::BinFolder().size()) << "the exit clip could not be prepared: " << exitSound;
  EXPECT_TRUE(platform::FileExists(exitSound)) << exitSound;
}

TEST_F(VoiceWine, ASoundWithoutAValueAndAnExpandableOneComeBackAsTheyWere) {
  const std::string logon = "%SystemRoot%\\media\\Windows Logon.wav";
  {
    platform::RegistryKey start(kStartKey, false), exit(kExitKey, false);
    ASSERT_TRUE(start.WriteExpandableText("", logon));
    ASSERT_TRUE(exit.DeleteDefault());
  }
  // The second replacing run finds the voices' own values in both keys.
  RunCounter();
  ASSERT_NE("(none)", DefaultOf(kExitKey)) << "the exit sound was replaced";
  RunCounter();
  Configure(1, 0);
  RunCounter();
  EXPECT_EQ(platform::ValueType::ExpandableText, platform::RegistryKey(kStartKey, false).TypeOf(""));
  EXPECT_EQ(logon, DefaultOf(kStartKey));
  EXPECT_EQ(platform::ValueType::Missing, platform::RegistryKey(kExitKey, false).TypeOf(""));
}

}  // namespace
