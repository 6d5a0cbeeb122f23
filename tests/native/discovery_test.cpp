// Finding the game: FindGameFolder, GameFilePath and GameFilesPresent.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data/Untdata.h"
#include "platform/native/testing.h"
#include "platform/registry.h"
#include "tests/native/native_support.h"

namespace {

using native_support::MakeFile;
using native_support::TempFolder;

const char kGameKey[] = "\\Software\\Vant\\Marivel2 KORVEN";

class GameDiscovery : public ::testing::Test {
 protected:
  void SetUp() override {
    native_support::ResetMachine();
    ASSERT_TRUE(game.Made());
  }
  void TearDown() override { platform::testing::ResetRegistry(); }

  TempFolder game;
  TfrmData data;
};

enum class InstallDir { NoKey, KeyWithoutValue, WithBackslash, WithoutBackslash, AsInteger, AsBinary };
enum class Executable { File, Missing, Folder };

struct FindCase {
  const char* what;
  InstallDir installDir;
  Executable executable;
  bool found;
};

TEST_F(GameDiscovery, FindGameFolderNeedsTheStoredFolderWithItsBackslashAndTheExecutable) {
  const FindCase cases[] = {
      {"stored with backslash, executable present", InstallDir::WithBackslash, Executable::File, true},
      {"stored without backslash: name runs into the folder", InstallDir::WithoutBackslash, Executable::File, false},
      {"executable missing", InstallDir::WithBackslash, Executable::Missing, false},
      {"a folder named like the executable", InstallDir::WithBackslash, Executable::Folder, false},
      {"game key absent", InstallDir::NoKey, Executable::File, false},
      {"key without InstallDir", InstallDir::KeyWithoutValue, Executable::File, false},
      {"InstallDir an integer", InstallDir::AsInteger, Executable::File, false},
      {"InstallDir binary", InstallDir::AsBinary, Executable::File, false},
  };
  const std::string exe = game.Child("Marivel2.exe");
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.what);
    platform::testing::ResetRegistry();
    std::filesystem::remove_all(exe);
    if (c.executable == Executable::File) MakeFile(exe);
    if (c.executable == Executable::Folder) std::filesystem::create_directory(exe);
    if (c.installDir != InstallDir::NoKey) {
      platform::RegistryKey key(kGameKey, true);
      ASSERT_TRUE(key.IsOpen());
      if (c.installDir == InstallDir::WithBackslash) key.WriteText("InstallDir", game.Windows());
      if (c.installDir == InstallDir::WithoutBackslash) key.WriteText("InstallDir", game.Posix());
      if (c.installDir == InstallDir::AsInteger) key.WriteInteger("InstallDir", 1);
    }
    if (c.installDir == InstallDir::AsBinary)
      platform::testing::WriteBinaryValue(kGameKey, "InstallDir", game.Windows());

    std::string folder = "left over from before";
    EXPECT_EQ(c.found, data.FindGameFolder(folder));
    EXPECT_EQ(c.found ? game.Windows() : std::string(), folder);
    // Discovery only reads: it never makes the game's key.
    EXPECT_EQ(c.installDir != InstallDir::NoKey, platform::testing::KeyExists(kGameKey));
  }
}

TEST_F(GameDiscovery, AGameKeyTheUserMayOnlyReadIsFound) {
  MakeFile(game.Child("Marivel2.exe"));
  {
    platform::RegistryKey key(kGameKey, true);
    key.WriteText("InstallDir", game.Windows());
  }
  platform::testing::DenyWriting(kGameKey);
  std::string folder;
  EXPECT_TRUE(data.FindGameFolder(folder));
  EXPECT_EQ(game.Windows(), folder);
}

TEST_F(GameDiscovery, GameFilePathJoinsWithExactlyOneBackslash) {
  // The literals are Shift-JIS: the second byte of these characters is the backslash code.
  ASSERT_EQ(std::string("\x95\x5c"), std::string("表"));
  ASSERT_EQ(std::string("\x83\x5c"), std::string("ソ"));
  ASSERT_EQ(std::string("\x83\x83"), std::string("ャ"));
  struct Case {
    const char* folder;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\Game\\", "C:\\Game\\grp.pak"},
      {"C:\\Game", "C:\\Game\\grp.pak"},
      {"", "\\grp.pak"},
      {"\\", "\\grp.pak"},
      {"C:\\表", "C:\\表\\grp.pak"},
      {"C:\\ソ", "C:\\ソ\\grp.pak"},
      {"C:\\予定表", "C:\\予定表\\grp.pak"},
      {"C:\\表\\", "C:\\表\\grp.pak"},
      {"C:\\ソ\\", "C:\\ソ\\grp.pak"},
      // A double-byte character whose bytes are both lead-byte values, then a real backslash.
      {"C:\\ャ\\", "C:\\ャ\\grp.pak"},
      // Half-width katakana are single bytes.
      {"C:\\ｱ\\", "C:\\ｱ\\grp.pak"},
      {"C:\\ｱ", "C:\\ｱ\\grp.pak"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    EXPECT_EQ(c.expected, GameFilePath(c.folder, "grp.pak"));
  }
  EXPECT_EQ("D:\\表\\voice.pak", GameFilePath("D:\\表", "voice.pak"));
}

TEST_F(GameDiscovery, GameFilesPresentNeedsVoiceArchiveOnlyWithVoices) {
  struct Case {
    int32_t wave;
    bool grp, voice;
    bool expected;
  };
  const Case cases[] = {
      {0, true, false, true},  {0, true, true, true},   {0, false, true, false}, {0, false, false, false},
      {1, true, false, false}, {1, true, true, true},   {1, false, true, false}, {-1, true, false, false},
      {2, true, true, true},
  };
  // The setting may name the folder with or without its backslash.
  const std::string folders[] = {game.Windows(), game.Posix()};
  for (const std::string& dirwave : folders) {
    for (const Case& c : cases) {
      SCOPED_TRACE(dirwave + ": wave " + std::to_string(c.wave) + (c.grp ? ", grp.pak" : "") +
                   (c.voice ? ", voice.pak" : ""));
      std::filesystem::remove(game.Child("grp.pak"));
      std::filesystem::remove(game.Child("voice.pak"));
      if (c.grp) MakeFile(game.Child("grp.pak"));
      if (c.voice) MakeFile(game.Child("voice.pak"));
      data.counterSettings.dirwave = dirwave;
      data.counterSettings.wave = c.wave;
      EXPECT_EQ(c.expected, data.GameFilesPresent());
    }
  }
}

}  // namespace
