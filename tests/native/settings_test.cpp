// The settings record and its registry store: LoadSettings and SaveSettings of TfrmData.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "data/Untdata.h"
#include "platform/native/testing.h"
#include "platform/registry.h"
#include "tests/native/native_support.h"

namespace {

using native_support::TempFolder;

const char kKey[] = "\\Software\\Zorve\\M2K-COUNTER";
const char kGameKey[] = "\\Software\\Vant\\Marivel2 KORVEN";
const char kProgramFolder[] = "C:\\Program Files\\M2K\\";

// The record a load gives when the key holds nothing.
CounterSettings DefaultRecord(const std::string& dirwave) {
  CounterSettings s;
  s.char0 = 0;
  s.char1 = 1;
  s.timer = 5;
  s.delay = 0;
  s.name = s.rand = s.wave = s.repl = s.form = 0;
  s.name1a = kDefaultFamilyName;
  s.name1b = kDefaultGivenName;
  s.name2a = kDefaultFamilyReading;
  s.name2b = kDefaultGivenReading;
  s.name3 = kDefaultNickname;
  s.usewave = "1111111111";
  s.dirwave = dirwave;
  return s;
}

// A record unlike the defaults in every field, all ranged fields within range.
CounterSettings DistinctRecord() {
  CounterSettings s;
  s.char0 = 9;
  s.char1 = 3;
  s.timer = 8;
  s.delay = 2;
  s.name = 1;
  s.rand = 3;
  s.wave = 1;
  s.repl = 1;
  s.form = 1;
  s.name1a = "山田";
  s.name1b = "太郎";
  s.name2a = "やまだ";
  s.name2b = "たろう";
  s.name3 = "たろちゃん";
  s.usewave = "1010101010";
  s.dirwave = "D:\\ゲーム\\表\\";
  return s;
}

void ExpectSameRecord(const CounterSettings& expected, const CounterSettings& actual) {
  for (const auto& f : kIntegerSettings) EXPECT_EQ(expected.*f.member, actual.*f.member) << f.name;
  for (const auto& f : kTextSettings) EXPECT_EQ(expected.*f.member, actual.*f.member) << f.name;
}

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    native_support::ResetMachine();
    platform::testing::SetProgramFolder(kProgramFolder);
  }
  void TearDown() override {
    platform::testing::SetRegistryUnavailable(false);
    platform::testing::ResetRegistry();
  }

  static void StoreInteger(const char* name, int32_t value) {
    platform::RegistryKey key(kKey, true);
    ASSERT_TRUE(key.WriteInteger(name, value));
  }
  static void StoreText(const char* name, const std::string& value) {
    platform::RegistryKey key(kKey, true);
    ASSERT_TRUE(key.WriteText(name, value));
  }
  static std::string StoredText(const char* name) {
    platform::RegistryKey key(kKey, false);
    std::string value = "<missing>";
    key.ReadText(name, value);
    return value;
  }
  // A game installation that discovery finds: InstallDir with its backslash, the executable in it.
  static void InstallGame(const TempFolder& folder) {
    native_support::MakeFile(folder.Child("Marivel2.exe"));
    platform::RegistryKey key(kGameKey, true);
    ASSERT_TRUE(key.WriteText("InstallDir", folder.Windows()));
  }

  TfrmData data;
};

TEST_F(SettingsStore, FreshHiveGivesDefaultsAndWritesOnlyTheTwoStartHubValues) {
  // Whatever an earlier load left in memory does not survive a load.
  data.counterSettings = DistinctRecord();
  data.SoundsReplacedAtLoad = true;

  EXPECT_FALSE(data.LoadSettings());
  EXPECT_FALSE(data.SoundsReplacedAtLoad);
  ExpectSameRecord(DefaultRecord(""), data.counterSettings);
  EXPECT_FALSE(data.counterSettings.name1a.empty());
  EXPECT_FALSE(data.counterSettings.name3.empty());

  ASSERT_TRUE(platform::testing::KeyExists(kKey));
  EXPECT_EQ(2, platform::testing::ValueCount(kKey));
  EXPECT_EQ(std::string(kProgramFolder) + "M2KCOUNT.EXE", StoredText("starthubexec"));
  EXPECT_EQ(std::string(kProgramFolder) + "STARTHUB", StoredText("starthubfile"));
  platform::RegistryKey key(kKey, false);
  EXPECT_FALSE(key.ValueExists("char0"));
}

TEST_F(SettingsStore, StartHubValuesFollowTheProgramFolderAtEveryLoad) {
  const char* const folders[] = {"C:\\Old\\", "E:\\新しい\\表\\", "\\\\server\\share\\"};
  for (const char* folder : folders) {
    SCOPED_TRACE(folder);
    platform::testing::SetProgramFolder(folder);
    data.LoadSettings();
    EXPECT_EQ(std::string(folder) + "M2KCOUNT.EXE", StoredText("starthubexec"));
    EXPECT_EQ(std::string(folder) + "STARTHUB", StoredText("starthubfile"));
  }
}

struct RangeCase {
  const char* name;
  int32_t CounterSettings::*field;
  int32_t stored;
  int32_t expected;
};

TEST_F(SettingsStore, RangedFieldsAreReplacedByFixedValuesOthersKeptAsRead) {
  const RangeCase cases[] = {
      {"char0", &CounterSettings::char0, 9, 9},
      {"char0", &CounterSettings::char0, 0, 0},
      {"char0", &CounterSettings::char0, 10, 0},
      {"char0", &CounterSettings::char0, -1, 0},
      {"char0", &CounterSettings::char0, INT32_MIN, 0},
      {"char1", &CounterSettings::char1, 9, 9},
      {"char1", &CounterSettings::char1, 0, 0},
      {"char1", &CounterSettings::char1, 10, 0},  // 0, not the default 1
      {"char1", &CounterSettings::char1, -1, 0},
      {"timer", &CounterSettings::timer, 1, 1},
      {"timer", &CounterSettings::timer, 9, 9},
      {"timer", &CounterSettings::timer, 0, 1},  // 1, not the default 5
      {"timer", &CounterSettings::timer, 10, 1},
      {"timer", &CounterSettings::timer, -7, 1},
      {"delay", &CounterSettings::delay, 9, 9},
      {"delay", &CounterSettings::delay, 10, 0},
      {"delay", &CounterSettings::delay, -1, 0},
      {"rand", &CounterSettings::rand, 7, 7},
      {"name", &CounterSettings::name, -3, -3},
      {"wave", &CounterSettings::wave, 2, 2},
      {"repl", &CounterSettings::repl, 100, 100},
      {"form", &CounterSettings::form, -1, -1},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " stored as " + std::to_string(c.stored));
    platform::testing::ResetRegistry();
    StoreInteger(c.name, c.stored);
    data.LoadSettings();
    EXPECT_EQ(c.expected, data.counterSettings.*c.field);
    // The other fields are untouched by this value.
    CounterSettings expected = DefaultRecord("");
    expected.*c.field = c.expected;
    ExpectSameRecord(expected, data.counterSettings);
  }
}

TEST_F(SettingsStore, AllRangedFieldsOutOfRangeAtOnce) {
  StoreInteger("char0", 10);
  StoreInteger("char1", 10);
  StoreInteger("timer", 10);
  StoreInteger("delay", 10);
  data.LoadSettings();
  EXPECT_EQ(0, data.counterSettings.char0);
  EXPECT_EQ(0, data.counterSettings.char1);
  EXPECT_EQ(1, data.counterSettings.timer);
  EXPECT_EQ(0, data.counterSettings.delay);
}

TEST_F(SettingsStore, ValuesClampedAtLoadAreSavedClamped) {
  StoreInteger("char0", 10);
  StoreInteger("char1", 10);
  StoreInteger("timer", 10);
  StoreInteger("delay", 10);
  data.LoadSettings();
  data.SaveSettings();
  platform::RegistryKey key(kKey, false);
  const struct {
    const char* name;
    int32_t saved;
  } expected[] = {{"char0", 0}, {"char1", 0}, {"timer", 1}, {"delay", 0}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    int32_t value = -99;
    EXPECT_TRUE(key.ReadInteger(e.name, value));
    EXPECT_EQ(e.saved, value);
  }
}

enum class StoredAs { Integer, Text, Binary };

struct WrongTypeCase {
  const char* name;
  StoredAs storedAs;
  const char* text;  // text or binary payload
  int32_t integer;
};

TEST_F(SettingsStore, ValueOfTheWrongTypeCountsAsMissing) {
  const WrongTypeCase cases[] = {
      {"char0", StoredAs::Text, "9", 0},
      {"char1", StoredAs::Text, "10", 0},
      {"timer", StoredAs::Text, "0", 0},
      {"delay", StoredAs::Text, "3", 0},
      {"wave", StoredAs::Text, "1", 0},
      {"char0", StoredAs::Binary, "\x0a\x00\x00\x00", 0},
      {"timer", StoredAs::Binary, "\x00\x00\x00\x00", 0},
      {"delay", StoredAs::Binary, "\xff\xff\xff\xff", 0},
      {"form", StoredAs::Binary, "\x01\x00\x00\x00", 0},
      {"usewave", StoredAs::Integer, "", 101},
      {"name1a", StoredAs::Integer, "", 7},
      {"dirwave", StoredAs::Integer, "", 0},
      {"name3", StoredAs::Binary, "abc", 0},
  };
  for (const WrongTypeCase& c : cases) {
    SCOPED_TRACE(c.name);
    platform::testing::ResetRegistry();
    switch (c.storedAs) {
      case StoredAs::Integer:
        StoreInteger(c.name, c.integer);
        break;
      case StoredAs::Text:
        StoreText(c.name, c.text);
        break;
      case StoredAs::Binary:
        platform::testing::WriteBinaryValue(kKey, c.name, std::string(c.text, 4));
        break;
    }
    data.LoadSettings();
    ExpectSameRecord(DefaultRecord(""), data.counterSettings);
  }
}

TEST_F(SettingsStore, WrongTypesBesideOutOfRangeValuesStillEndInRange) {
  platform::testing::WriteBinaryValue(kKey, "char0", std::string("\x0c\x00\x00\x00", 4));
  StoreText("char1", "12");
  StoreInteger("timer", 0);
  StoreInteger("delay", 42);
  data.LoadSettings();
  EXPECT_EQ(0, data.counterSettings.char0);
  EXPECT_EQ(1, data.counterSettings.char1);
  EXPECT_EQ(1, data.counterSettings.timer);
  EXPECT_EQ(0, data.counterSettings.delay);
}

TEST_F(SettingsStore, UsewaveIsKeptAsStored) {
  struct Case {
    const char* what;
    bool stored;
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      {"absent", false, "", "1111111111"},
      {"shorter", true, "101", "101"},
      {"longer", true, "111111111111", "111111111111"},
      {"empty", true, "", ""},
      {"other flag characters", true, "1x1 0a1111", "1x1 0a1111"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::testing::ResetRegistry();
    if (c.stored) StoreText("usewave", c.value);
    data.LoadSettings();
    EXPECT_EQ(c.expected, data.counterSettings.usewave);
  }
}

TEST_F(SettingsStore, StoredDirwaveBeatsTheDiscoveredFolder) {
  TempFolder game;
  ASSERT_TRUE(game.Made());
  struct Case {
    const char* what;
    bool stored;
    const char* value;
  };
  const Case cases[] = {
      {"absent: the discovered folder", false, ""},
      {"stored empty", true, ""},
      {"stored other folder", true, "D:\\Games\\表\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::testing::ResetRegistry();
    InstallGame(game);
    if (c.stored) StoreText("dirwave", c.value);
    data.LoadSettings();
    EXPECT_EQ(c.stored ? std::string(c.value) : game.Windows(), data.counterSettings.dirwave);
  }
}

TEST_F(SettingsStore, SaveWritesAllSixteenValuesUnchecked) {
  data.counterSettings = DistinctRecord();
  // Out of range on purpose: the store checks nothing at save.
  data.counterSettings.char0 = 12;
  data.counterSettings.char1 = -3;
  data.counterSettings.timer = 0;
  data.counterSettings.delay = 15;
  const CounterSettings saved = data.counterSettings;

  data.SaveSettings();

  EXPECT_EQ(16, platform::testing::ValueCount(kKey));
  platform::RegistryKey key(kKey, false);
  ASSERT_TRUE(key.IsOpen());
  for (const auto& f : kIntegerSettings) {
    SCOPED_TRACE(f.name);
    int32_t value = 0;
    ASSERT_TRUE(key.ReadInteger(f.name, value));  // an integer value, not text
    EXPECT_EQ(saved.*f.member, value);
  }
  for (const auto& f : kTextSettings) {
    SCOPED_TRACE(f.name);
    std::string value;
    ASSERT_TRUE(key.ReadText(f.name, value));
    EXPECT_EQ(saved.*f.member, value);
  }
  EXPECT_FALSE(key.ValueExists("starthubexec"));
  EXPECT_FALSE(key.ValueExists("starthubfile"));
  ExpectSameRecord(saved, data.counterSettings);  // saving changes nothing in memory
}

TEST_F(SettingsStore, SaveAfterLoadLeavesTheStartHubValuesAlone) {
  data.LoadSettings();
  platform::testing::SetProgramFolder("Z:\\elsewhere\\");
  data.SaveSettings();
  EXPECT_EQ(18, platform::testing::ValueCount(kKey));
  EXPECT_EQ(std::string(kProgramFolder) + "M2KCOUNT.EXE", StoredText("starthubexec"));
  EXPECT_EQ(std::string(kProgramFolder) + "STARTHUB", StoredText("starthubfile"));
}

TEST_F(SettingsStore, SavedRecordLoadsBackUnchanged) {
  data.counterSettings = DistinctRecord();
  data.SaveSettings();
  data.counterSettings = CounterSettings{};
  EXPECT_TRUE(data.LoadSettings());  // wave and repl are both on
  ExpectSameRecord(DistinctRecord(), data.counterSettings);
}

TEST_F(SettingsStore, UnavailableRegistryGivesDefaultsAndWritesNothing) {
  TempFolder game;
  ASSERT_TRUE(game.Made());
  InstallGame(game);
  StoreInteger("char0", 3);
  StoreInteger("timer", 7);
  StoreInteger("wave", 1);
  StoreInteger("repl", 1);
  StoreText("dirwave", "D:\\stored\\");
  const int valuesBefore = platform::testing::ValueCount(kKey);
  data.counterSettings = DistinctRecord();
  data.counterSettings.timer = 0;

  platform::testing::SetRegistryUnavailable(true);
  EXPECT_FALSE(data.LoadSettings());
  // Discovery cannot read the game's entry either.
  ExpectSameRecord(DefaultRecord(""), data.counterSettings);
  EXPECT_FALSE(data.SoundsReplacedAtLoad);

  data.counterSettings = DistinctRecord();
  data.SaveSettings();
  platform::testing::SetRegistryUnavailable(false);
  EXPECT_EQ(valuesBefore, platform::testing::ValueCount(kKey));
  platform::RegistryKey key(kKey, false);
  EXPECT_FALSE(key.ValueExists("starthubexec"));
  EXPECT_FALSE(key.ValueExists("name1a"));
}

TEST_F(SettingsStore, SaveWithoutRegistryCreatesNoKey) {
  platform::testing::SetRegistryUnavailable(true);
  data.counterSettings = DistinctRecord();
  data.SaveSettings();
  platform::testing::SetRegistryUnavailable(false);
  EXPECT_FALSE(platform::testing::KeyExists(kKey));
}

TEST_F(SettingsStore, SoundsReplacedAtLoadOnlyWithWaveAndReplBothOn) {
  struct Case {
    int32_t wave, repl;
    bool expected;
  };
  // One data module throughout: the flag must be set afresh by every load.
  const Case cases[] = {
      {1, 1, true}, {0, 0, false}, {1, 0, false}, {-1, 7, true}, {0, 1, false}, {2, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("wave " + std::to_string(c.wave) + ", repl " + std::to_string(c.repl));
    StoreInteger("wave", c.wave);
    StoreInteger("repl", c.repl);
    EXPECT_EQ(c.expected, data.LoadSettings());
    EXPECT_EQ(c.expected, data.SoundsReplacedAtLoad);
  }
}

}  // namespace
