// The registry key class against Wine's real registry.
#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/common/registry_contract.h"

namespace {

const char kKey[] = "\\Software\\Zorve\\M2K-TEST";

class RegistryWine : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(platform::DeleteRegistryTree(kKey)); }
  void TearDown() override { platform::DeleteRegistryTree(kKey); }
};

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
