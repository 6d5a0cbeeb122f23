// The voice line in a real counter start, and the replacement of the Windows sounds.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "counter/Untcount.h"
#include "counter/scenario.h"
#include "data/roster.h"
#include "data/sprites.h"
#include "tests/native/native_support.h"

namespace {

using native_support::StoreSetting;

const char kStartKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current";
const char kExitKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current";

// Shift-JIS trail bytes can equal "{", so tokens are looked for whole.
bool HasToken(const std::string& text, const char* token) { return text.find(token) != std::string::npos; }

int TokenCount(const std::string& text, const char* token) {
  int n = 0;
  for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + 1)) ++n;
  return n;
}

bool NamesTheUser(const ScenarioRow& row) {
  for (const char* line : row.lines)
    for (const char* token : NameTokens)
      if (HasToken(line, token)) return true;
  return false;
}

// Lines in use: an empty second line leaves the third unused.
int LinesInUse(const ScenarioRow& row) {
  if (!*row.lines[1]) return 1;
  return *row.lines[2] ? 3 : 2;
}

struct Moment {
  int hour, second;
};

class VoiceRun : public native_support::ProgramTest {
 protected:
  void TearDown() override {
    form.reset();
    ProgramTest::TearDown();
  }
  static std::string Default(const char* key) {
    platform::RegistryKey k(key, false);
    std::string value = "(none)";
    k.ReadText("", value);
    return value;
  }
  static void SetDefault(const char* key, const std::string& value) {
    platform::RegistryKey k(key, true);
    k.WriteDefault(value);
  }
  // One counter start as the application makes it: the window is created, shown when the
  // message loop starts (the voices and the Windows sounds follow its showing), and closed.
  void RunCounter() {
    native_support::StartCounter(run, form);
    form->Show();
    form.reset();
  }
  // Starts the counter with the settings `configure` stores at a moment of an ordinary Tuesday,
  // hour by hour, until the line it chose is `wanted`; the window stays up.
  std::optional<Moment> StartWhere(const std::function<void()>& configure,
                                   const std::function<bool(const ScenarioRow&)>& wanted) {
    for (int hour = 0; hour < 24; ++hour)
      for (int second = 0; second < 60; second += 7) {
        StartAt(configure, {hour, second});
        if (wanted(ScenarioTables[run->counterSettings.char0][form->chosenLine])) return Moment{hour, second};
      }
    form.reset();
    return std::nullopt;
  }
  void StartAt(const std::function<void()>& configure, Moment moment) {
    form.reset();
    native_support::ResetMachine();
    std::filesystem::remove(work.Child("STARTHUB"));  // every start the first
    configure();
    native_support::SetLocalClock(2026, 11, 10, moment.hour, moment.second);
    native_support::StartCounter(run, form);
  }
  std::vector<ui::Label*> UpperLabels() const { return {form->lblChar0A, form->lblChar0B, form->lblChar0C}; }

  std::unique_ptr<TfrmData> run;
  std::unique_ptr<TfrmCount> form;  // after `run`, which it uses
};

TEST_F(VoiceRun, TheUpperBubbleShowsTheLinesInOrderFromTheirDesignPlaces) {
  struct Case {
    int lines;
    int top[3];
    bool shown[3];
  };
  const Case cases[] = {
      {3, {18, 42, 66}, {true, true, true}},
      {2, {25, 57, 66}, {true, true, false}},  // the bubble's height in thirds
      {1, {42, 42, 66}, {true, false, false}},  // at the second line's height
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.lines) + " lines");
    const auto moment = StartWhere([] { StoreSetting("char0", 0); }, [&](const ScenarioRow& row) {
      return LinesInUse(row) == c.lines && !NamesTheUser(row);
    });
    ASSERT_TRUE(moment) << "no such line in the first table";
    const ScenarioRow& row = ScenarioTables[0][form->chosenLine];
    const std::vector<ui::Label*> labels = UpperLabels();
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(labels[i]->Name());
      EXPECT_EQ(row.lines[i], labels[i]->Caption());
      EXPECT_EQ(124, labels[i]->Left());
      EXPECT_EQ(c.top[i], labels[i]->Top());
      EXPECT_EQ(c.shown[i], labels[i]->Visible());
      EXPECT_EQ(12, labels[i]->GetFont().size);
    }
  }
}

TEST_F(VoiceRun, ALineOfFiftyBytesMakesAllThreeUpperFontsOnePointSmaller) {
  // A short line that names the user once by the given name, made longer by a longer name.
  const char* given = NameTokens[2];
  auto namedOnceInShortLines = [&](const ScenarioRow& row) {
    int tokens = 0;
    for (const char* token : NameTokens) tokens += TokenCount(row.lines[0], token);
    const bool namedOnce = tokens == 1 && TokenCount(row.lines[0], given) == 1 &&
                           !HasToken(std::string(row.lines[1]) + row.lines[2], "{");
    return namedOnce && std::strlen(row.lines[0]) < 40 && std::strlen(row.lines[1]) < 40 &&
           std::strlen(row.lines[2]) < 40;
  };
  const auto moment = StartWhere([] { StoreSetting("char0", 0); }, namedOnceInShortLines);
  ASSERT_TRUE(moment) << "no such line in the first table";
  const size_t rest = std::strlen(ScenarioTables[0][form->chosenLine].lines[0]) - std::strlen(given);
  for (size_t length : {49u, 50u, 60u}) {
    SCOPED_TRACE(length);
    StartAt(
        [&] {
          StoreSetting("char0", 0);
          StoreSetting("name1b", std::string(length - rest, 'x'));
        },
        *moment);
    ASSERT_EQ(length, form->lblChar0A->Caption().size());
    for (ui::Label* label : UpperLabels()) EXPECT_EQ(length >= 50 ? 11 : 12, label->GetFont().size) << label->Name();
  }
}

TEST_F(VoiceRun, APartnerLineBringsItsPartnerAfterTheLowerBubbleWasComposed) {
  // Character 4 has lines with her sister, character 5, at 16:00; the seconds choose both the
  // right-hand character (that of the lower bubble) and the line.
  int partnerLines = 0, otherLines = 0;
  for (int second = 0; second < 60; ++second) {
    SCOPED_TRACE(second);
    StartAt(
        [] {
          StoreSetting("char0", 4);
          StoreSetting("char1", 0);
          StoreSetting("rand", 2);
        },
        {16, second});
    const int paired = second % 10 == 4 ? 5 : second % 10;
    const bool partnerLine = ScenarioTables[4][form->chosenLine].kind == 4;
    const int secondCharacter = partnerLine ? 5 : paired;
    EXPECT_EQ(4, run->counterSettings.char0);
    EXPECT_EQ(secondCharacter, run->counterSettings.char1);
    EXPECT_EQ(Roster[secondCharacter].defaultPose, run->ChipState[1].pose);
    // The first start: "の起動" and the ending of the character the seconds paired.
    EXPECT_EQ(std::string("の起動") + Roster[paired].ending, form->lblChar1B->Caption());
    if (partnerLine && paired != 5) ++partnerLines;
    if (!partnerLine) ++otherLines;
  }
  EXPECT_GT(partnerLines, 0);
  EXPECT_GT(otherLines, 0);
}

TEST_F(VoiceRun, TheSecondFigureStandsInHerRestingPose) {
  struct Case {
    int char1, pose;
  };
  const Case cases[] = {{9, 4}, {7, 0}, {0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.char1);
    StartAt(
        [&] {
          StoreSetting("char0", 3);
          StoreSetting("char1", c.char1);
        },
        {12, 0});
    EXPECT_EQ(c.char1, run->counterSettings.char1);
    EXPECT_EQ(0, run->ChipState[1].variant);
    EXPECT_EQ(c.pose, run->ChipState[1].pose);
  }
}

TEST_F(VoiceRun, NothingMatchingTheHourGivesTheEndRowAndKeepsThePair) {
  StoreSetting("char0", 3);
  StoreSetting("char1", 7);
  native_support::SetLocalClock(2026, 11, 10, 3, 0);  // she sleeps at 03:00
  native_support::StartCounter(run, form);
  const ScenarioRow* table = ScenarioTables[3];
  int end = 0;
  while (table[end].kind != -1) ++end;
  EXPECT_EQ(end, form->chosenLine);
  EXPECT_EQ(7, run->counterSettings.char1);
  EXPECT_EQ(0, run->ChipState[0].pose);
  EXPECT_EQ(Roster[7].defaultPose, run->ChipState[1].pose);
  // The shown text is the end row's with the default names put in: no token is left.
  for (ui::Label* label : {form->lblChar0A, form->lblChar0B, form->lblChar0C})
    for (const char* token : NameTokens) EXPECT_FALSE(HasToken(label->Caption(), token));
  EXPECT_FALSE(form->preferNamelessVoice);
}

TEST_F(VoiceRun, TheRestingCharacterStandsInHerPoseWhileSpeaking) {
  StoreSetting("char0", 9);
  native_support::SetLocalClock(2026, 11, 10, 12, 0);
  native_support::StartCounter(run, form);
  EXPECT_EQ(4, run->ChipState[0].pose);
}

TEST_F(VoiceRun, ChangedNamesAskForTheNamelessVoiceWhereTheLineNamesTheUser) {
  auto configure = [] {
    StoreSetting("name1b", std::string("湊"));
    StoreSetting("name3", std::string("ゆうき"));
  };
  const ScenarioRow* table = ScenarioTables[0];
  bool named = false, unnamed = false;
  for (int hour = 0; hour < 24; ++hour)
    for (int second = 0; second < 20; ++second) {
      native_support::ResetMachine();
      configure();
      native_support::SetLocalClock(2026, 11, 10, hour, second);
      native_support::StartCounter(run, form);
      const ScenarioRow& row = table[form->chosenLine];
      const std::string text = std::string(row.lines[0]) + row.lines[1] + row.lines[2];
      const bool changedToken =
          HasToken(text, NameTokens[2]) || HasToken(text, NameTokens[4]) || HasToken(text, NameTokens[5]);
      bool anyToken = false;
      for (const char* token : NameTokens) anyToken = anyToken || HasToken(text, token);
      if (changedToken) {
        named = true;
        EXPECT_TRUE(form->preferNamelessVoice) << text;
      } else if (!anyToken) {
        unnamed = true;
        EXPECT_FALSE(form->preferNamelessVoice) << text;
      }
      form.reset();
    }
  EXPECT_TRUE(named && unnamed) << "the first table should have lines with and without the user's name";
}

TEST_F(VoiceRun, SoundsAreReplacedAndTheUsersOwnComeBackWhenTurnedOff) {
  SetDefault(kStartKey, "C:\\Windows\\Media\\logon.wav");
  SetDefault(kExitKey, "C:\\Windows\\Media\\exit.wav");
  StoreSetting("wave", 1);
  StoreSetting("repl", 1);
  native_support::SetLocalClock(2026, 11, 10, 12, 0);
  RunCounter();
  EXPECT_EQ("", Default(kStartKey));
  // No archive here: without a WAV for the exit clip the exit sound stays as it was.
  EXPECT_EQ("C:\\Windows\\Media\\exit.wav", Default(kExitKey));

  // A second replacing run keeps the user's sounds, not the voices' values.
  RunCounter();
  StoreSetting("repl", 0);
  RunCounter();
  EXPECT_EQ("C:\\Windows\\Media\\logon.wav", Default(kStartKey));
  EXPECT_EQ("C:\\Windows\\Media\\exit.wav", Default(kExitKey));
  platform::RegistryKey settings("\\Software\\Zorve\\M2K-COUNTER", false);
  EXPECT_FALSE(settings.ValueExists("keptSystemStart"));
  EXPECT_FALSE(settings.ValueExists("keptSystemExit"));
}

// How a sound's default value may stand before the voices replace it.
enum class Original { Absent, Text, ExpandableText };

void SetOriginal(const char* key, Original original, const std::string& text) {
  platform::RegistryKey k(key, true);
  if (original == Original::Text) k.WriteDefault(text);
  if (original == Original::ExpandableText) k.WriteExpandableText("", text);
}

TEST_F(VoiceRun, TheUsersSoundsComeBackAsTheyWereAbsentOrExpandable) {
  struct Case {
    const char* what;
    Original original;
    platform::ValueType type;
    std::string text;  // what an earlier version, which knows only the text, finds kept
  };
  const Case cases[] = {
      {"no default value", Original::Absent, platform::ValueType::Missing, ""},
      {"REG_SZ", Original::Text, platform::ValueType::Text, "C:\\Windows\\Media\\mine.wav"},
      {"REG_EXPAND_SZ", Original::ExpandableText, platform::ValueType::ExpandableText,
       "%SystemRoot%\\media\\Windows Logon.wav"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    native_support::ResetMachine();
    SetOriginal(kStartKey, c.original, c.text);
    SetOriginal(kExitKey, c.original, c.text);
    StoreSetting("wave", 1);
    StoreSetting("repl", 1);
    // Two replacing runs: the second finds the voices' own values in the keys.
    for (int run = 0; run < 2; ++run) {
      RunCounter();
    }
    {
      platform::RegistryKey settings("\\Software\\Zorve\\M2K-COUNTER", false);
      std::string kept = "(none)";
      EXPECT_EQ(platform::ValueType::Text, settings.TypeOf("keptSystemStart"));
      settings.ReadText("keptSystemStart", kept);
      EXPECT_EQ(c.text, kept);
    }
    StoreSetting("repl", 0);
    RunCounter();
    for (const char* key : {kStartKey, kExitKey}) {
      SCOPED_TRACE(key);
      platform::RegistryKey sound(key, false);
      EXPECT_EQ(c.type, sound.TypeOf(""));
      EXPECT_EQ(c.original == Original::Absent ? "(none)" : c.text, Default(key));
    }
    platform::RegistryKey settings("\\Software\\Zorve\\M2K-COUNTER", false);
    for (const char* kept : {"keptSystemStart", "keptSystemStartType", "keptSystemExit", "keptSystemExitType"})
      EXPECT_FALSE(settings.ValueExists(kept)) << kept;
  }
}

TEST_F(VoiceRun, WhatAnEarlierVersionKeptOrLeftIsUnderstood) {
  // Kept by an earlier version: the text alone, given back as REG_SZ.
  SetDefault(kStartKey, "");
  StoreSetting("keptSystemStart", std::string("C:\\Windows\\Media\\logon.wav"));
  // An earlier version gave back the text that this one kept, and left the type: the user's
  // sound stays as it is now.
  SetDefault(kExitKey, "C:\\Users\\me\\chosen.wav");
  StoreSetting("keptSystemExitType", std::string("absent"));
  StoreSetting("wave", 1);
  StoreSetting("repl", 0);
  RunCounter();
  EXPECT_EQ("C:\\Windows\\Media\\logon.wav", Default(kStartKey));
  EXPECT_EQ(platform::ValueType::Text, platform::RegistryKey(kStartKey, false).TypeOf(""));
  EXPECT_EQ("C:\\Users\\me\\chosen.wav", Default(kExitKey));
  platform::RegistryKey settings("\\Software\\Zorve\\M2K-COUNTER", false);
  EXPECT_FALSE(settings.ValueExists("keptSystemStart"));
  EXPECT_FALSE(settings.ValueExists("keptSystemExitType"));
}

TEST_F(VoiceRun, SoundKeysAreNeverCreated) {
  StoreSetting("wave", 1);
  StoreSetting("repl", 1);
  RunCounter();
  EXPECT_FALSE(platform::testing::KeyExists(kStartKey));
  EXPECT_FALSE(platform::testing::KeyExists(kExitKey));
}

TEST_F(VoiceRun, ReplacementNeedsVoicesOn) {
  SetDefault(kStartKey, "mine.wav");
  SetDefault(kExitKey, "my-exit.wav");
  StoreSetting("wave", 0);
  StoreSetting("repl", 1);
  RunCounter();
  EXPECT_EQ("mine.wav", Default(kStartKey));
  EXPECT_EQ("my-exit.wav", Default(kExitKey));
  platform::RegistryKey settings("\\Software\\Zorve\\M2K-COUNTER", false);
  EXPECT_FALSE(settings.ValueExists("keptSystemStart"));
  EXPECT_FALSE(settings.ValueExists("keptSystemExit"));
}

}  // namespace
