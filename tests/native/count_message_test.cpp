// The lower bubble's count message and the choice of the character pair, composed by a real
// counter start on the headless backend: settings in the registry, the history in its file,
// the date on the virtual clock.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "counter/Untcount.h"
#include "data/roster.h"
#include "tests/native/native_support.h"

namespace {

using native_support::StoreSetting;

platform::CTime Tokyo(int year, int month, int day, int hour = 10, int minute = 0, int second = 1) {
  return static_cast<platform::CTime>(native_support::TokyoSeconds(year, month, day, hour, minute, second));
}

// The 64-byte history file: first start, start number, last start, starts on that day and the
// most starts on a day, each 32 bits little-endian, then 44 reserved bytes.
std::string HistoryFile(platform::CTime firstStart, uint32_t startNumber, platform::CTime lastStart) {
  std::string bytes;
  for (uint32_t field : {static_cast<uint32_t>(firstStart), startNumber, static_cast<uint32_t>(lastStart), 0u, 0u})
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(field >> shift & 0xFF);
  return bytes + std::string(44, '\0');
}

struct Start {
  platform::CTime now;
  uint32_t startNumber = 1;    // 1 and no file: the first start
  int64_t secondsSinceLast = 0;  // 0: no previous start
  platform::CTime firstStart = 0;
  int char0 = 0, char1 = 1, rand = 0;
};

class CountMessage : public native_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
  }
  void TearDown() override {
    form.reset();
    ProgramTest::TearDown();
  }

  TfrmCount& Run(const Start& start) {
    platform::testing::SetClockMilliseconds(int64_t{start.now} * 1000 + 250);
    StoreSetting("char0", start.char0);
    StoreSetting("char1", start.char1);
    StoreSetting("rand", start.rand);
    std::filesystem::remove(work.Child("STARTHUB"));  // what an earlier case recorded
    if (start.startNumber > 1 || start.secondsSinceLast != 0) {
      const platform::CTime first = start.firstStart ? start.firstStart : start.now - 400 * 86400;
      const platform::CTime last =
          start.secondsSinceLast ? start.now - static_cast<platform::CTime>(start.secondsSinceLast) : 0;
      native_support::MakeFile(work.Child("STARTHUB"), HistoryFile(first, start.startNumber, last));
    }
    native_support::StartCounter(run, form);
    return *form;
  }

  static std::string Line1(const TfrmCount& f) {
    return f.lblChar1A->Caption() + "|" + f.lblCount->Caption() + "|" + f.lblChar1B->Caption();
  }
  static std::string Line2(const TfrmCount& f) {
    if (!f.lblChar1C->Visible()) return "(hidden)";
    return f.lblChar1C->Caption() + "|" + f.lblLast->Caption() + "|" + f.lblChar1D->Caption();
  }

  std::unique_ptr<TfrmData> run;
  std::unique_ptr<TfrmCount> form;  // after `run`, which it uses
};

const platform::CTime kDecember = Tokyo(2026, 12, 10);

TEST_F(CountMessage, OrdinalOfTheStart) {
  struct Case {
    uint32_t number;
    const char* line1;
  } cases[] = {
      {1, "今回が|初めて|の起動ですぅ。"},       {2, "通算で|2|回目の起動ですぅ。"},
      {99, "通算で|99|回目の起動ですぅ。"},      {100, "ちょうど|100|回目の起動ですぅ。"},
      {101, "通算で|101|回目の起動ですぅ。"},    {110, "通算で|110|回目の起動ですぅ。"},
      {700, "ちょうど|700|回目の起動ですぅ。"},  {1000, "ちょうど|1000|回目の起動ですぅ。"},
      {1010, "通算で|1010|回目の起動ですぅ。"},  {1100, "通算で|1100|回目の起動ですぅ。"},
      {20000, "ちょうど|20000|回目の起動ですぅ。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    TfrmCount& f = Run({.now = kDecember, .startNumber = c.number, .secondsSinceLast = 3600});
    EXPECT_EQ(c.line1, Line1(f));
    form.reset();
  }
}

TEST_F(CountMessage, TimeSinceThePreviousStart) {
  struct Case {
    int64_t seconds;
    const char* line2;
  } cases[] = {
      {59, "(hidden)"},
      {60, "前回は|1分|前に起動しましたぁ。"},
      {3599, "前回は|59分|前に起動しましたぁ。"},
      {3600, "前回は|1時間|前に起動しましたぁ。"},
      {3660, "前回は|1時間1分|前に起動しましたぁ。"},
      {86400, "前回は|1日|前に起動しましたぁ。"},
      {90000, "前回は|1日と1時間|前に起動しましたぁ。"},
      {863999, "前回は|9日と23時間|前に起動しましたぁ。"},
      {864000, "前回は|10日|前に起動しましたぁ。"},
      {900000, "前回は|10日|前に起動しましたぁ。"},
      {-7200, "(hidden)"},  // the clock was set back
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seconds);
    TfrmCount& f = Run({.now = kDecember, .startNumber = 5, .secondsSinceLast = c.seconds});
    EXPECT_EQ(c.line2, Line2(f));
    EXPECT_EQ(ui::kGray, f.lblLast->GetFont().color);
    form.reset();
  }
}

TEST_F(CountMessage, SpecialDaysBirthdaysAndAnniversaries) {
  struct Case {
    const char* what;
    Start start;
    const char* line2;
    ui::Color colour;
    int char0After, char1After;
  } cases[] = {
      {"new year's day", {.now = Tokyo(2027, 1, 1), .startNumber = 5, .secondsSinceLast = 60},
       "今日は|元旦|ですぅ。", 32512, 0, 1},
      {"tanabata beats the birthday on the same day, pair kept even with random choice on",
       {.now = Tokyo(2026, 7, 7, 10, 0, 1), .startNumber = 5, .secondsSinceLast = 60, .rand = 3},
       "今日は|七夕|ですぅ。", 32512, 0, 1},
      {"shared birthday: the lower index, pair unchanged with random choice off",
       {.now = Tokyo(2026, 6, 16), .startNumber = 5, .secondsSinceLast = 60, .char0 = 0, .char1 = 1},
       nullptr, Roster[4].colour, 0, 1},
      {"shared birthday with random choice on: she steps forward, the first one speaks",
       {.now = Tokyo(2026, 6, 16, 10, 0, 1), .startNumber = 5, .secondsSinceLast = 60, .char0 = 0, .char1 = 4, .rand = 3},
       nullptr, Roster[4].colour, 4, 0},
      {"the last roster entry's birthday falls through to the elapsed time",
       {.now = Tokyo(2026, 9, 20), .startNumber = 5, .secondsSinceLast = 7200},
       "前回は|2時間|前に起動しましたぁ。", ui::kGray, 0, 1},
      {"anniversary of the first start",
       {.now = Tokyo(2026, 12, 10), .startNumber = 5, .secondsSinceLast = 60, .firstStart = Tokyo(2024, 12, 10, 22)},
       "初回起動からちょうど |2年|が経過しましたぁ。", ui::kGray, 0, 1},
      {"first start on 29 February: no anniversary on 28 February",
       {.now = Tokyo(2025, 2, 28), .startNumber = 5, .secondsSinceLast = 60, .firstStart = Tokyo(2024, 2, 29)},
       "前回は|1分|前に起動しましたぁ。", ui::kGray, 0, 1},
      {"first start on 29 February: anniversary in the next leap year",
       {.now = Tokyo(2028, 2, 29), .startNumber = 5, .secondsSinceLast = 60, .firstStart = Tokyo(2024, 2, 29)},
       "初回起動からちょうど |4年|が経過しましたぁ。", ui::kGray, 0, 1},
      {"same day of the first start's year is no anniversary",
       {.now = Tokyo(2026, 12, 10, 12), .startNumber = 5, .secondsSinceLast = 60, .firstStart = Tokyo(2026, 12, 10, 9)},
       "前回は|1分|前に起動しましたぁ。", ui::kGray, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TfrmCount& f = Run(c.start);
    const std::string expected =
        c.line2 ? c.line2
                : std::string("今日は|") + AppellationTable[c.char1After][4] + "| の誕生日" + Roster[c.char1After].ending;
    EXPECT_EQ(expected, Line2(f));
    EXPECT_EQ(c.colour, f.lblLast->GetFont().color);
    EXPECT_EQ(c.char0After, run->counterSettings.char0);
    EXPECT_EQ(c.char1After, run->counterSettings.char1);
    form.reset();
  }
}

TEST_F(CountMessage, SpeakersOwnBirthdayUsesHerWordForHerself) {
  TfrmCount& f = Run({.now = Tokyo(2026, 9, 6), .startNumber = 5, .secondsSinceLast = 60, .char0 = 2, .char1 = 0});
  EXPECT_EQ(std::string("今日は|") + AppellationTable[0][0] + "| の誕生日ですよ。", Line2(f));
  EXPECT_EQ("通算で|5|回目の起動ですよ。", Line1(f));
}

// The headless text metric makes every byte 8 pixels wide at 16 pixels.
TEST_F(CountMessage, TailsStayAttachedToTheirValues) {
  TfrmCount& f = Run({.now = kDecember, .startNumber = 123, .secondsSinceLast = 3600});
  EXPECT_EQ(243, f.lblCount->Left());
  EXPECT_EQ(243 + 3 * 8 + (295 - 243 - 5 * 8), f.lblChar1B->Left());  // design gap kept
  EXPECT_EQ(243 + 5 * 8 + (335 - 243 - 10 * 8), f.lblChar1D->Left());
  EXPECT_EQ(115, f.lblChar1A->Top());
  EXPECT_EQ(139, f.lblChar1C->Top());
}

TEST_F(CountMessage, FirstStartCentresLineOneAndHidesLineTwo) {
  TfrmCount& f = Run({.now = kDecember});
  EXPECT_EQ("今回が|初めて|の起動ですぅ。", Line1(f));
  EXPECT_EQ("(hidden)", Line2(f));
  EXPECT_FALSE(f.lblLast->Visible());
  EXPECT_FALSE(f.lblChar1D->Visible());
  for (ui::Label* label : {f.lblChar1A, f.lblCount, f.lblChar1B}) EXPECT_EQ(127, label->Top());
  EXPECT_EQ(295 + 8, f.lblChar1B->Left());  // "初めて" is one byte wider than "99999"
}

TEST_F(CountMessage, AnniversaryKeepsTheDesignGaps) {
  TfrmCount& f = Run({.now = kDecember, .startNumber = 5, .secondsSinceLast = 60, .firstStart = Tokyo(2024, 12, 10)});
  const int gapBefore = 243 - (187 + 6 * 8), gapAfter = 335 - (243 + 10 * 8);
  EXPECT_EQ(187 + 21 * 8 + gapBefore, f.lblLast->Left());
  EXPECT_EQ(f.lblLast->Left() + 3 * 8 + gapAfter, f.lblChar1D->Left());
}

TEST_F(CountMessage, CharacterPairChoice) {
  struct Case {
    const char* what;
    int rand, second, char0, char1, wave;
    const char* usewave;
    int char0After, char1After;
  } cases[] = {
      {"off", 0, 37, 2, 5, 0, "1111111111", 2, 5},
      {"unknown mode is off", 7, 37, 2, 5, 0, "1111111111", 2, 5},
      {"both random", 1, 37, 2, 5, 0, "1111111111", 7, 3},
      {"both random, same index moves the second on", 1, 33, 2, 5, 0, "1111111111", 3, 4},
      {"both random at 59 seconds", 1, 59, 2, 5, 0, "1111111111", 9, 5},
      {"voice stepping forward below 5 seconds", 1, 2, 0, 0, 1, "0001000000", 3, 0},
      {"voice stepping by eight from 5 seconds", 1, 17, 0, 0, 1, "0000010000", 5, 1},
      {"stepping never reaches an enabled index and stops where it began", 1, 17, 0, 0, 1, "0010000000", 7, 1},
      {"voices off: no stepping", 1, 2, 0, 0, 0, "0001000000", 2, 0},
      {"no voice enabled: no stepping", 1, 2, 0, 0, 1, "0000000000", 2, 0},
      {"short usewave ends the stepping", 1, 8, 0, 0, 1, "01", 8, 0},
      {"right only", 2, 37, 2, 5, 0, "1111111111", 2, 7},
      {"right only, equal to the left moves on", 2, 32, 2, 5, 0, "1111111111", 2, 3},
      {"right only, 9 wraps to 0", 2, 39, 9, 5, 0, "1111111111", 9, 0},
      {"one of the two, even second swaps", 3, 36, 2, 5, 0, "1111111111", 5, 2},
      {"one of the two, odd second keeps", 3, 37, 2, 5, 0, "1111111111", 2, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreSetting("wave", c.wave);
    StoreSetting("usewave", std::string(c.usewave));
    // 1 January is never a birthday, so the pair stays as chosen.
    TfrmCount& f =
        Run({.now = Tokyo(2027, 1, 1, 10, 0, c.second), .char0 = c.char0, .char1 = c.char1, .rand = c.rand});
    EXPECT_EQ(c.char0After, run->counterSettings.char0);
    EXPECT_EQ(c.char1After, run->counterSettings.char1);
    // The lower bubble is spoken by the second character of the pair chosen for this start.
    EXPECT_EQ(std::string("今回が|初めて|の起動") + Roster[c.char1After].ending, Line1(f));
    form.reset();
  }
}

TEST_F(CountMessage, ThePairIsNeverSaved) {
  Run({.now = Tokyo(2027, 1, 1, 10, 0, 37), .char0 = 2, .char1 = 5, .rand = 1});
  platform::RegistryKey key("\\Software\\Zorve\\M2K-COUNTER", false);
  int32_t stored = -1;
  ASSERT_TRUE(key.ReadInteger("char0", stored));
  EXPECT_EQ(2, stored);
}

}  // namespace
