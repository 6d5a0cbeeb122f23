// Choosing the first character's line for the moment, and putting the user's names into it.
#include <gtest/gtest.h>

#include <ctime>
#include <memory>

#include "counter/voice_line.h"
#include "data/Untdata.h"

namespace {

std::tm Moment(int month, int day, int hour, int second, int weekday = 4) {
  std::tm t{};
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_sec = second;
  t.tm_wday = weekday;
  return t;
}

ScenarioRow Row(int kind, int param, int hours) { return ScenarioRow{kind, param, hours, 0, 0, {"", "", ""}, {}}; }

struct ChoiceCase {
  const char* what;
  std::tm moment;
  int rand;
  int expectedRow;
  int expectedPartner;
};

TEST(VoiceLineChoice, RowsMatchTheirMomentAndWindow) {
  const ScenarioRow table[] = {
      Row(0, 23, 0),      // 0: 23:00-00:59
      Row(1, 325, 916),   // 1: 25 March, 09:00-16:59
      Row(3, 0, 810),     // 2: Sundays 08:00-10:59
      Row(5, 4, 708),     // 3: April 07:00-08:59
      Row(4, 5, 1617),    // 4: with partner 5, 16:00-17:59
      Row(2, 0, 23),      // 5: never chosen
      Row(3, 7, 0),       // 6: weekday 7 never comes
      Row(9, 0, 23),      // 7: unknown kinds are never chosen
      Row(-1, 0, 0),      // 8: end row
  };
  const ChoiceCase cases[] = {
      {"23:30 inside the window that wraps", Moment(6, 1, 23, 0), 0, 0, 3},
      {"00:30 inside the window that wraps", Moment(6, 1, 0, 0), 0, 0, 3},
      {"01:00 after it: nothing matches, the end row", Moment(6, 1, 1, 0), 0, 8, 3},
      {"date row at its first hour", Moment(3, 25, 9, 0), 0, 1, 3},
      {"date row at 16:59", Moment(3, 25, 16, 0), 0, 1, 3},
      {"date row not at 17:00: the partner row alone", Moment(3, 25, 17, 0), 0, 4, 3},
      {"date row on another day", Moment(3, 26, 9, 0), 0, 8, 3},
      {"weekday row on a Sunday", Moment(6, 1, 9, 0, 0), 0, 2, 3},
      {"month row", Moment(4, 10, 8, 0), 0, 3, 3},
      {"partner row keeps the partner with random choice off", Moment(6, 1, 16, 0), 0, 4, 3},
      {"partner row brings its partner with both random", Moment(6, 1, 16, 0), 1, 4, 5},
      {"partner row brings its partner with right random", Moment(6, 1, 17, 0), 2, 4, 5},
      {"partner row keeps the partner with one of the two", Moment(6, 1, 17, 0), 3, 4, 3},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.what);
    const VoiceChoice choice = ChooseScenarioRow(table, c.moment, c.rand, 3);
    EXPECT_EQ(c.expectedRow, choice.row);
    EXPECT_EQ(c.expectedPartner, choice.partner);
  }
}

TEST(VoiceLineChoice, SecondsPickAmongCandidatesInTableOrder) {
  std::vector<ScenarioRow> table;
  for (int i = 0; i < 12; ++i) table.push_back(Row(0, 0, 23));
  table.push_back(Row(-1, 0, 0));
  EXPECT_EQ(6, ChooseScenarioRow(table.data(), Moment(1, 2, 12, 30), 0, 0).row);
  EXPECT_EQ(5, ChooseScenarioRow(table.data(), Moment(1, 2, 12, 5), 0, 0).row);
  // Only the matching rows count.
  table[0] = Row(0, 3, 4);
  EXPECT_EQ(1, ChooseScenarioRow(table.data(), Moment(1, 2, 12, 0), 0, 0).row);
  EXPECT_EQ(2, ChooseScenarioRow(table.data(), Moment(1, 2, 12, 12), 0, 0).row);
}

class NameSubstitution : public ::testing::Test {
 protected:
  std::string Put(const std::string& line, bool& changed) const { return SubstituteNames(settings, line, changed); }

  CounterSettings settings;  // the default names
};

TEST_F(NameSubstitution, DefaultNamesGoInWithoutAskingForTheNamelessVoice) {
  bool changed = false;
  const std::string tokens = std::string(NameTokens[0]) + NameTokens[1] + NameTokens[2] + NameTokens[3] +
                             NameTokens[4] + NameTokens[5];
  EXPECT_EQ(std::string(kDefaultFamilyName) + kDefaultFamilyReading + kDefaultGivenName + kDefaultGivenReading +
                kDefaultNickname + "ソウチャン",
            Put(tokens, changed));
  EXPECT_FALSE(changed);
}

TEST_F(NameSubstitution, RepeatedTokensAllChangeAndAnotherNameAsksForTheNamelessVoice) {
  settings.name3 = "ゆうき";
  bool changed = false;
  const std::string katakana = NameTokens[5];
  EXPECT_EQ("ユウキ、ユウキ！", Put(katakana + "、" + katakana + "！", changed));
  EXPECT_TRUE(changed);
}

TEST_F(NameSubstitution, ShorterOrEmptyNamesThatBeginTheDefaultDoNotCount) {
  struct Case {
    const char* given;
    bool changed;
  } cases[] = {{"蒼", false}, {"", false}, {"湊", true}, {"蒼太郎", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    settings.name1b = c.given;
    bool changed = false;
    EXPECT_EQ(std::string("やあ") + c.given, Put(std::string("やあ") + NameTokens[2], changed));
    EXPECT_EQ(c.changed, changed);
  }
}

TEST_F(NameSubstitution, ANameHoldingItsOwnTokenIsPutInOnce) {
  settings.name1b = std::string("x") + NameTokens[2] + "y";
  bool changed = false;
  const std::string line = std::string(NameTokens[2]) + "と" + NameTokens[2];
  EXPECT_EQ(settings.name1b + "と" + settings.name1b, Put(line, changed));
}

TEST_F(NameSubstitution, LongNamesKeepTheWholeLine) {
  settings.name1b = std::string(200, 'n');
  bool changed = false;
  const std::string line = std::string(NameTokens[2]) + std::string(NameTokens[2]);
  EXPECT_EQ(400u, Put(line, changed).size());
}

}  // namespace
