// The registry key class against Wine's real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/registry.h"
#include "tests/common/registry_contract.h"

namespace {

const char kKey[] = "\\Software\\Zorve\\M2K-TEST";

class RegistryWine : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(platform::DeleteRegistryTree(kKey)); }
  void TearDown() override { platform::DeleteRegistryTree(kKey); }
};

// The registry keeps Unicode. A text is stored as Japanese Windows' code page 932 turns it into
// Unicode, whatever this system's code page is, and such a value reads back as its Shift-JIS
// bytes: a settings key written under code page 932 reads the same under 1252, and the other
// way round. The expected Unicode is Python's cp932 codec's (Microsoft's table).
TEST_F(RegistryWine, TextsAreStoredAsCodePage932SaysWhateverTheSystemsCodePage) {
  struct Case {
    const char* sjis;
    const wchar_t* unicode;
  } const cases[] = {
      {"\x83\x6E\x83\x69\x95\x5C", L"\u30CF\u30CA\u8868"},  // ハナ表: a trail byte 0x5C
      {"\xB1\xB2", L"\uFF71\uFF72"},                         // half-width katakana
      {"\x87\x40\xFA\x40", L"\u2460\u2170"},                 // NEC and IBM extensions
      {"\x81\x60\x81\x7C\x81\x5F", L"\uFF5E\uFF0D\uFF3C"},  // Microsoft's own mappings
      {"C:\\Games\\", L"C:\\Games\\"},
  };
  const std::wstring key = L"Software\\Zorve\\M2K-TEST";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sjis);
    ASSERT_TRUE(platform::RegistryKey(kKey, true).WriteText("値", c.sjis));
    wchar_t stored[64] = {};
    DWORD size = sizeof stored, type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"\u5024", RRF_RT_ANY, &type, stored, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(c.unicode, std::wstring(stored));

    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_WRITE, &raw));
    const std::wstring value = c.unicode;
    RegSetValueExW(raw, L"raw", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(raw);
    std::string read;
    EXPECT_TRUE(platform::RegistryKey(kKey, false).ReadText("raw", read));
    EXPECT_EQ(c.sjis, read);
  }
}

TEST_F(RegistryWine, OpenWithoutCreateFailsOnMissingKeyAndCreatesNothing) {
  platform::RegistryKey missing(kKey, false);
  EXPECT_FALSE(missing.IsOpen());
  platform::RegistryKey again(kKey, false);
  EXPECT_FALSE(again.IsOpen());
}

TEST_F(RegistryWine, IntegersAndTextsRoundTripWithTheirTypes) {
  {
    platform::RegistryKey key(kKey, true);
    ASSERT_TRUE(key.IsOpen());
    EXPECT_TRUE(key.WriteInteger("minus", -1));
    EXPECT_TRUE(key.WriteText("text", "ソ表\\"));
    EXPECT_TRUE(key.WriteText("empty", ""));
    EXPECT_TRUE(key.WriteDefault("既定"));
  }
  platform::RegistryKey key(kKey, false);
  ASSERT_TRUE(key.IsOpen());
  int32_t number = 0;
  std::string text = "x";
  EXPECT_TRUE(key.ReadInteger("MINUS", number));  // names are case-insensitive
  EXPECT_EQ(-1, number);
  EXPECT_TRUE(key.ReadText("text", text));
  EXPECT_EQ("ソ表\\", text);
  EXPECT_TRUE(key.ReadText("empty", text));
  EXPECT_EQ("", text);
  EXPECT_TRUE(key.ReadText("", text));
  EXPECT_EQ("既定", text);
  EXPECT_TRUE(key.ValueExists("minus"));
  EXPECT_FALSE(key.ValueExists("absent"));
}

TEST_F(RegistryWine, WrongTypeReadsAsMissing) {
  platform::RegistryKey key(kKey, true);
  key.WriteText("number", "5");
  key.WriteInteger("text", 5);
  int32_t number = 7;
  std::string text = "kept";
  EXPECT_FALSE(key.ReadInteger("number", number));
  EXPECT_EQ(7, number);
  EXPECT_FALSE(key.ReadText("text", text));
  EXPECT_EQ("kept", text);
  EXPECT_TRUE(key.ValueExists("number"));
}

TEST_F(RegistryWine, ValueTypesAndTheDefaultValue) {
  registry_contract::CheckValueTypesAndTheDefaultValue(kKey);
}

TEST_F(RegistryWine, AKeyOpenedForReadingRefusesWrites) { registry_contract::CheckReadOnlyOpening(kKey); }

TEST_F(RegistryWine, MovedKeyHandleClosesOnce) {
  platform::RegistryKey first(kKey, true);
  platform::RegistryKey second = std::move(first);
  EXPECT_FALSE(first.IsOpen());
  EXPECT_TRUE(second.WriteInteger("v", 1));
}

}  // namespace
