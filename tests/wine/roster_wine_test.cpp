// ToFullWidth of the roster's names through Wine's LCMapStringA gives what the native build gives.
#include <gtest/gtest.h>

#include <string>

#include "data/Untdata.h"
#include "data/roster.h"

namespace {

class RosterWine : public ::testing::Test {
 protected:
  TfrmData data;
};

// The same bytes the native test expects.
TEST_F(RosterWine, ToFullWidthGivesTheRecordedBytes) {
  const struct {
    std::string input;
    std::string expected;
  } cases[] = {
      {Roster[0].fullName, "\x8F\x7C\x89\xAA\x81\x40\x82\xBF\x82\xC6\x82\xB9"},
      {Roster[6].fullName, "\x96\x50\x8F\xF0\x89\x40\x81\x40\x97\xDA\x97\x9E\x8E\x71"},
      {Roster[7].fullName,
       "\x83\x4A\x83\x65\x83\x8A\x81\x5B\x83\x69\x81\x45\x83\x94\x83\x48\x83\x8B\x83\x52\x83\x74"
       "\x83\x58\x83\x4A\x83\x84"},
      {"", ""},
      // The result ends at the first zero byte.
      {std::string("A\0B", 3), "\x82\x60"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, data.ToFullWidth(c.input));
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
