// The second character's count message in the lower bubble, and the choice of the pair of
// characters for this start.
#include <string>

#include "counter/Untcount.h"
#include "data/history.h"
#include "data/roster.h"

namespace {

struct SpecialDay {
  int month;
  int day;
  ui::Color colour;
  const char* name;
  const char* suffix;
};

constexpr ui::Color kHolidayGreen = 32512;  // red 0, green 127, blue 0

const SpecialDay SpecialDays[] = {
    {1, 1, kHolidayGreen, "元旦", ""},
    {2, 14, kHolidayGreen, "バレンタインデー", ""},
    {3, 14, kHolidayGreen, "ホワイトデー", ""},
    {4, 1, kHolidayGreen, "エイプリルフール", ""},
    {7, 7, kHolidayGreen, "七夕", ""},
    {12, 24, kHolidayGreen, "クリスマス・イヴ", ""},
    {12, 25, kHolidayGreen, "クリスマス", ""},
    {12, 31, kHolidayGreen, "大晦日", ""},
    {-1, 0, 0, "", ""},
};

// 100, 200, ..., 900, 1000, 2000, ...: one non-zero digit followed only by zeros.
bool IsRoundNumber(uint32_t n) {
  if (n < 100) return false;
  while (n % 10 == 0) n /= 10;
  return n < 10;
}

std::string ElapsedText(int64_t d) {
  using std::to_string;
  if (d >= 864000) return to_string(d / 86400) + "日";
  if (d >= 86400) {
    const int64_t hours = (d % 86400) / 3600;
    return to_string(d / 86400) + "日" + (hours > 0 ? "と" + to_string(hours) + "時間" : "");
  }
  if (d >= 3600) {
    const int64_t minutes = (d / 60) % 60;
    return to_string(d / 3600) + "時間" + (minutes > 0 ? to_string(minutes) + "分" : "");
  }
  if (d >= 60) return to_string((d / 60) % 60) + "分";
  return std::string();  // under a minute, or the clock was set back
}

void SetColour(ui::Label* label, ui::Color colour) {
  ui::Font font = label->GetFont();
  font.color = colour;
  label->SetFont(font);
}

// Changes a value label's text and moves its tail by the change of width, so the tail stays
// attached to the value.
void SetValueKeepingTail(ui::Label* value, ui::Label* tail, const std::string& text) {
  const int before = value->Width();
  value->SetCaption(text);
  tail->SetLeft(tail->Left() + value->Width() - before);
}

char UsewaveFlag(const CounterSettings& settings, int index) {
  const std::string& flags = settings.usewave;
  return index >= 0 && static_cast<size_t>(index) < flags.size() ? flags[index] : '\0';
}

void ChooseBothAtRandom(CounterSettings& c, int s) {
  c.char0 = s % 10;
  const bool anyVoice = c.usewave.substr(0, 10).find('1') != std::string::npos;
  if (c.wave != 0 && anyVoice) {
    // Looking for a character whose voice is on. Stepping by 8 visits only the indices of one
    // parity, which may all be off; coming back to the start means there is none to find, so
    // the start index stays rather than the search going round for ever.
    const int start = c.char0;
    while (UsewaveFlag(c, c.char0) == '0') {
      c.char0 = s < 5 ? (c.char0 + 1) % 10 : (c.char0 + 8) % 10;
      if (c.char0 == start) break;
    }
  }
  c.char1 = (s / 10) % 10;
  if (c.char1 == c.char0) c.char1 = (c.char1 + 1) % 10;
}

}  // namespace

void TfrmCount::ChooseCharacterPair() {
  CounterSettings& c = frmData.counterSettings;
  const int s = startTm.tm_sec;
  switch (c.rand) {
    case 1:
      ChooseBothAtRandom(c, s);
      break;
    case 2:
      c.char1 = s % 10;
      if (c.char1 == c.char0) c.char1 = (c.char1 + 1) % 10;
      break;
    case 3:
      if (s % 2 == 0) std::swap(c.char0, c.char1);
      break;
    default:
      break;
  }
}

bool TfrmCount::ComposeSpecialDay() {
  for (const SpecialDay* row = SpecialDays; row->month != -1; ++row) {
    if (row->month != startTm.tm_mon + 1 || row->day != startTm.tm_mday) continue;
    lblChar1C->SetCaption("今日は");
    SetColour(lblLast, row->colour);
    lblChar1D->SetCaption(std::string(row->suffix) + Roster[frmData.counterSettings.char1].ending);
    SetValueKeepingTail(lblLast, lblChar1D, row->name);
    return true;
  }
  return false;
}

bool TfrmCount::ComposeBirthday() {
  CounterSettings& c = frmData.counterSettings;
  // The last roster entry never has a birthday line.
  for (int i = 0; i < kRosterSize - 1; ++i) {
    if (Roster[i].birthMonth != startTm.tm_mon + 1 || Roster[i].birthDay != startTm.tm_mday) continue;
    if (c.rand != 0) {
      // The birthday girl steps forward; the other one speaks.
      if (i == c.char1) c.char1 = c.char0;
      c.char0 = i;
    }
    const int speaker = c.char1;
    lblChar1C->SetCaption("今日は");
    SetColour(lblLast, Roster[i].colour);
    lblChar1D->SetCaption(std::string(" の誕生日") + Roster[speaker].ending);
    SetValueKeepingTail(lblLast, lblChar1D, AppellationTable[speaker][i]);
    return true;
  }
  return false;
}

void TfrmCount::ComposeCountLine() {
  const uint32_t number = frmData.startHistory.startNumber;
  const int widthBefore = lblCount->Width();
  if (number <= 1) {
    lblChar1A->SetCaption("今回が");
    lblCount->SetCaption("初めて");
    lblChar1B->SetCaption("の起動");
  } else {
    if (IsRoundNumber(number)) lblChar1A->SetCaption("ちょうど");
    lblCount->SetCaption(std::to_string(number));
    lblChar1B->SetCaption("回目の起動");
  }
  lblChar1B->SetCaption(lblChar1B->Caption() + Roster[frmData.counterSettings.char1].ending);
  lblChar1B->SetLeft(lblChar1B->Left() + lblCount->Width() - widthBefore);
}

bool TfrmCount::ComposeAnniversary() {
  const std::tm first = platform::LocalTime(frmData.startHistory.firstStart);
  if (startTm.tm_year <= first.tm_year || startTm.tm_mon != first.tm_mon || startTm.tm_mday != first.tm_mday)
    return false;
  // The gaps between the three labels stay as designed while their texts change.
  const int gapBefore = lblLast->Left() - (lblChar1C->Left() + lblChar1C->Width());
  const int gapAfter = lblChar1D->Left() - (lblLast->Left() + lblLast->Width());
  lblChar1C->SetCaption("初回起動からちょうど ");
  lblLast->SetLeft(lblChar1C->Left() + lblChar1C->Width() + gapBefore);
  lblLast->SetCaption(std::to_string(startTm.tm_year - first.tm_year) + "年");
  lblChar1D->SetCaption(std::string("が経過") + Roster[frmData.counterSettings.char1].pastEnding);
  lblChar1D->SetLeft(lblLast->Left() + lblLast->Width() + gapAfter);
  return true;
}

bool TfrmCount::ComposeElapsedTime() {
  if (frmData.startHistory.lastStart <= 0) return false;
  const int64_t seconds = static_cast<int64_t>(startTime) - frmData.startHistory.lastStart;
  const std::string text = ElapsedText(seconds);
  if (text.empty()) return false;
  lblChar1D->SetCaption(std::string("前に起動") + Roster[frmData.counterSettings.char1].pastEnding);
  SetValueKeepingTail(lblLast, lblChar1D, text);
  return true;
}

void TfrmCount::HideSecondLine() {
  lblChar1C->SetVisible(false);
  lblLast->SetVisible(false);
  lblChar1D->SetVisible(false);
  // Line 1 moves to the middle of the bubble.
  const int shift = (lblChar1C->Top() + lblChar1C->Height() - lblChar1A->Top() - lblChar1A->Height()) / 2;
  for (ui::Label* label : {lblChar1A, lblCount, lblChar1B}) label->SetTop(label->Top() + shift);
}

void TfrmCount::ComposeCounterBubble() {
  bool lineTwoTaken = ComposeSpecialDay();
  if (!lineTwoTaken) lineTwoTaken = ComposeBirthday();
  ComposeCountLine();
  if (!lineTwoTaken) lineTwoTaken = ComposeAnniversary();
  if (!lineTwoTaken) lineTwoTaken = ComposeElapsedTime();
  if (!lineTwoTaken) HideSecondLine();
}
