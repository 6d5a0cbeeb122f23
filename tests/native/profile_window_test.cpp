// The profile window TfrmGirl on the headless backend: what its panel shows, paging by buttons,
// clicks and the character menu, the walking figure beside the settings window's own, and the
// opening from the settings window's menu.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "data/Untdata.h"
#include "data/roster.h"
#include "data/sprites.h"
#include "platform/native/testing.h"
#include "platform/registry.h"
#include "settings/Untgirl.h"
#include "settings/Untmain.h"
#include "tests/native/figure_releases.h"
#include "tests/native/native_support.h"
#include "tests/common/targa_writer.h"
#include "ui/headless/headless.h"

namespace {

using native_support::MakeFile;
using native_support::StoreSetting;
using native_support::TempFolder;
namespace headless = ui::headless;

constexpr int64_t kNow = 1794268800;  // 2026-11-10 09:00:00 in Tokyo

// A sheet whose three walking poses are painted in three colours, split where the poses'
// rectangles part: columns from `xSplit` on are pose 1, rows from `ySplit` on pose 2.
struct WalkSheet {
  const char* file;
  int width, height, xSplit, ySplit;
  uint32_t pose0, pose1, pose2;
};

// Character 0: poses (0, 1, 106, 174), (106, 2, 106, 174), (4, 183, 106, 174).
constexpr WalkSheet kSheet0{"mapc010.tga", 212, 357, 106, 183, 0xFFE00000, 0xFF00E000, 0xFF0000E0};
// Character 9: poses (3, 3, 82, 174), (88, 4, 82, 174), (5, 185, 82, 174).
constexpr WalkSheet kSheet9{"mapc140.tga", 170, 359, 88, 185, 0xFFE0E000, 0xFF00E0E0, 0xFFE000E0};
// Character 3: poses (4, 1, 92, 172), (105, 0, 92, 172), (5, 176, 92, 172).
constexpr WalkSheet kSheet3{"mapc040.tga", 197, 348, 105, 176, 0xFF808000, 0xFF008080, 0xFF800080};

void WriteSheet(const std::string& path, const WalkSheet& sheet) {
  MakeFile(path, test_fixtures::TargaSheet(sheet.width, sheet.height, [&](int x, int y) {
             return y >= sheet.ySplit ? sheet.pose2 : x >= sheet.xSplit ? sheet.pose1 : sheet.pose0;
           }));
}

// The colour in the middle of a 120 x 176 figure box: the figure's own, whatever the pose.
uint32_t FigureColour(const ui::Image& box) {
  const ui::Bitmap& picture = box.Picture();
  if (picture.width != 120 || picture.height != 176) return 0;
  return picture.At(60, 88);
}

class ProfileWindow : public native_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    platform::testing::SetClockMilliseconds(kNow * 1000 + 250);
    StoreSetting("char0", 3);  // not the first setup; the settings window shows character 3 left
    StoreSetting("char1", 5);
    WriteSheet(work.Child(kSheet0.file), kSheet0);
    WriteSheet(work.Child(kSheet9.file), kSheet9);
    WriteSheet(work.Child(kSheet3.file), kSheet3);
    main = std::make_unique<TfrmMain>(data);
    main->Show();
  }
  void TearDown() override {
    main.reset();
    ProgramTest::TearDown();
  }

  // The profile window made over the settings window and shown, as the menu does without the
  // modal loop.
  std::unique_ptr<TfrmGirl> OpenProfile() {
    auto profile = std::make_unique<TfrmGirl>(*main, data);
    profile->Show();
    return profile;
  }

  std::unique_ptr<TfrmMain> main;
};

// ---- the design ----

TEST_F(ProfileWindow, DesignedAsADialogOfItsOwnColourAndFont) {
  auto profile = OpenProfile();
  EXPECT_EQ("女の子情報", profile->caption);
  EXPECT_EQ(ui::BorderStyle::Dialog, profile->borderStyle);
  EXPECT_EQ(390, profile->ClientWidth());
  EXPECT_EQ(208, profile->ClientHeight());
  EXPECT_EQ(ui::Rgb(254, 215, 227), profile->color);
  EXPECT_EQ("ＭＳ Ｐゴシック", profile->font.name);
  EXPECT_EQ(12, profile->font.PixelHeight());
  EXPECT_EQ(ui::Charset::ShiftJis, profile->font.charset);
  EXPECT_EQ(main.get(), profile->ownerForm);
  EXPECT_EQ(ui::Rgb(242, 100, 127), profile->pnlGirl->color);
  EXPECT_EQ(ui::BevelCut::Lowered, profile->pnlGirl->bevelInner);
  EXPECT_TRUE(profile->pnlGirl->singleBorder);
  EXPECT_EQ(200, profile->timChip->Interval());
  EXPECT_EQ(profile->pumChar, profile->imgChar0->popupMenu);
  EXPECT_FALSE(profile->imgBack->Picture().Empty());
  EXPECT_FALSE(profile->bbtChar0->glyph.Empty());
  EXPECT_FALSE(profile->bbtChar1->glyph.Empty());
  EXPECT_TRUE(profile->bbtChar0->Caption().empty());
  EXPECT_TRUE(profile->bbtChar1->Caption().empty());
  EXPECT_EQ("閉じる", profile->btnClose->Caption());
  EXPECT_TRUE(profile->btnClose->isCancel);
}

TEST_F(ProfileWindow, ComponentsStandWhereTheyWereDesigned) {
  auto profile = OpenProfile();
  struct Place {
    const char* name;
    int left, top, width, height;
  };
  const Place places[] = {
      {"imgBack", 0, 0, 390, 208},     {"imgChar0", 267, 2, 120, 176}, {"pnlGirl", 16, 8, 249, 153},
      {"btnClose", 296, 178, 74, 26},  {"bbtChar0", 4, 168, 134, 36},  {"bbtChar1", 144, 168, 134, 36},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.name);
    const auto* control = profile->Find<ui::Control>(p.name);
    EXPECT_EQ(p.left, control->Left());
    EXPECT_EQ(p.top, control->Top());
    EXPECT_EQ(p.width, control->Width());
    EXPECT_EQ(p.height, control->Height());
  }
  // The artwork is as large as the places it fills.
  EXPECT_EQ(390, profile->imgBack->Picture().width);
  EXPECT_EQ(208, profile->imgBack->Picture().height);
  for (const ui::BitmapButton* button : {profile->bbtChar0, profile->bbtChar1}) {
    EXPECT_EQ(130, button->glyph.width);
    EXPECT_EQ(32, button->glyph.height);
  }
}

TEST_F(ProfileWindow, PanelRowsAreBoldYellowCaptionsBesideBoldWhiteValues) {
  auto profile = OpenProfile();
  struct Row {
    const char* caption;
    const char* value;
    int top;
    const char* text;
    bool shown;
  };
  const Row rows[] = {
      {"lblName0", "lblName1", 8, "名前 :", true},       {"lblBirth0", "lblBirth1", 28, "誕生日 :", true},
      {"lblBlood0", "lblBlood1", 48, "血液型 :", true},   {"lblHeight0", "lblHeight1", 68, "身長 :", true},
      {"lblSize0", "lblSize1", 87, "３サイズ :", true},   {"lblCV0", "lblCV1", 107, "ＣＶ :", true},
      {"lblKumi0", "lblKumi1", 127, "クラス :", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.caption);
    const auto* caption = profile->Find<ui::Label>(row.caption);
    const auto* value = profile->Find<ui::Label>(row.value);
    EXPECT_EQ(row.text, caption->Caption());
    EXPECT_EQ(profile->pnlGirl, caption->Parent());
    EXPECT_EQ(profile->pnlGirl, value->Parent());
    EXPECT_EQ(8, caption->Left());
    EXPECT_EQ(64, value->Left());
    EXPECT_EQ(row.top, caption->Top());
    EXPECT_EQ(row.top, value->Top());
    EXPECT_EQ(row.shown, caption->Visible());
    EXPECT_EQ(row.shown, value->Visible());
    EXPECT_EQ(ui::kYellow, caption->GetFont().color);
    EXPECT_EQ(ui::kWhite, value->GetFont().color);
    for (const ui::Label* label : {caption, value}) {
      EXPECT_TRUE(label->GetFont().bold);
      EXPECT_EQ("ＭＳ Ｐゴシック", label->GetFont().name);
      EXPECT_EQ(12, label->GetFont().PixelHeight());
    }
  }
  EXPECT_EQ("？年？組", profile->lblKumi1->Caption());  // never filled
}

// ---- the profile ----

TEST_F(ProfileWindow, OpensOnCharacterZeroWithEveryValueFilled) {
  auto profile = OpenProfile();
  EXPECT_EQ(0, profile->FIndex);
  EXPECT_EQ("楯岡　ちとせ", profile->lblName1->Caption());  // the space made full-width
  EXPECT_EQ("9月 6日 (乙女座)", profile->lblBirth1->Caption());
  EXPECT_EQ("Ｏ型", profile->lblBlood1->Caption());
  EXPECT_EQ("150cm", profile->lblHeight1->Caption());
  EXPECT_EQ("B74/W55/H77", profile->lblSize1->Caption());
  EXPECT_EQ("片桐 千波", profile->lblCV1->Caption());
}

TEST_F(ProfileWindow, BirthdayAndHeightOfAProfileRow) {
  struct Case {
    int32_t month, day;
    double height;
    const char* birthday;
    const char* heightText;
  };
  const Case cases[] = {
      {1, 20, 150.0, "1月 20日 (山羊座)", "150cm"},
      {1, 21, 152.5, "1月 21日 (水瓶座)", "152.5cm"},
      {2, 19, 152.25, "2月 19日 (水瓶座)", "152.25cm"},
      {2, 20, 150.123456, "2月 20日 (魚座)", "150.123cm"},
      {2, 30, 99.9999999, "2月 30日 (魚座)", "100cm"},  // six significant digits
      {3, 20, 163.0, "3月 20日 (魚座)", "163cm"},
      {3, 21, 163.0, "3月 21日 (牡羊座)", "163cm"},
      {5, 21, 163.0, "5月 21日 (牡牛座)", "163cm"},
      {5, 22, 163.0, "5月 22日 (双子座)", "163cm"},
      {7, 23, 163.0, "7月 23日 (蟹座)", "163cm"},
      {8, 23, 163.0, "8月 23日 (獅子座)", "163cm"},
      {9, 23, 163.0, "9月 23日 (乙女座)", "163cm"},
      {10, 23, 163.0, "10月 23日 (天秤座)", "163cm"},
      {11, 22, 163.0, "11月 22日 (さそり座)", "163cm"},
      {12, 22, 163.0, "12月 22日 (射手座)", "163cm"},
      {12, 23, 163.0, "12月 23日 (山羊座)", "163cm"},
      {12, 31, 163.0, "12月 31日 (山羊座)", "163cm"},
  };
  auto profile = OpenProfile();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.birthday);
    CharacterProfile row = Roster[0];
    row.birthMonth = c.month;
    row.birthDay = c.day;
    row.height = c.height;
    profile->ShowProfileOf(row);
    EXPECT_EQ(c.birthday, profile->lblBirth1->Caption());
    EXPECT_EQ(c.heightText, profile->lblHeight1->Caption());
  }
}

TEST_F(ProfileWindow, PagingForwardShowsEveryRosterRowAndComesBackToTheFirst) {
  struct Shown {
    const char* birthday;
    const char* blood;
    const char* height;
    const char* sizes;
  };
  const Shown shown[] = {
      {"5月 1日 (牡牛座)", "Ａ型", "154cm", "B83/W58/H84"},  {"7月 7日 (蟹座)", "ＡＢ型", "165cm", "B89/W58/H82"},
      {"12月 1日 (射手座)", "ＡＢ型", "156cm", "B84/W56/H82"}, {"6月 16日 (双子座)", "Ｏ型", "152cm", "B76/W56/H78"},
      {"6月 16日 (双子座)", "Ｏ型", "152cm", "B80/W56/H79"}, {"8月 31日 (乙女座)", "Ｂ型", "158cm", "B85/W57/H81"},
      {"2月 30日 (魚座)", "Rh-型", "162cm", "B79/W57/H78"},   {"4月 14日 (牡羊座)", "Ａ型", "157cm", "B84/W54/H80"},
      {"9月 20日 (乙女座)", "AB型", "163cm", "B87/W57/H83"},  {"9月 6日 (乙女座)", "Ｏ型", "150cm", "B74/W55/H77"},
  };
  auto profile = OpenProfile();
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(i + 1);
    ASSERT_TRUE(headless::Click(*profile->bbtChar1));
    EXPECT_EQ((i + 1) % 10, profile->FIndex);
    EXPECT_EQ(shown[i].birthday, profile->lblBirth1->Caption());
    EXPECT_EQ(shown[i].blood, profile->lblBlood1->Caption());
    EXPECT_EQ(shown[i].height, profile->lblHeight1->Caption());
    EXPECT_EQ(shown[i].sizes, profile->lblSize1->Caption());
    EXPECT_EQ(Roster[(i + 1) % 10].voiceActor, profile->lblCV1->Caption());
  }
}

// ---- paging ----

TEST_F(ProfileWindow, PreviousAndNextWrapRoundTheRoster) {
  struct Step {
    const char* what;
    int32_t from;
    bool next;
    int32_t to;
  };
  const Step steps[] = {
      {"previous from the first", 0, false, 9}, {"previous", 9, false, 8},   {"next", 8, true, 9},
      {"next from the last", 9, true, 0},       {"next", 0, true, 1},        {"previous", 1, false, 0},
      {"previous from below the roster", -3, false, 9}, {"next from beyond it", 12, true, 0},
  };
  auto profile = OpenProfile();
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    profile->FIndex = s.from;
    ASSERT_TRUE(headless::Click(s.next ? *profile->bbtChar1 : *profile->bbtChar0));
    EXPECT_EQ(s.to, profile->FIndex);
  }
}

TEST_F(ProfileWindow, PreviousFromTheFirstShowsTheLastWalkingLikeAnyOther) {
  auto profile = OpenProfile();
  EXPECT_EQ(kSheet0.pose0, FigureColour(*profile->imgChar0));
  ASSERT_TRUE(headless::Click(*profile->bbtChar0));
  EXPECT_EQ(9, profile->FIndex);
  EXPECT_EQ("9月 20日 (乙女座)", profile->lblBirth1->Caption());
  EXPECT_EQ("AB型", profile->lblBlood1->Caption());
  // Drawn at once in the first pose of the walk, not in the roster's resting pose 4.
  EXPECT_EQ(kSheet9.pose0, FigureColour(*profile->imgChar0));
  const uint32_t walk[] = {kSheet9.pose1, kSheet9.pose2, kSheet9.pose1, kSheet9.pose0};
  for (uint32_t colour : walk) {
    headless::AdvanceTime(200);
    EXPECT_EQ(colour, FigureColour(*profile->imgChar0));
  }
}

TEST_F(ProfileWindow, TheFirstButtonInTabOrderIsNext) {
  auto profile = OpenProfile();
  EXPECT_EQ(profile->bbtChar1, headless::Focused(*profile));
  ASSERT_TRUE(headless::PressKey(*profile, headless::Key::Enter));  // the focused button
  EXPECT_EQ(1, profile->FIndex);
  headless::PressKey(*profile, headless::Key::Tab);
  EXPECT_EQ(profile->bbtChar0, headless::Focused(*profile));
  headless::PressKey(*profile, headless::Key::Tab);
  EXPECT_EQ(profile->btnClose, headless::Focused(*profile));
}

TEST_F(ProfileWindow, OnlyALeftReleaseInsideTheFigureStepsOn) {
  auto profile = OpenProfile();
  for (const native_support::FigureRelease& r : native_support::kFigureReleases) {
    SCOPED_TRACE(r.what);
    profile->FIndex = 9;
    headless::MouseDown(*profile->imgChar0, r.button, 10, 10);
    headless::MouseUp(*profile->imgChar0, r.button, r.x, r.y);
    EXPECT_EQ(r.steps ? 0 : 9, profile->FIndex);
  }
}

// ---- the character menu ----

TEST_F(ProfileWindow, MenuListsTheTenNamesAndTicksTheCurrentOne) {
  for (int32_t style : {0, 1}) {
    SCOPED_TRACE(style);
    data.counterSettings.name = style;
    auto profile = OpenProfile();
    headless::Click(*profile->bbtChar1);
    headless::Click(*profile->bbtChar1);
    ASSERT_TRUE(headless::RightClick(*profile->imgChar0, 30, 30));
    ASSERT_EQ(profile->pumChar, headless::LastPopup());
    const auto& items = profile->pumChar->Root().Items();
    ASSERT_EQ(10u, items.size());
    for (int n = 0; n < 10; ++n) {
      EXPECT_EQ("mitChar" + std::to_string(n), items[n]->Name());
      EXPECT_EQ(style == 0 ? Roster[n].fullName : Roster[n].shortName, items[n]->Caption()) << n;
      EXPECT_EQ(n == 2, items[n]->Checked()) << n;
      EXPECT_TRUE(items[n]->Enabled());
    }
    ASSERT_TRUE(headless::ChooseMenuItem(*items[7]));
    EXPECT_EQ(7, profile->FIndex);
    EXPECT_EQ("2月 30日 (魚座)", profile->lblBirth1->Caption());
    // Rebuilt at the next press: still ten items, the new character ticked.
    ASSERT_TRUE(headless::RightClick(*profile->imgChar0, 30, 30));
    ASSERT_EQ(10u, profile->pumChar->Root().Items().size());
    for (int n = 0; n < 10; ++n) EXPECT_EQ(n == 7, profile->pumChar->Root().Items()[n]->Checked()) << n;
  }
}

TEST_F(ProfileWindow, ALeftPressRebuildsTheMenuToo) {
  auto profile = OpenProfile();
  headless::MouseDown(*profile->imgChar0, ui::MouseButton::Left, 10, 10);
  headless::MouseUp(*profile->imgChar0, ui::MouseButton::Left, 200, 200);  // released outside
  EXPECT_EQ(0, profile->FIndex);
  ASSERT_EQ(10u, profile->pumChar->Root().Items().size());
  EXPECT_TRUE(profile->pumChar->Root().Items()[0]->Checked());
  EXPECT_EQ(nullptr, headless::LastPopup());  // only the right button opens it
}

TEST_F(ProfileWindow, ChoosingTheTickedCharacterRestartsItsWalkWithoutDrawing) {
  auto profile = OpenProfile();
  headless::AdvanceTime(400);  // two steps: pose 2
  EXPECT_EQ(2, profile->FChipStep);
  EXPECT_EQ(kSheet0.pose2, FigureColour(*profile->imgChar0));
  headless::RightClick(*profile->imgChar0, 1, 1);
  ASSERT_TRUE(headless::ChooseMenuItem(*profile->pumChar->Root().Items()[0]));
  EXPECT_EQ(0, profile->FIndex);
  EXPECT_EQ(0, profile->FChipStep);
  EXPECT_EQ(0, data.ChipState[0].pose);
  EXPECT_EQ(kSheet0.pose2, FigureColour(*profile->imgChar0));  // the next tick draws
  headless::AdvanceTime(200);
  EXPECT_EQ(kSheet0.pose1, FigureColour(*profile->imgChar0));
}

// ---- the walking figure ----

TEST_F(ProfileWindow, FigureWalksEveryTwoHundredMillisecondsOnceShown) {
  TfrmGirl profile(*main, data);
  EXPECT_FALSE(profile.timChip->Enabled());
  EXPECT_EQ(kSheet0.pose0, FigureColour(*profile.imgChar0));  // drawn at creation
  profile.Show();
  EXPECT_TRUE(profile.timChip->Enabled());
  const uint32_t walk[] = {kSheet0.pose1, kSheet0.pose2, kSheet0.pose1, kSheet0.pose0, kSheet0.pose1};
  const int poses[] = {1, 2, 1, 0, 1};
  for (int i = 0; i < 5; ++i) {
    headless::AdvanceTime(199);
    headless::AdvanceTime(1);
    EXPECT_EQ(poses[i], data.ChipState[0].pose) << i;
    EXPECT_EQ(walk[i], FigureColour(*profile.imgChar0)) << i;
  }
}

TEST_F(ProfileWindow, AMissingSheetLeavesTheFigureWhileTheLabelsChange) {
  auto profile = OpenProfile();
  ASSERT_TRUE(headless::Click(*profile->bbtChar1));  // character 1: no sheet here
  EXPECT_EQ("5月 1日 (牡牛座)", profile->lblBirth1->Caption());
  EXPECT_EQ(kSheet0.pose0, FigureColour(*profile->imgChar0));
  headless::AdvanceTime(1000);
  EXPECT_EQ(kSheet0.pose0, FigureColour(*profile->imgChar0));
  EXPECT_TRUE(headless::ShownMessages().empty());
}

// Both windows walk their left figure in data.ChipState slot 0; each draws the pose it has just
// written, so neither disturbs the other's walk.
TEST_F(ProfileWindow, BothWindowsWalkTheirOwnFigureWhileTheProfileIsOpen) {
  headless::AdvanceTime(200);  // the settings window one step ahead: pose 1
  EXPECT_EQ(kSheet3.pose1, FigureColour(*main->imgChar0));
  int checks = 0;
  headless::OnModal<TfrmGirl>([&](TfrmGirl& profile) {
    EXPECT_EQ(kSheet0.pose0, FigureColour(*profile.imgChar0));
    const uint32_t mainWalk[] = {kSheet3.pose2, kSheet3.pose1, kSheet3.pose0, kSheet3.pose1};
    const uint32_t profileWalk[] = {kSheet0.pose1, kSheet0.pose2, kSheet0.pose1, kSheet0.pose0};
    for (int i = 0; i < 4; ++i) {
      headless::AdvanceTime(200);
      EXPECT_EQ(mainWalk[i], FigureColour(*main->imgChar0)) << i;
      EXPECT_EQ(profileWalk[i], FigureColour(*profile.imgChar0)) << i;
      ++checks;
    }
    headless::PressKey(profile, headless::Key::Escape);
  });
  ASSERT_TRUE(headless::ChooseMenuItem(*main->mnuGirl));
  EXPECT_EQ(4, checks);
}

// ---- opening and closing ----

TEST_F(ProfileWindow, TheMenuOpensItModallyOverTheSettingsWindow) {
  // The settings window, 298 x 368 outside, stands centred on the 1024 x 768 screen at
  // (363, 200); the profile window, 396 x 237 outside, goes to 363 + (298 - 396) / 2 = 314 and
  // 200 + (368 - 237) / 2 = 265.
  ASSERT_EQ(363, main->Left());
  ASSERT_EQ(200, main->Top());
  ASSERT_EQ(298, main->OuterWidth());
  ASSERT_EQ(368, main->OuterHeight());
  bool seen = false;
  headless::OnModal<TfrmGirl>([&](TfrmGirl& profile) {
    seen = true;
    EXPECT_TRUE(profile.Visible());
    EXPECT_TRUE(profile.InModal());
    EXPECT_FALSE(headless::FormEnabled(*main));
    EXPECT_EQ(396, profile.OuterWidth());
    EXPECT_EQ(237, profile.OuterHeight());
    EXPECT_EQ(314, profile.Left());
    EXPECT_EQ(265, profile.Top());
    EXPECT_TRUE(profile.timChip->Enabled());
    headless::Click(*profile.btnClose);
  });
  ASSERT_TRUE(headless::ChooseMenuItem(*main->mnuGirl));
  EXPECT_TRUE(seen);
  EXPECT_TRUE(headless::FormEnabled(*main));
  EXPECT_TRUE(headless::UnscriptedModals().empty());
}

TEST_F(ProfileWindow, CloseAndEscEndTheModalWindow) {
  for (bool byKey : {true, false}) {
    SCOPED_TRACE(byKey ? "Esc" : "閉じる");
    int result = -1;
    headless::OnModal<TfrmGirl>([&](TfrmGirl& profile) {
      if (byKey)
        EXPECT_TRUE(headless::PressKey(profile, headless::Key::Escape));
      else
        EXPECT_TRUE(headless::Click(*profile.btnClose));
      EXPECT_TRUE(profile.Closed());
      result = profile.modalResult;
    });
    ASSERT_TRUE(headless::ChooseMenuItem(*main->mnuGirl));
    EXPECT_EQ(ui::mrCancel, result);
    EXPECT_FALSE(main->Closed());
    EXPECT_TRUE(headless::FormEnabled(*main));
  }
  EXPECT_TRUE(headless::UnscriptedModals().empty());
}

TEST_F(ProfileWindow, EveryOpeningStartsAtTheFirstCharacterAndNothingIsKept) {
  const CounterSettings before = data.counterSettings;
  int openings = 0;
  for (int i = 0; i < 2; ++i) {
    headless::OnModal<TfrmGirl>([&](TfrmGirl& profile) {
      EXPECT_EQ(0, profile.FIndex);
      EXPECT_EQ("9月 6日 (乙女座)", profile.lblBirth1->Caption());
      headless::Click(*profile.bbtChar0);
      headless::Click(*profile.bbtChar0);
      headless::RightClick(*profile.imgChar0, 5, 5);
      headless::ChooseMenuItem(*profile.pumChar->Root().Items()[4]);
      ++openings;
      headless::PressKey(profile, headless::Key::Escape);
    });
    ASSERT_TRUE(headless::ChooseMenuItem(*main->mnuGirl));
  }
  EXPECT_EQ(2, openings);
  EXPECT_EQ(before.char0, data.counterSettings.char0);
  EXPECT_EQ(before.char1, data.counterSettings.char1);
  EXPECT_EQ(before.name, data.counterSettings.name);
  // Only what the test stored: the window writes no setting.
  platform::RegistryKey key("\\Software\\Zorve\\M2K-COUNTER", false);
  for (const char* name : {"timer", "name", "wave", "dirwave", "usewave"}) EXPECT_FALSE(key.ValueExists(name)) << name;
}

}  // namespace
