// The settings main window TfrmMain on the headless backend: statistics, the three ways of
// choosing a character, the menus, OK and Cancel, the animation and the cleanup at closing.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "data/Untdata.h"
#include "data/sprites.h"
#include "platform/files.h"
#include "platform/native/testing.h"
#include "settings/Untinit.h"
#include "settings/Untmain.h"
#include "tests/common/history_block.h"
#include "tests/native/figure_releases.h"
#include "tests/native/native_support.h"
#include "ui/headless/headless.h"

namespace {

using native_support::CurrentFolderGuard;
using native_support::MakeFile;
using native_support::StoreSetting;
using native_support::TempFolder;
namespace headless = ui::headless;

const char kKey[] = "\\Software\\Zorve\\M2K-COUNTER";
constexpr int64_t kNow = 1794268800;  // 2026-11-10 09:00:00 in Tokyo

// The 64-byte start history block as its file holds it.
std::string HistoryBlock(int64_t firstStart, uint32_t startNumber, int64_t lastStart, uint32_t onLastDay,
                         uint32_t maxPerDay) {
  return test_fixtures::EncodeHistory({.firstStart = static_cast<int32_t>(firstStart),
                                       .startNumber = startNumber,
                                       .lastStart = static_cast<int32_t>(lastStart),
                                       .startsOnLastDay = onLastDay,
                                       .maxStartsPerDay = maxPerDay});
}

class MainWindow : public native_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    platform::testing::SetClockMilliseconds(kNow * 1000 + 250);
    StoreSetting("char0", 0);  // not the first setup
  }

  std::unique_ptr<TfrmMain> Open() {
    auto form = std::make_unique<TfrmMain>(data);
    form->Show();
    return form;
  }

};

// ---- statistics ----

struct StatisticsCase {
  const char* what;
  bool withHistory;
  int64_t firstStart;
  uint32_t startNumber;
  uint32_t maxPerDay;
  const char* days;
  const char* total;
  const char* average;
  const char* maximum;
};

TEST_F(MainWindow, StatisticsFromTheStartHistory) {
  const StatisticsCase cases[] = {
      {"no history", false, 0, 0, 0, "-", "0", "-", "-"},
      {"11 starts, first 2 days minus 60 s ago", true, kNow - 172800 + 60, 11, 3, "2", "10", "5.00", "3"},
      {"11 starts, first exactly 172,800 s ago", true, kNow - 172800, 11, 4, "3", "10", "3.33", "4"},
      {"1,236th start ahead", true, kNow - 86400 * 500, 1236, 1234, "501", "1,235", "2.47", "1,234"},
      {"first start in the future by 86,400 s", true, kNow + 86400, 6, 2, "0", "5", "5.00", "2"},
      {"first start in the future by 172,799 s", true, kNow + 172799, 6, 2, "0", "5", "5.00", "2"},
      {"first start in the future by 172,800 s", true, kNow + 172800, 6, 2, "-1", "5", "5.00", "2"},
      // "#,##0.00" rounds a half away from zero: 1/8 = 0.125, 9/8 = 1.125, 5/8 = 0.625.
      {"1 start over 8 days", true, kNow - 7 * 86400, 2, 1, "8", "1", "0.13", "1"},
      {"9 starts over 8 days", true, kNow - 7 * 86400, 10, 2, "8", "9", "1.13", "2"},
      {"5 starts over 8 days", true, kNow - 7 * 86400, 6, 2, "8", "5", "0.63", "2"},
      {"2 starts over 3 days: 0.666...", true, kNow - 2 * 86400, 3, 1, "3", "2", "0.67", "1"},
  };
  for (const StatisticsCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(work.Child("STARTHUB"));
    if (c.withHistory) MakeFile(work.Child("STARTHUB"), HistoryBlock(c.firstStart, c.startNumber, kNow - 60, 1, c.maxPerDay));
    TfrmMain form(data);
    EXPECT_EQ(c.days, form.lblDiffDay->Caption());
    EXPECT_EQ(c.total, form.lblTotal->Caption());
    EXPECT_EQ(c.average, form.lblDayAve->Caption());
    EXPECT_EQ(c.maximum, form.lblDayMax->Caption());
    if (!c.withHistory) {
      EXPECT_EQ("-", form.lblInit->Caption());
      EXPECT_EQ("-", form.lblLast->Caption());
    }
  }
}

TEST_F(MainWindow, StartTimesReadAsLocalDateAndMinute) {
  // 2007-03-05 09:04:59 and 2026-11-10 08:59:00 in Tokyo.
  MakeFile(work.Child("STARTHUB"), HistoryBlock(1173053099, 3, kNow - 60, 1, 1));
  TfrmMain form(data);
  EXPECT_EQ("2007/03/05 09:04", form.lblInit->Caption());
  EXPECT_EQ("2026/11/10 08:59", form.lblLast->Caption());
}

TEST_F(MainWindow, ElapsedDaysCountWholeDaysNotCalendarDates) {
  // First start at 23:00, the window opened at 08:00 the next morning.
  const int64_t firstStart = kNow - 10 * 3600;
  MakeFile(work.Child("STARTHUB"), HistoryBlock(firstStart, 2, firstStart, 1, 1));
  platform::testing::SetClockMilliseconds((kNow - 3600) * 1000);
  TfrmMain form(data);
  EXPECT_EQ("1", form.lblDiffDay->Caption());
}

TEST_F(MainWindow, NumbersUseTheLocalesSeparators) {
  platform::testing::SetThousandsSeparator(".");
  platform::testing::SetDecimalSeparator(",");
  MakeFile(work.Child("STARTHUB"), HistoryBlock(kNow - 60, 1236, kNow - 60, 1, 1));
  {
    TfrmMain form(data);
    EXPECT_EQ("1.235", form.lblTotal->Caption());
    EXPECT_EQ("1.235,00", form.lblDayAve->Caption());
  }
  MakeFile(work.Child("STARTHUB"), HistoryBlock(kNow - 7 * 86400, 2, kNow - 60, 1, 1));
  TfrmMain form(data);
  EXPECT_EQ("0,13", form.lblDayAve->Caption());
}

TEST_F(MainWindow, TheWindowNeverWritesTheHistory) {
  const std::string block = HistoryBlock(kNow - 86400, 5, kNow - 60, 2, 2);
  MakeFile(work.Child("STARTHUB"), block);
  {
    auto form = Open();
    headless::AdvanceTime(1000);
    form->btnCancel->Click();
  }
  std::string after;
  ASSERT_TRUE(platform::ReadWholeFile("STARTHUB", after));
  EXPECT_EQ(block, after);
}

// ---- the character choice ----

TEST_F(MainWindow, ListsFollowTheSettingsAndAProgramSelectionRaisesNothing) {
  StoreSetting("char0", 3);
  StoreSetting("char1", 3);  // the same character on both sides is allowed
  auto form = Open();
  ASSERT_EQ(10u, form->cbxChar0->Items().size());
  EXPECT_EQ(data.CharacterName(-1, 9), form->cbxChar1->Items()[9]);
  EXPECT_EQ(3, form->cbxChar0->ItemIndex());
  EXPECT_EQ(3, form->cbxChar1->ItemIndex());
  int changes = 0;
  form->cbxChar0->onChange = [&] { ++changes; };
  form->cbxChar0->SetItemIndex(5);
  EXPECT_EQ(0, changes);
}

TEST_F(MainWindow, ChoosingInAListChangesThatSideOnly) {
  auto form = Open();
  ASSERT_TRUE(headless::ChooseItem(*form->cbxChar1, 6));
  EXPECT_EQ(6, data.counterSettings.char1);
  EXPECT_EQ(0, data.counterSettings.char0);
  ASSERT_TRUE(headless::ChooseItem(*form->cbxChar0, 9));
  EXPECT_EQ(9, data.counterSettings.char0);
  EXPECT_EQ(6, data.counterSettings.char1);
}

TEST_F(MainWindow, LeftClicksStepTheCharacterRoundTheRoster) {
  StoreSetting("char1", 4);
  auto form = Open();
  const int expected[10] = {5, 6, 7, 8, 9, 0, 1, 2, 3, 4};
  for (int i = 0; i < 10; ++i) {
    headless::MouseDown(*form->imgChar1, ui::MouseButton::Left, 60, 90);
    headless::MouseUp(*form->imgChar1, ui::MouseButton::Left, 60, 90);
    EXPECT_EQ(expected[i], data.counterSettings.char1) << "click " << i + 1;
    EXPECT_EQ(expected[i], form->cbxChar1->ItemIndex());
  }
  EXPECT_EQ(0, data.counterSettings.char0);
}

TEST_F(MainWindow, OnlyALeftReleaseInsideTheFigureSteps) {
  auto form = Open();
  for (const native_support::FigureRelease& r : native_support::kFigureReleases) {
    SCOPED_TRACE(r.what);
    data.counterSettings.char0 = 2;
    headless::MouseDown(*form->imgChar0, r.button, 10, 10);
    headless::MouseUp(*form->imgChar0, r.button, r.x, r.y);
    EXPECT_EQ(r.steps ? 3 : 2, data.counterSettings.char0);
  }
}

TEST_F(MainWindow, CharacterMenuTicksTheSideThatWasPressed) {
  StoreSetting("char1", 7);
  auto form = Open();
  ASSERT_TRUE(headless::RightClick(*form->imgChar1, 30, 30));
  ASSERT_EQ(form->pumChar, headless::LastPopup());
  const auto& items = form->pumChar->Root().Items();
  ASSERT_EQ(10u, items.size());
  for (int n = 0; n < 10; ++n) {
    EXPECT_EQ("mitChar" + std::to_string(n), items[n]->Name());
    EXPECT_EQ(n == 7, items[n]->Checked()) << n;
    EXPECT_EQ(data.CharacterName(0, n), items[n]->Caption());
  }
  ASSERT_TRUE(headless::ChooseMenuItem(*items[2]));
  EXPECT_EQ(2, data.counterSettings.char1);
  EXPECT_EQ(0, data.counterSettings.char0);
  EXPECT_EQ(2, form->cbxChar1->ItemIndex());

  ASSERT_TRUE(headless::RightClick(*form->imgChar0, 30, 30));
  EXPECT_TRUE(form->pumChar->Root().Items()[0]->Checked());
  ASSERT_TRUE(headless::ChooseMenuItem(*form->pumChar->Root().Items()[5]));
  EXPECT_EQ(5, data.counterSettings.char0);
  EXPECT_EQ(2, data.counterSettings.char1);
}

TEST_F(MainWindow, ShortNamesInTheMenuWhenTheNameStyleAsksForThem) {
  StoreSetting("name", 1);
  auto form = Open();
  headless::RightClick(*form->imgChar0, 1, 1);
  for (int n = 0; n < 10; ++n) {
    EXPECT_EQ(data.CharacterName(1, n), form->pumChar->Root().Items()[n]->Caption());
    EXPECT_NE(data.CharacterName(0, n), data.CharacterName(1, n)) << "the fixture needs distinct names";
  }
  EXPECT_EQ(data.CharacterName(1, 4), form->cbxChar0->Items()[4]);
}

TEST_F(MainWindow, ChoosingTheTickedCharacterRestartsItsCycle) {
  auto form = Open();
  headless::AdvanceTime(400);  // two steps into the cycle
  EXPECT_EQ(2, form->FChipStep0);
  headless::RightClick(*form->imgChar0, 1, 1);
  headless::ChooseMenuItem(*form->pumChar->Root().Items()[0]);  // already the left character
  EXPECT_EQ(2, form->FChipStep0);  // the same character: nothing to reset
  headless::ChooseItem(*form->cbxChar0, 1);
  EXPECT_EQ(0, form->FChipStep0);
  EXPECT_EQ(ChipSequences[1][0], data.ChipState[0].pose);
}

// ---- animation ----

TEST_F(MainWindow, FiguresStepEveryTwoHundredMillisecondsOnceShown) {
  TfrmMain form(data);
  EXPECT_FALSE(form.timChip->Enabled());
  form.Show();
  EXPECT_TRUE(form.timChip->Enabled());
  const int poses[] = {1, 2, 1, 0, 1};  // the 0, 1, 2, 1 cycle from its start
  for (int pose : poses) {
    headless::AdvanceTime(199);
    headless::AdvanceTime(1);
    EXPECT_EQ(pose, data.ChipState[0].pose);
    EXPECT_EQ(pose, data.ChipState[1].pose);
  }
}

TEST_F(MainWindow, FiguresAnimateWhileADialogIsOpen) {
  auto form = Open();
  int posesSeen = 0;
  headless::OnModal<TfrmInit>([&](TfrmInit& dialog) {
    EXPECT_FALSE(headless::FormEnabled(*form));
    const int before = form->FChipStep0;
    headless::AdvanceTime(200);
    posesSeen = form->FChipStep0 != before;
    headless::Click(*dialog.bbtCancel);
  });
  ASSERT_TRUE(headless::ChooseMenuItem(*form->mnuConfig));
  EXPECT_EQ(1, posesSeen);
  EXPECT_TRUE(headless::FormEnabled(*form));
  EXPECT_TRUE(headless::UnscriptedModals().empty());
}

// ---- OK, Cancel, Esc and the first setup ----

TEST_F(MainWindow, EscAndCancelCloseWithoutSaving) {
  for (bool byKey : {true, false}) {
    SCOPED_TRACE(byKey ? "Esc" : "Cancel");
    ui::Application::Instance().Reset();
    auto form = Open();
    data.counterSettings.char1 = 8;
    if (byKey)
      EXPECT_TRUE(headless::PressKey(*form, headless::Key::Escape));
    else
      EXPECT_TRUE(headless::Click(*form->btnCancel));
    EXPECT_TRUE(form->Closed());
    EXPECT_FALSE(platform::RegistryKey(kKey, false).ValueExists("char1"));
  }
}

TEST_F(MainWindow, FirstSetupDisablesCancelButNotTheCloseBox) {
  platform::testing::ResetRegistry();
  auto form = Open();
  EXPECT_FALSE(form->btnCancel->Enabled());
  EXPECT_FALSE(headless::PressKey(*form, headless::Key::Escape));
  EXPECT_FALSE(headless::Click(*form->btnCancel));
  EXPECT_FALSE(form->Closed());
  form->Close();  // the close box
  EXPECT_TRUE(form->Closed());
  EXPECT_FALSE(platform::RegistryKey(kKey, false).ValueExists("char0"));
}

TEST_F(MainWindow, EnterPressesOkWhichSavesWithTheGamePresent) {
  TempFolder game;
  MakeFile(game.Child("grp.pak"));
  StoreSetting("dirwave", game.Windows());
  auto form = Open();
  headless::ChooseItem(*form->cbxChar1, 5);
  form->btnOk->SetFocus();
  EXPECT_TRUE(headless::PressKey(*form, headless::Key::Enter));
  EXPECT_TRUE(form->Closed());
  int32_t char1 = -1;
  EXPECT_TRUE(platform::RegistryKey(kKey, false).ReadInteger("char1", char1));
  EXPECT_EQ(5, char1);
  EXPECT_TRUE(headless::ShownMessages().empty());
}

TEST_F(MainWindow, OkWithoutTheGameShowsTheErrorAndKeepsTheWindow) {
  StoreSetting("dirwave", work.Windows());  // no archives here
  auto form = Open();
  EXPECT_TRUE(headless::PressKey(*form, headless::Key::Enter));
  EXPECT_FALSE(form->Closed());
  ASSERT_EQ(1u, headless::ShownMessages().size());
  EXPECT_EQ("Marivel2起動カウンターKORVENの設定", headless::ShownMessages()[0].caption);
  EXPECT_EQ(ui::MessageIcon::Error, headless::ShownMessages()[0].icon);
  EXPECT_FALSE(platform::RegistryKey(kKey, false).ValueExists("char1"));
}

TEST_F(MainWindow, TabVisitsOkCancelAndTheTwoLists) {
  auto form = Open();
  EXPECT_EQ(form->btnOk, headless::Focused(*form));
  ui::WinControl* expected[] = {form->btnCancel, form->cbxChar0, form->cbxChar1, form->btnOk};
  for (ui::WinControl* control : expected) {
    headless::PressKey(*form, headless::Key::Tab);
    EXPECT_EQ(control, headless::Focused(*form)) << control->Name();
  }
  headless::PressKey(*form, headless::Key::ShiftTab);
  EXPECT_EQ(form->cbxChar1, headless::Focused(*form));
}

// ---- menus ----

TEST_F(MainWindow, MenuBarHoldsTheDesignedItems) {
  auto form = Open();
  const ui::MenuItem& root = form->mnuMain->Root();
  ASSERT_EQ(2u, root.Items().size());
  EXPECT_EQ("機能(&F)", root.Items()[0]->Caption());
  EXPECT_EQ("ヘルプ(&H)", root.Items()[1]->Caption());
  const char* const function[] = {"詳細設定(&C)...", "女の子情報(&D)...", "スタートアップ登録(&S)", "スタートアップ抹消(&D)"};
  ASSERT_EQ(4u, form->mnuFunc->Items().size());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(function[i], form->mnuFunc->Items()[i]->Caption());
  ASSERT_EQ(2u, form->mnuStartup->Items().size());
  EXPECT_EQ("現ユーザーのみ利用(&U)", form->mnuStartupUser->Caption());
  EXPECT_EQ("全てのユーザー利用(&A)", form->mnuStartupComm->Caption());
  const char* const help[] = {"READMEの表示(&R)", "ZORVEのホームページ(&W)", "バージョン情報(&A)..."};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(help[i], form->mnuHelp->Items()[i]->Caption());
}

TEST_F(MainWindow, StartupItemsShowTheFoldersAndTheirShortcuts) {
  TempFolder startup;
  MakeFile(startup.Child("ミルテカ起動カウンター＋(プラス).lnk"));
  struct Case {
    platform::FolderLookup user, common;
    bool userEnabled, commonEnabled, userTicked;
  };
  const Case cases[] = {
      {platform::FolderLookup::Found, platform::FolderLookup::NoFolder, true, false, true},
      {platform::FolderLookup::NoFolder, platform::FolderLookup::NoPath, false, true, false},
      {platform::FolderLookup::NoPath, platform::FolderLookup::Found, true, true, false},
  };
  for (const Case& c : cases) {
    platform::testing::SetSpecialFolder(platform::ShellFolder::Startup, c.user, startup.Posix());
    platform::testing::SetSpecialFolder(platform::ShellFolder::CommonStartup, c.common, work.Posix());
    TfrmMain form(data);
    EXPECT_EQ(c.userEnabled, form.mnuStartupUser->Enabled());
    EXPECT_EQ(c.commonEnabled, form.mnuStartupComm->Enabled());
    EXPECT_EQ(c.userTicked, form.mnuStartupUser->Checked());
    EXPECT_FALSE(form.mnuStartupComm->Checked());
    EXPECT_EQ(c.user == platform::FolderLookup::Found ? startup.Posix() + "\\ミルテカ起動カウンター＋(プラス).lnk" : "",
              form.FStartupLink[0]);
  }
}

TEST_F(MainWindow, ReadmeAndHomePageGoToTheShell) {
  auto form = Open();
  headless::ChooseMenuItem(*form->mnuReadme);
  headless::ChooseMenuItem(*form->mnuWeb);
  const auto& opened = platform::testing::ShellOpened();
  ASSERT_EQ(2u, opened.size());
  EXPECT_EQ(work.Windows() + "README.TXT", opened[0]);
  EXPECT_EQ(kHomePage, opened[1]);
}

TEST_F(MainWindow, DetailedSettingsOpenOverTheWindowAndRefreshTheListsWithTheNewNameStyle) {
  auto form = Open();
  headless::OnModal<TfrmInit>([&](TfrmInit& dialog) {
    EXPECT_EQ(form.get(), dialog.ownerForm);
    EXPECT_FALSE(headless::FormEnabled(*form));
    const ui::Placement p = ui::DialogPlacement(form->Left(), form->Top(), form->OuterWidth(), form->OuterHeight(),
                                                dialog.OuterWidth(), dialog.OuterHeight(), 1024, 768);
    EXPECT_EQ(p.left, dialog.Left());
    EXPECT_EQ(p.top, dialog.Top());
    headless::Click(*dialog.chkName);
    headless::Click(*dialog.bbtOk);
  });
  headless::ChooseMenuItem(*form->mnuConfig);
  EXPECT_TRUE(headless::UnscriptedModals().empty());
  EXPECT_EQ(1, data.counterSettings.name);
  EXPECT_EQ(data.CharacterName(1, 0), form->cbxChar0->Items()[0]);
}

TEST_F(MainWindow, DetailedSettingsChangeNothingSaved) {
  auto form = Open();
  headless::OnModal<TfrmInit>([](TfrmInit& dialog) {
    headless::Click(*dialog.chkForm);
    headless::Click(*dialog.bbtOk);
  });
  headless::ChooseMenuItem(*form->mnuConfig);
  EXPECT_EQ(1, data.counterSettings.form);
  int32_t stored = -1;
  EXPECT_FALSE(platform::RegistryKey(kKey, false).ReadInteger("form", stored));
}

// ---- closing ----

TEST_F(MainWindow, ClosingDeletesTheExtractedSheetsOnly) {
  MakeFile(work.Child("a.TGA"));
  MakeFile(work.Child("b.tga"));
  MakeFile(work.Child("hidden.tga"));
  platform::SetHidden("hidden.tga", true);
  MakeFile(work.Child("mapc070.tg2"));
  MakeFile(work.Child("keep.txt"));
  {
    auto form = Open();
    form->btnCancel->Click();
  }
  EXPECT_FALSE(native_support::Exists(work.Child("a.TGA")));
  EXPECT_FALSE(native_support::Exists(work.Child("b.tga")));
  EXPECT_FALSE(native_support::Exists(work.Child("hidden.tga")));
  EXPECT_TRUE(native_support::Exists(work.Child("mapc070.tg2")));
  EXPECT_TRUE(native_support::Exists(work.Child("keep.txt")));
}

}  // namespace
