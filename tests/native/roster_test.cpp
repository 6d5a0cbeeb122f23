// The roster: its fixed values, the rules its names and appellations keep, CharacterName and
// ToFullWidth.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "data/Untdata.h"
#include "data/roster.h"
#include "tests/common/recorded_bytes.h"
#include "tests/native/native_support.h"

namespace {

struct RowValues {
  int32_t birthMonth, birthDay;
  const char* bloodType;
  double height;
  int32_t spareNumber;
  const char* sizes;
  const char* classText;
  const char* ending;
  const char* pastEnding;
  uint32_t red, green, blue;
  int32_t defaultVariant, defaultPose;
};

const RowValues kRowValues[kRosterSize] = {
    {9, 6, "Ｏ型", 150.0, 2, "B74/W55/H77", "(不明)", "ですよ。", "したであります。", 114, 102, 101, 0, 0},
    {5, 1, "Ａ型", 154.0, 6, "B83/W58/H84", "２年Ｂ組。", "ですぅ。", "しましたぁ。", 227, 164, 132, 0, 0},
    {7, 7, "ＡＢ型", 165.0, 0, "B89/W58/H82", "３年Ａ組。", "よ。", "したわ。", 160, 52, 75, 0, 0},
    {12, 1, "ＡＢ型", 156.0, -1, "B84/W56/H82", "(不明)", "だよ。", "したよ。", 255, 197, 116, 0, 0},
    {6, 16, "Ｏ型", 152.0, 5, "B76/W56/H78", "(不明)", "やで～", "したで～", 138, 133, 185, 0, 0},
    {6, 16, "Ｏ型", 152.0, 4, "B80/W56/H79", "(不明)", "やで。", "したで。", 176, 122, 166, 0, 0},
    {8, 31, "Ｂ型", 158.0, 1, "B85/W57/H81", "(不明)", "よ。", "したわよ。", 160, 160, 237, 0, 0},
    {2, 30, "Rh-型", 162.0, -1, "B79/W57/H78", "(不明)", "だ。", "した。", 224, 159, 158, 0, 0},
    {4, 14, "Ａ型", 157.0, -1, "B84/W54/H80", "(不明)", "です。", "しました。", 87, 94, 130, 0, 0},
    {9, 20, "AB型", 163.0, -1, "B87/W57/H83", "(不明)", "よ。", "したわ。", 183, 156, 138, 0, 4},
};

TEST(RosterValues, EveryRowHoldsItsTabledValues) {
  for (int i = 0; i < kRosterSize; ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    const CharacterProfile& row = Roster[i];
    const RowValues& want = kRowValues[i];
    EXPECT_EQ(want.birthMonth, row.birthMonth);
    EXPECT_EQ(want.birthDay, row.birthDay);
    EXPECT_STREQ(want.bloodType, row.bloodType);
    EXPECT_EQ(want.height, row.height);
    EXPECT_EQ(0.0, row.spareReal);
    EXPECT_EQ(want.spareNumber, row.spareNumber);
    EXPECT_STREQ(want.sizes, row.sizes);
    EXPECT_STREQ(want.classText, row.classText);
    EXPECT_STREQ("", row.spareText);
    EXPECT_STREQ(want.ending, row.ending);
    EXPECT_STREQ(want.pastEnding, row.pastEnding);
    EXPECT_EQ(want.red | want.green << 8 | want.blue << 16, row.colour);
    EXPECT_EQ(want.defaultVariant, row.defaultVariant);
    EXPECT_EQ(want.defaultPose, row.defaultPose);
    EXPECT_EQ(0, row.reserved);
  }
}

// Texts whose look-alikes differ in bytes: full-width against half-width letters, the wave dash.
TEST(RosterValues, LookAlikeTextsHaveTheirShiftJisBytes) {
  const struct {
    const char* text;
    const char* bytes;
  } cases[] = {
      {Roster[0].bloodType, "\x82\x6E\x8C\x5E"},           // Ｏ型
      {Roster[2].bloodType, "\x82\x60\x82\x61\x8C\x5E"},   // ＡＢ型
      {Roster[9].bloodType, "AB\x8C\x5E"},                 // AB型
      {Roster[7].bloodType, "Rh-\x8C\x5E"},                // Rh-型
      {Roster[4].ending, "\x82\xE2\x82\xC5\x81\x60"},      // やで～
      {Roster[4].pastEnding, "\x82\xB5\x82\xBD\x82\xC5\x81\x60"},  // したで～
      {Roster[1].classText, "\x82\x51\x94\x4E\x82\x61\x91\x67\x81\x42"},  // ２年Ｂ組。
      {Roster[0].classText, "(\x95\x73\x96\xBE)"},         // (不明)
  };
  for (const auto& c : cases) EXPECT_STREQ(c.bytes, c.text);
}

// The characters of a Shift-JIS text, one or two bytes each; empty when a byte is out of place.
std::vector<std::string> SjisCharacters(const std::string& text) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const bool single = (c >= 0x20 && c <= 0x7E) || (c >= 0xA1 && c <= 0xDF);
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (single) {
      characters.push_back(text.substr(i, 1));
      ++i;
      continue;
    }
    const auto trail = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (!lead || trail < 0x40 || trail == 0x7F || trail > 0xFC) return {};
    characters.push_back(text.substr(i, 2));
    i += 2;
  }
  return characters;
}

void ExpectValidText(const char* what, const std::string& text, size_t maxBytes) {
  EXPECT_FALSE(text.empty()) << what;
  EXPECT_FALSE(SjisCharacters(text).empty()) << what << " is not valid Shift-JIS";
  EXPECT_LE(text.size(), maxBytes) << what;
}

TEST(RosterNames, ValidShiftJisWithinTheirLimits) {
  for (int i = 0; i < kRosterSize; ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    const CharacterProfile& row = Roster[i];
    ExpectValidText("fullName", row.fullName, 20);
    ExpectValidText("shortName", row.shortName, 10);
    ExpectValidText("voiceActor", row.voiceActor, 64);
    const bool hasAltName = i == 6 || i == 7;
    const bool hasNickname = i == 1 || i == 3 || i == 8 || i == 9;
    EXPECT_EQ(hasAltName, row.altName[0] != '\0');
    EXPECT_EQ(hasNickname, row.nickname[0] != '\0');
    if (hasAltName) ExpectValidText("altName", row.altName, 64);
    if (hasNickname) ExpectValidText("nickname", row.nickname, 64);
    // The name styles must tell full and short names apart.
    EXPECT_STRNE(row.fullName, row.shortName);
  }
}

TEST(RosterNames, FullNameIsFamilyNameSpaceGivenName) {
  for (int i = 0; i < kRosterSize; ++i) {
    if (i == 7) continue;
    SCOPED_TRACE("row " + std::to_string(i));
    const std::vector<std::string> characters = SjisCharacters(Roster[i].fullName);
    ASSERT_GE(characters.size(), 3u);
    int spaces = 0;
    for (const std::string& c : characters) {
      spaces += c == " ";
      EXPECT_NE("\x81\x40", c) << "full-width space";
    }
    EXPECT_EQ(1, spaces);
    EXPECT_NE(" ", characters.front());
    EXPECT_NE(" ", characters.back());
  }
}

TEST(RosterNames, ForeignFullNameIsHalfWidthKatakanaWithHalfWidthDots) {
  const std::string name = Roster[7].fullName;
  ASSERT_FALSE(name.empty());
  for (const char c : name) {
    const auto b = static_cast<unsigned char>(c);
    EXPECT_TRUE(b >= 0xA1 && b <= 0xDF) << std::hex << int(b);
  }
  EXPECT_NE(std::string::npos, name.find('\xA5'));
  EXPECT_NE('\xA5', name.front());
  EXPECT_NE('\xA5', name.back());
}

TEST(RosterNames, FullNamesAreDistinct) {
  std::set<std::string> names;
  for (const CharacterProfile& row : Roster) names.insert(row.fullName);
  EXPECT_EQ(static_cast<size_t>(kRosterSize), names.size());
}

TEST(RosterAppellations, EveryEntryValidWithinSixteenBytes) {
  for (int r = 0; r < kRosterSize; ++r) {
    for (int c = 0; c < kRosterSize; ++c) {
      ASSERT_NE(nullptr, AppellationTable[r][c]) << r << "," << c;
      ExpectValidText(("entry " + std::to_string(r) + "," + std::to_string(c)).c_str(),
                      AppellationTable[r][c], 16);
    }
  }
}

// A birthday message must tell whose birthday it is: no speaker uses one word for two people.
TEST(RosterAppellations, EachSpeakerNamesEveryoneDifferently) {
  for (int r = 0; r < kRosterSize; ++r) {
    std::set<std::string> words(std::begin(AppellationTable[r]), std::end(AppellationTable[r]));
    EXPECT_EQ(static_cast<size_t>(kRosterSize), words.size()) << "speaker " << r;
  }
}

class RosterAccessors : public ::testing::Test {
 protected:
  void SetUp() override { native_support::ResetMachine(); }

  TfrmData data;
};

TEST_F(RosterAccessors, CharacterNameByStyle) {
  const struct {
    int style;
    int nameSetting;
    bool full;
  } cases[] = {
      {-1, 0, true}, {0, 0, true}, {0, 1, true}, {-1, 1, false},
      {1, 0, false}, {2, 0, false}, {7, 0, false}, {1, 1, false},
  };
  for (const auto& c : cases) {
    data.counterSettings.name = c.nameSetting;
    for (int i = 0; i < kRosterSize; ++i) {
      EXPECT_EQ(c.full ? Roster[i].fullName : Roster[i].shortName, data.CharacterName(c.style, i))
          << "style " << c.style << ", name setting " << c.nameSetting << ", row " << i;
    }
  }
}

TEST_F(RosterAccessors, ToFullWidthTurnsTheSpaceIntoTheFullWidthSpace) {
  for (int i = 0; i < kRosterSize; ++i) {
    if (i == 7) continue;
    std::string expected = Roster[i].fullName;
    expected.replace(expected.find(' '), 1, "\x81\x40");
    EXPECT_EQ(expected, data.ToFullWidth(Roster[i].fullName)) << "row " << i;
  }
}

TEST_F(RosterAccessors, ToFullWidthOfTheForeignNameHasNoHalfWidthKatakana) {
  const std::string mapped = data.ToFullWidth(Roster[7].fullName);
  const std::vector<std::string> characters = SjisCharacters(mapped);
  ASSERT_FALSE(characters.empty());
  for (const std::string& c : characters) {
    const auto b = static_cast<unsigned char>(c[0]);
    EXPECT_FALSE(c.size() == 1 && b >= 0xA1 && b <= 0xDF) << std::hex << int(b);
    EXPECT_NE("?", c);
  }
}

// The same bytes the Wine test expects from LCMapStringA.
TEST_F(RosterAccessors, ToFullWidthGivesTheRecordedBytes) {
  for (const auto& c : test_fixtures::RecordedFullWidthNames()) EXPECT_EQ(c.expected, data.ToFullWidth(c.input));
}

}  // namespace
