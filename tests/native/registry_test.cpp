// The in-memory registry of the native tests behaves as Wine's real one does in the same
// checks (tests/wine/registry_wine_test.cpp), and lets a test deny writing to a key.
#include <gtest/gtest.h>

#include "platform/native/testing.h"
#include "platform/registry.h"
#include "tests/common/registry_contract.h"

namespace {

const char kKey[] = "\\Software\\Zorve\\M2K-TEST";

class InMemoryRegistry : public ::testing::Test {
 protected:
  void SetUp() override { platform::testing::ResetRegistry(); }
  void TearDown() override { platform::testing::ResetRegistry(); }
};

TEST_F(InMemoryRegistry, ValueTypesAndTheDefaultValue) {
  registry_contract::CheckValueTypesAndTheDefaultValue(kKey);
}

TEST_F(InMemoryRegistry, AKeyOpenedForReadingRefusesWrites) { registry_contract::CheckReadOnlyOpening(kKey); }

TEST_F(InMemoryRegistry, AKeyTheUserMayOnlyReadOpensForReadingAlone) {
  {
    platform::RegistryKey key(kKey, true);
    key.WriteText("text", "kept");
  }
  platform::testing::DenyWriting(kKey);
  EXPECT_FALSE(platform::RegistryKey(kKey, false).IsOpen());
  EXPECT_FALSE(platform::RegistryKey(kKey, true).IsOpen());
  const platform::RegistryKey reading = platform::RegistryKey::ForReading(kKey);
  std::string text;
  EXPECT_TRUE(reading.ReadText("text", text));
  EXPECT_EQ("kept", text);
}

}  // namespace
