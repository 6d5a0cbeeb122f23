// ToFullWidth of the roster's names through Wine's LCMapStringA gives what the native build gives.
#include <gtest/gtest.h>

#include <string>

#include "data/Untdata.h"
#include "data/roster.h"
#include "tests/common/recorded_bytes.h"

namespace {

class RosterWine : public ::testing::Test {
 protected:
  TfrmData data;
};

// The same bytes the native test expects.
TEST_F(RosterWine, ToFullWidthGivesTheRecordedBytes) {
  for (const auto& c : test_fixtures::RecordedFullWidthNames()) EXPECT_EQ(c.expected, data.ToFullWidth(c.input));
}

TEST_F(RosterWine, ToFullWidthChangesOnlyTheSpaceOfJapaneseNames) {
  for (int i = 0; i < kRosterSize; ++i) {
    if (i == 7) continue;
    std::string expected = Roster[i].fullName;
    expected.replace(expected.find(' '), 1, "\x81\x40");
    EXPECT_EQ(expected, data.ToFullWidth(Roster[i].fullName)) << "row " << i;
  }
}

}  // namespace
