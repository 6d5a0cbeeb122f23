// The settings store and game folder discovery against Wine's registry and file system.
#include <gtest/gtest.h>
#include <windows.h>

#include "data/Untdata.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/sjis_calls.h"

namespace {

DWORD TypeOf(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Zorve\\M2K-COUNTER", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return REG_NONE;
  DWORD type = REG_NONE;
  const LONG result = RegQueryValueExW(key, sjis::Wide(name).c_str(), nullptr, &type, nullptr, nullptr);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? type : REG_NONE;
}

DWORD ValueCount() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Zorve\\M2K-COUNTER", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return 0;
  DWORD count = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                   nullptr, nullptr);
  RegCloseKey(key);
  return count;
}

class SettingsWine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::DeleteRegistryTree(kSettingsKey));
    ASSERT_TRUE(platform::DeleteRegistryTree(kGameKey));
  }
  void TearDown() override {
    platform::DeleteRegistryTree(kSettingsKey);
    platform::DeleteRegistryTree(kGameKey);
  }
  static std::string GameFolder(const char* name) {
    char base[MAX_PATH] = {};
    sjis::GetTempPath(MAX_PATH, base);
    const std::string folder = std::string(base) + name + "\\";
    sjis::CreateDirectory(folder.c_str(), nullptr);
    platform::WriteWholeFile(folder + "Marivel2.exe", "MZ");
    for (const char* archive : {"grp.pak", "voice.pak"}) platform::RemoveFile(folder + archive);
    return folder;
  }
  TfrmData data;
};

TEST_F(SettingsWine, FreshHiveGetsOnlyTheTwoStarthubValues) {
  data.LoadSettings();
  EXPECT_EQ(2u, ValueCount());
  platform::RegistryKey key(kSettingsKey, false);
  std::string exec, file;
  ASSERT_TRUE(key.ReadText("starthubexec", exec));
  ASSERT_TRUE(key.ReadText("starthubfile", file));
  EXPECT_EQ(wine_test::BinFolder() + "M2KCOUNT.EXE", exec);
  EXPECT_EQ(wine_test::BinFolder() + "STARTHUB", file);
  EXPECT_EQ(5, data.counterSettings.timer);
  EXPECT_EQ("1111111111", data.counterSettings.usewave);
  EXPECT_EQ("", data.counterSettings.dirwave);
}

TEST_F(SettingsWine, SaveWritesSixteenTypedValuesThatLoadBack) {
  data.LoadSettings();
  data.counterSettings.char0 = 9;
  data.counterSettings.timer = 12;  // saved as it is: the range is kept at load
  data.counterSettings.name3 = "ソウちゃん";
  data.counterSettings.dirwave = "C:\\ゲーム表\\";
  data.SaveSettings();
  EXPECT_EQ(18u, ValueCount());
  for (const char* name : {"char0", "char1", "timer", "delay", "name", "rand", "wave", "repl", "form"})
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), TypeOf(name)) << name;
  for (const char* name : {"name1a", "name1b", "name2a", "name2b", "name3", "usewave", "dirwave"})
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), TypeOf(name)) << name;
  platform::RegistryKey key(kSettingsKey, false);
  int32_t timer = 0;
  ASSERT_TRUE(key.ReadInteger("timer", timer));
  EXPECT_EQ(12, timer);

  data.counterSettings = CounterSettings{};
  data.LoadSettings();
  EXPECT_EQ(9, data.counterSettings.char0);
  EXPECT_EQ(1, data.counterSettings.timer);
  EXPECT_EQ("ソウちゃん", data.counterSettings.name3);
  EXPECT_EQ("C:\\ゲーム表\\", data.counterSettings.dirwave);
}

TEST_F(SettingsWine, ValuesOfAnotherTypeKeepTheDefaults) {
  {
    platform::RegistryKey key(kSettingsKey, true);
    key.WriteText("timer", "7");
    key.WriteInteger("usewave", 1);
  }
  data.LoadSettings();
  EXPECT_EQ(5, data.counterSettings.timer);
  EXPECT_EQ("1111111111", data.counterSettings.usewave);
}

TEST_F(SettingsWine, DiscoveryFindsTheGameThroughItsRegistryEntry) {
  const std::string folder = GameFolder("m2k-game");
  const std::string sjisFolder = GameFolder("m2k-ゲーム表");
  struct Case {
    std::string installDir;
    bool found;
  } cases[] = {
      {folder, true},
      {folder.substr(0, folder.size() - 1), false},  // no trailing backslash: name runs on
      {sjisFolder, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.installDir);
    {
      platform::RegistryKey game(kGameKey, true);
      game.WriteText("InstallDir", c.installDir);
    }
    std::string found = "previous";
    EXPECT_EQ(c.found, data.FindGameFolder(found));
    EXPECT_EQ(c.found ? c.installDir : "", found);
    data.LoadSettings();
    EXPECT_EQ(c.found ? c.installDir : "", data.counterSettings.dirwave);
  }
}

TEST_F(SettingsWine, GameFilesAreLookedUpWithExactlyOneSeparator) {
  const std::string folder = GameFolder("m2k-ソフト表");
  platform::WriteWholeFile(folder + "grp.pak", "x");
  data.LoadSettings();
  data.counterSettings.wave = 0;
  for (const std::string& dir : {folder, folder.substr(0, folder.size() - 1)}) {
    data.counterSettings.dirwave = dir;
    EXPECT_TRUE(data.GameFilesPresent()) << dir;
  }
  data.counterSettings.wave = 1;
  EXPECT_FALSE(data.GameFilesPresent());
  platform::WriteWholeFile(folder + "voice.pak", "x");
  EXPECT_TRUE(data.GameFilesPresent());
}

}  // namespace
