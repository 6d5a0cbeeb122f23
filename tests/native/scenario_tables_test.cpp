// The scenario tables, name tokens and exit clips: the shape their content must keep (rows and
// kinds per table, the telling rows, clip counts and names, line lengths, name tokens), and the
// well-formedness of every row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "counter/scenario.h"
#include "data/Untdata.h"
#include "platform/textmap.h"

namespace {

constexpr int kTables = 10;

// The rows of a table before its end row.
std::vector<const ScenarioRow*> BodyRows(int table) {
  std::vector<const ScenarioRow*> rows;
  for (const ScenarioRow* row = ScenarioTables[table]; row->kind != -1; ++row) rows.push_back(row);
  return rows;
}

// Every row of a table, the end row included.
std::vector<const ScenarioRow*> AllRows(int table) {
  std::vector<const ScenarioRow*> rows = BodyRows(table);
  rows.push_back(ScenarioTables[table] + rows.size());
  return rows;
}

int ClipCount(const ScenarioRow& row) {
  int n = 0;
  while (n < 5 && row.clips[n] != nullptr) ++n;
  return n;
}

// First and last hour of a row's window.
std::pair<int, int> Window(const ScenarioRow& row) {
  if (row.kind == 0) return {row.param, row.hours};
  return {row.hours / 100 % 100, row.hours % 100};
}

bool WindowHolds(const ScenarioRow& row, int hour) {
  const auto [first, last] = Window(row);
  return last >= first ? (first <= hour && hour <= last) : (hour >= first || hour <= last);
}

// Length in bytes when every byte pairs as Shift-JIS, else -1.
int ShiftJisCheck(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      if (i + 1 >= text.size()) return -1;
      const unsigned char t = static_cast<unsigned char>(text[++i]);
      if (t < 0x40 || t == 0x7F || t > 0xFC) return -1;
    } else if (c < 0x20 || c == 0x7F || c == 0x80 || c == 0xA0 || c > 0xFC) {
      return -1;
    }
  }
  return static_cast<int>(text.size());
}

int Occurrences(const std::string& text, const std::string& token) {
  int n = 0;
  for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + token.size())) ++n;
  return n;
}

// The speaker digits that end the name of every clip of character c.
std::string SpeakerDigits(int character) {
  return character == 9 ? "028" : "00" + std::to_string(character + 1);
}

bool WellFormedClipName(const std::string& name) {
  if (name.size() != 21 || name[0] != 'K' || name[10] != '_' || name.substr(17) != ".OGG") return false;
  for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16}) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

TEST(ScenarioTables, RowsAndKindsPerTable) {
  const struct {
    int rows, kind0, kind1, kind3, kind4, kind5;
  } want[kTables] = {
      {69, 39, 22, 1, 0, 7}, {32, 30, 2, 0, 0, 0}, {37, 29, 1, 3, 0, 4}, {30, 30, 0, 0, 0, 0},
      {36, 28, 0, 0, 8, 0},  {26, 23, 0, 0, 3, 0}, {32, 29, 1, 2, 0, 0}, {59, 47, 10, 2, 0, 0},
      {26, 25, 1, 0, 0, 0},  {39, 28, 7, 4, 0, 0},
  };
  for (int t = 0; t < kTables; ++t) {
    SCOPED_TRACE("table " + std::to_string(t));
    std::map<int, int> kinds;
    for (const ScenarioRow* row : BodyRows(t)) ++kinds[row->kind];
    EXPECT_EQ(want[t].rows, static_cast<int>(BodyRows(t).size()));
    EXPECT_EQ(want[t].kind0, kinds[0]);
    EXPECT_EQ(want[t].kind1, kinds[1]);
    EXPECT_EQ(want[t].kind3, kinds[3]);
    EXPECT_EQ(want[t].kind4, kinds[4]);
    EXPECT_EQ(want[t].kind5, kinds[5]);
    for (const auto& [kind, count] : kinds) {
      EXPECT_TRUE(kind == 0 || kind == 1 || kind == 3 || kind == 4 || kind == 5)
          << count << " rows of kind " << kind;
    }
  }
}

TEST(ScenarioTables, EveryTableEndsWithACompleteFallbackRow) {
  for (int t = 0; t < kTables; ++t) {
    SCOPED_TRACE("table " + std::to_string(t));
    const ScenarioRow& end = *AllRows(t).back();
    EXPECT_EQ(-1, end.kind);
    EXPECT_STRNE("", end.lines[0]);
    EXPECT_GE(ClipCount(end), 1);
  }
}

TEST(ScenarioTables, TellingRowsArePresent) {
  const struct {
    int table, kind, param, hours, clips;
  } cases[] = {
      {0, 0, 6, 6, 2},     {0, 1, 325, 916, 5}, {0, 1, 326, 916, 5}, {0, 1, 327, 916, 5},
      {0, 1, 328, 916, 5}, {0, 1, 329, 916, 5}, {0, 1, 330, 916, 5}, {0, 1, 331, 916, 5},
      {0, 3, 0, 810, 2},   {0, 5, 4, 708, 4},   {3, 0, 23, 0, 5},    {4, 4, 5, 1617, 2},
      {7, 3, 7, 708, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("table " + std::to_string(c.table) + " kind " + std::to_string(c.kind) + " param " +
                 std::to_string(c.param) + " hours " + std::to_string(c.hours));
    const std::vector<const ScenarioRow*> rows = BodyRows(c.table);
    const auto found = std::find_if(rows.begin(), rows.end(), [&](const ScenarioRow* row) {
      return row->kind == c.kind && row->param == c.param && row->hours == c.hours;
    });
    ASSERT_NE(rows.end(), found);
    EXPECT_EQ(c.clips, ClipCount(**found));
  }
}

TEST(ScenarioTables, PartnerRowsOfTheTwinsNameEachOther) {
  const struct {
    int table, partner;
  } cases[] = {{4, 5}, {5, 4}};
  for (const auto& c : cases) {
    for (const ScenarioRow* row : BodyRows(c.table)) {
      if (row->kind == 4) {
        EXPECT_EQ(c.partner, row->param) << "table " << c.table;
      }
    }
  }
}

TEST(ScenarioTables, ParamsAndHoursAreInRange) {
  for (int t = 0; t < kTables; ++t) {
    for (const ScenarioRow* row : BodyRows(t)) {
      SCOPED_TRACE("table " + std::to_string(t) + " kind " + std::to_string(row->kind) + " param " +
                   std::to_string(row->param) + " hours " + std::to_string(row->hours));
      const auto [first, last] = Window(*row);
      EXPECT_TRUE(first >= 0 && first <= 23 && last >= 0 && last <= 23);
      if (row->kind != 0) {
        EXPECT_LT(row->hours, 2400);
      }
      if (row->kind == 1) {
        EXPECT_TRUE(row->param / 100 >= 1 && row->param / 100 <= 12 && row->param % 100 >= 1 &&
                    row->param % 100 <= 31);
      }
      // Weekday 7 stands once, in table 7, for a day that never comes.
      if (row->kind == 3) {
        EXPECT_TRUE(row->param <= 6 || (t == 7 && row->param == 7 && row->hours == 708));
      }
      if (row->kind == 4) {
        EXPECT_TRUE(row->param >= 0 && row->param <= 9 && row->param != t);
      }
      if (row->kind == 5) {
        EXPECT_TRUE(row->param >= 1 && row->param <= 12);
      }
    }
  }
}

TEST(ScenarioTables, TimeOfDayRowsCoverTheDayExceptTable3AtNight) {
  for (int t = 0; t < kTables; ++t) {
    for (int hour = 0; hour < 24; ++hour) {
      int covering = 0;
      for (const ScenarioRow* row : BodyRows(t)) covering += row->kind == 0 && WindowHolds(*row, hour);
      const bool asleep = t == 3 && hour >= 1 && hour <= 5;
      if (asleep) {
        EXPECT_EQ(0, covering) << "table 3 has a time-of-day line at " << hour << ":00";
      } else {
        EXPECT_GT(covering, 0) << "table " << t << " says nothing at " << hour << ":00";
      }
    }
  }
}

TEST(ScenarioTables, Table3HasNoRowOfAnyKindBetweenOneAndSix) {
  for (const ScenarioRow* row : BodyRows(3)) {
    for (int hour = 1; hour <= 5; ++hour) {
      EXPECT_FALSE(WindowHolds(*row, hour)) << "kind " << row->kind << " param " << row->param;
    }
  }
}

TEST(ScenarioTables, VariantIsZeroAndOnlyTable9Poses) {
  for (int t = 0; t < kTables; ++t) {
    for (const ScenarioRow* row : AllRows(t)) {
      EXPECT_EQ(0, row->variant) << "table " << t;
      EXPECT_EQ(t == 9 ? 4 : 0, row->pose) << "table " << t;
    }
  }
}

TEST(ScenarioTables, ClipCountsUsesAndDistinctNames) {
  std::map<int, int> histogram;
  std::set<std::string> distinct;
  int uses = 0;
  for (int t = 0; t < kTables; ++t) {
    for (const ScenarioRow* row : AllRows(t)) {
      const int n = ClipCount(*row);
      ++histogram[n];
      for (int i = n; i < 5; ++i) EXPECT_EQ(nullptr, row->clips[i]) << "a clip after the first gap";
      std::set<std::string> inRow;
      for (int i = 0; i < n; ++i) {
        ++uses;
        distinct.insert(row->clips[i]);
        EXPECT_TRUE(inRow.insert(row->clips[i]).second) << "clip twice in one row: " << row->clips[i];
      }
    }
  }
  const std::map<int, int> want = {{0, 4}, {1, 63}, {2, 102}, {3, 112}, {4, 65}, {5, 50}};
  EXPECT_EQ(want, histogram);
  EXPECT_EQ(1113, uses);
  EXPECT_EQ(862u, distinct.size());
}

TEST(ScenarioTables, ClipNamesAreWellFormedAndSpokenByTheTablesCharacter) {
  for (int t = 0; t < kTables; ++t) {
    for (const ScenarioRow* row : AllRows(t)) {
      for (int i = 0; i < ClipCount(*row); ++i) {
        const std::string name = row->clips[i];
        EXPECT_TRUE(WellFormedClipName(name)) << name;
        EXPECT_EQ(SpeakerDigits(t), name.substr(14, 3)) << "table " << t << ": " << name;
      }
    }
  }
}

// A clip whose 9th and 10th characters are not "00" speaks name token 1..6, which its row shows;
// the voice archive falls back to the "00" form of such clips.
TEST(ScenarioTables, NamedClipsSpeakATokenOfTheirRow) {
  int named = 0;
  for (int t = 0; t < kTables; ++t) {
    for (const ScenarioRow* row : AllRows(t)) {
      const std::string text = std::string(row->lines[0]) + row->lines[1] + row->lines[2];
      for (int i = 0; i < ClipCount(*row); ++i) {
        const std::string name = row->clips[i];
        if (name.size() != 21 || name.substr(8, 2) == "00") continue;
        ++named;
        const int token = std::stoi(name.substr(8, 2));
        ASSERT_TRUE(token >= 1 && token <= 6) << name;
        EXPECT_NE(std::string::npos, text.find(NameTokens[token - 1])) << name;
      }
    }
  }
  EXPECT_GT(named, 0);
}

TEST(ScenarioTables, LinesAreShiftJisAndFitTheBubble) {
  int longest = 0;
  int smallFont = 0;
  for (int t = 0; t < kTables; ++t) {
    for (const ScenarioRow* row : AllRows(t)) {
      EXPECT_STRNE("", row->lines[0]) << "table " << t;
      if (row->lines[1][0] == '\0') {
        EXPECT_STREQ("", row->lines[2]) << "table " << t;
      }
      for (const char* line : row->lines) {
        const int bytes = ShiftJisCheck(line);
        EXPECT_GE(bytes, 0) << "table " << t << ": not Shift-JIS";
        longest = std::max(longest, bytes);
        smallFont += bytes >= 50;
      }
    }
  }
  EXPECT_EQ(60, longest);
  EXPECT_GE(smallFont, 3);
}

// Braces are single-byte characters that open or close a whole name token; a second byte of a
// double-byte character may have the same value and is no brace.
TEST(ScenarioTables, BracesOnlyEncloseNameTokens) {
  for (int t = 0; t < kTables; ++t) {
    for (const ScenarioRow* row : AllRows(t)) {
      for (const std::string line : row->lines) {
        size_t i = 0;
        while (i < line.size()) {
          const unsigned char c = static_cast<unsigned char>(line[i]);
          if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            i += 2;
          } else if (c == '{') {
            const auto opens = [&](const char* k) { return line.compare(i, std::strlen(k), k) == 0; };
            const char* const* token = std::find_if(std::begin(NameTokens), std::end(NameTokens), opens);
            ASSERT_NE(std::end(NameTokens), token) << "table " << t << ": a brace that opens no name token";
            i += std::strlen(*token);
          } else {
            EXPECT_NE('}', c) << "table " << t << ": a brace that closes no name token";
            ++i;
          }
        }
      }
    }
  }
}

TEST(ScenarioTables, KatakanaShortNameIsTheMostFrequentTokenThenGivenName) {
  int count[6] = {};
  for (int t = 0; t < kTables; ++t) {
    for (const ScenarioRow* row : AllRows(t)) {
      for (const char* line : row->lines) {
        for (int k = 0; k < 6; ++k) count[k] += Occurrences(line, NameTokens[k]);
      }
    }
  }
  for (int k = 0; k < 6; ++k) {
    if (k != 5) {
      EXPECT_GT(count[5], count[k]) << "token " << k + 1;
    }
    if (k != 5 && k != 2) {
      EXPECT_GT(count[2], count[k]) << "token " << k + 1;
    }
  }
}

TEST(ScenarioTables, NameTokensHoldTheDefaultNamesInBraces) {
  const std::string katakanaNickname = platform::MapText(kDefaultNickname, platform::TextMapping::Katakana);
  const std::string want[6] = {kDefaultFamilyName, kDefaultFamilyReading, kDefaultGivenName,
                               kDefaultGivenReading, kDefaultNickname, katakanaNickname};
  for (int k = 0; k < 6; ++k) EXPECT_EQ("{" + want[k] + "}", NameTokens[k]) << "token " << k + 1;
  EXPECT_STREQ("{\x83\x5C\x83\x45\x83\x60\x83\x83\x83\x93}", NameTokens[5]);  // {ソウチャン}
}

TEST(ScenarioTables, ExitClipsPerCharacter) {
  const int want[kTables] = {5, 5, 4, 5, 7, 1, 8, 9, 3, 4};
  for (int c = 0; c < kTables; ++c) {
    SCOPED_TRACE("character " + std::to_string(c));
    int n = 0;
    while (n < 10 && ExitClips[c][n] != nullptr) {
      EXPECT_TRUE(WellFormedClipName(ExitClips[c][n])) << ExitClips[c][n];
      EXPECT_EQ(SpeakerDigits(c), std::string(ExitClips[c][n]).substr(14, 3));
      ++n;
    }
    EXPECT_EQ(want[c], n);
    if (n < 10) {
      EXPECT_EQ(nullptr, ExitClips[c][n]);
    }
  }
}

}  // namespace
