// The detailed settings dialog TfrmInit on the headless backend: its design, how it fills from
// the settings, the rules between its controls, what OK stores and what Cancel leaves alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "data/Untdata.h"
#include "settings/Untinit.h"
#include "tests/native/native_support.h"
#include "ui/headless/headless.h"
#include "ui/input.h"

namespace {

namespace headless = ui::headless;

class Opener : public ui::Form {
 public:
  Opener() {
    caption = "opener";
    SetClientSize(292, 320);
  }
};

class DetailedSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    native_support::ResetMachine();
    data.LoadSettings();  // the defaults of an empty registry
    data.counterSettings.dirwave = "C:\\Game";
    opener.Show();
  }
  void TearDown() override { native_support::ResetMachine(); }

  // Opens the dialog over the opener, runs what the user does, returns the modal result.
  int Run(std::function<void(TfrmInit&)> user) {
    headless::OnModal<TfrmInit>(std::move(user));
    TfrmInit dialog(opener, data);
    ui::PlaceDialog(opener, dialog);
    return dialog.ShowModal();
  }

  TfrmData data;
  Opener opener;
};

std::string Marks(const TfrmInit& d) {
  std::string marks;
  for (const ui::CheckBox* box : d.chkWaveN) marks += box->Checked() ? '1' : '0';
  return marks;
}

int SelectedWay(const TfrmInit& d) {
  return d.rbtRand1->Checked() ? 1 : d.rbtRand2->Checked() ? 2 : d.rbtRand3->Checked() ? 3 : 0;
}

// ---- the design ----

struct Place {
  const char* name;
  int left, top, width, height;
  const char* parent;
  const char* caption;
};

TEST_F(DetailedSettings, EveryControlStandsWhereTheDesignPutsIt) {
  const Place places[] = {
      {"bevDir", 4, 4, 333, 45, "", nullptr},
      {"bevWave", 4, 56, 333, 161, "", nullptr},
      {"bevCheck", 4, 224, 333, 137, "", nullptr},
      {"bevEdit", 4, 368, 333, 137, "", nullptr},
      {"edtDir", 12, 24, 293, 20, "", nullptr},
      {"bbtDir", 306, 21, 24, 24, "", ""},
      {"chkWave", 12, 64, 117, 13, "", "音声を再生する(&W)"},
      {"gbxWave", 12, 84, 317, 101, "", "再生する音声の選択"},
      {"chkWave0", 8, 20, 97, 13, "gbxWave", nullptr},
      {"chkWave1", 112, 20, 97, 13, "gbxWave", nullptr},
      {"chkWave2", 216, 20, 97, 13, "gbxWave", nullptr},
      {"chkWave3", 8, 40, 97, 13, "gbxWave", nullptr},
      {"chkWave5", 216, 40, 97, 13, "gbxWave", nullptr},
      {"chkWave7", 112, 60, 97, 13, "gbxWave", nullptr},
      {"chkWave9", 8, 80, 97, 13, "gbxWave", nullptr},
      {"chkRepl", 12, 196, 189, 13, "", "Windowsのサウンドを置換する(&S)"},
      {"chkName", 12, 232, 241, 13, "", "キャラクターの名前は呼び名で表示する(&N)"},
      {"chkRand", 12, 252, 277, 13, "", "カウンターのキャラクターはランダムで決定する(&R)"},
      {"gbxRand", 12, 276, 317, 53, "", "ランダムの決定方法"},
      {"rbtRand1", 8, 16, 133, 17, "gbxRand", "左右両方ともランダム"},
      {"rbtRand2", 164, 16, 145, 17, "gbxRand", "右側キャラのみランダム"},
      {"rbtRand3", 8, 32, 145, 17, "gbxRand", "選択した二人のどちらか"},
      {"chkForm", 12, 340, 225, 13, "", "カウンターの可視境界線は表示しない(&L)"},
      {"gbxName", 12, 376, 317, 93, "", "主人公の名前"},
      {"edtName1a", 32, 16, 121, 20, "gbxName", nullptr},
      {"edtName1b", 184, 16, 121, 20, "gbxName", nullptr},
      {"edtName2a", 32, 40, 121, 20, "gbxName", nullptr},
      {"edtName2b", 184, 40, 121, 20, "gbxName", nullptr},
      {"edtName3", 184, 64, 121, 20, "gbxName", nullptr},
      {"bbtDefault", 32, 64, 65, 23, "gbxName", "デフォルト"},
      {"edtTimer", 100, 476, 17, 20, "", nullptr},
      {"updTimer", 117, 476, 15, 20, "", nullptr},
      {"edtDelay", 268, 476, 17, 20, "", nullptr},
      {"updDelay", 285, 476, 15, 20, "", nullptr},
      {"bbtOk", 184, 511, 75, 25, "", "OK"},
      {"bbtCancel", 264, 511, 75, 25, "", "キャンセル"},
  };
  const Place labels[] = {
      {"lblDir", 12, 8, 0, 0, "", "ゲームフォルダの指定(&F)"},
      {"lblName1a", 8, 20, 0, 0, "gbxName", "姓:"},
      {"lblName2a", 160, 20, 0, 0, "gbxName", "名:"},
      {"lblName1b", 8, 44, 0, 0, "gbxName", "かな:"},
      {"lblName3", 120, 68, 0, 0, "gbxName", "ニックネーム:"},
      {"lblTimer", 12, 480, 0, 0, "", "表示時間[秒](&T)"},
      {"lblDelay", 180, 480, 0, 0, "", "遅延時間[秒](&D)"},
  };
  TfrmInit d(opener, data);
  EXPECT_EQ("詳細設定", d.caption);
  EXPECT_EQ(ui::BorderStyle::Dialog, d.borderStyle);
  EXPECT_EQ(340, d.ClientWidth());
  EXPECT_EQ(541, d.ClientHeight());
  EXPECT_EQ("MS UI Gothic", d.font.name);
  EXPECT_EQ(12, d.font.PixelHeight());
  for (const Place& p : places) {
    SCOPED_TRACE(p.name);
    const auto* control = dynamic_cast<const ui::Control*>(d.FindComponent(p.name));
    ASSERT_NE(nullptr, control);
    EXPECT_EQ(p.left, control->Left());
    EXPECT_EQ(p.top, control->Top());
    EXPECT_EQ(p.width, control->Width());
    EXPECT_EQ(p.height, control->Height());
    EXPECT_EQ(std::string(p.parent), control->Parent() ? control->Parent()->Name() : "");
    if (const auto* windowed = dynamic_cast<const ui::WinControl*>(control); windowed && p.caption) {
      EXPECT_EQ(p.caption, windowed->Caption());
    }
  }
  for (const Place& p : labels) {
    SCOPED_TRACE(p.name);
    const auto* label = d.Find<ui::Label>(p.name);
    EXPECT_EQ(p.left, label->Left());
    EXPECT_EQ(p.top, label->Top());
    EXPECT_EQ(std::string(p.parent), label->Parent() ? label->Parent()->Name() : "");
    EXPECT_EQ(p.caption, label->Caption());
  }
  EXPECT_EQ(d.edtDir, d.lblDir->focusControl);
  EXPECT_EQ(d.edtTimer, d.lblTimer->focusControl);
  EXPECT_EQ(d.edtDelay, d.lblDelay->focusControl);
  for (const ui::Label* label : {d.lblTimer, d.lblDelay}) {
    EXPECT_EQ("ＭＳ Ｐゴシック", label->GetFont().name);
    EXPECT_EQ(ui::kBlack, label->GetFont().color);
    EXPECT_TRUE(label->transparent);
  }
  EXPECT_TRUE(d.edtDir->readOnly);
  EXPECT_FALSE(d.edtDir->tabStop);
  EXPECT_EQ(ui::kButtonFace, d.edtDir->color);
  EXPECT_EQ("ゲームフォルダの指定", d.bbtDir->hint);
  EXPECT_EQ(16, d.bbtDir->glyph.width);
  EXPECT_EQ(16, d.bbtDir->glyph.height);
  EXPECT_TRUE(d.bbtDefault->glyph.Empty());
  EXPECT_TRUE(d.bbtOk->isDefault);
  EXPECT_TRUE(d.bbtCancel->isCancel);
  for (const ui::Edit* name : {d.edtName1a, d.edtName1b, d.edtName2a, d.edtName2b, d.edtName3})
    EXPECT_EQ(12, name->maxLength) << name->Name();
  const struct {
    const ui::UpDown* upDown;
    const ui::Edit* box;
    int min, max;
  } times[] = {{d.updTimer, d.edtTimer, 1, 9}, {d.updDelay, d.edtDelay, 0, 9}};
  for (const auto& t : times) {
    SCOPED_TRACE(t.upDown->Name());
    EXPECT_EQ(1, t.box->maxLength);
    EXPECT_EQ(t.box, t.upDown->Associate());
    EXPECT_EQ(t.min, t.upDown->min);
    EXPECT_EQ(t.max, t.upDown->max);
    EXPECT_FALSE(t.upDown->wrap);
  }
}

std::vector<std::string> NamesInTabOrder(const ui::Form& form, const ui::WinControl* container) {
  std::vector<std::string> names;
  for (const ui::WinControl* control : ui::input::TabOrderOf(form, container)) names.push_back(control->Name());
  return names;
}

TEST_F(DetailedSettings, TabOrderFollowsTheDesign) {
  TfrmInit d(opener, data);
  EXPECT_EQ((std::vector<std::string>{"edtDir", "bbtDir", "chkWave", "gbxWave", "chkRepl", "chkName", "chkRand",
                                      "gbxRand", "chkForm", "gbxName", "edtTimer", "updTimer", "edtDelay",
                                      "updDelay", "bbtOk", "bbtCancel"}),
            NamesInTabOrder(d, nullptr));
  EXPECT_EQ((std::vector<std::string>{"chkWave0", "chkWave1", "chkWave2", "chkWave3", "chkWave4", "chkWave5",
                                      "chkWave6", "chkWave7", "chkWave8", "chkWave9"}),
            NamesInTabOrder(d, d.gbxWave));
  EXPECT_EQ((std::vector<std::string>{"rbtRand1", "rbtRand2", "rbtRand3"}), NamesInTabOrder(d, d.gbxRand));
  EXPECT_EQ((std::vector<std::string>{"edtName1a", "edtName1b", "edtName2a", "edtName2b", "edtName3", "bbtDefault"}),
            NamesInTabOrder(d, d.gbxName));
  // The read-only folder box is passed over: the dialog opens on the folder button.
  d.Show();
  EXPECT_EQ(d.bbtDir, headless::Focused(d));
}

// ---- filling, and OK storing back what was filled ----

struct FillCase {
  const char* what;
  int32_t wave;
  const char* usewave;
  int32_t rand;
  const char* marks;   // the ten voice boxes
  bool voicesUsable;   // the voice boxes and chkRepl
  bool randomChecked;
  int selectedWay;     // the radio button selected
  int32_t storedRand;  // by OK without a change
};

TEST_F(DetailedSettings, FillsFromTheSettingsAndOkStoresThemBack) {
  const FillCase cases[] = {
      {"rand 2 stored", 1, "1111111111", 2, "1111111111", true, true, 2, 2},
      {"rand 1 stored", 1, "1111111111", 1, "1111111111", true, true, 1, 1},
      {"rand 3 stored", 1, "1111111111", 3, "1111111111", true, true, 3, 3},
      {"rand 0: ways disabled, the right-only way shown", 1, "1111111111", 0, "1111111111", true, false, 2, 0},
      {"rand 7 kept at load: random on, the right-only way", 1, "1111111111", 7, "1111111111", true, true, 2, 2},
      {"all voices with voices off: marked but disabled", 0, "1111111111", 0, "1111111111", false, false, 2, 0},
      {"a short usewave: the missing places unmarked", 1, "101", 0, "1010000000", true, false, 2, 0},
      {"only \"1\" marks a voice", 1, "1x1 10Y111", 0, "1010100111", true, false, 2, 0},
      {"a longer usewave: the first ten count", 1, "000000000011", 0, "0000000000", true, false, 2, 0},
      {"an empty usewave", 1, "", 0, "0000000000", true, false, 2, 0},
  };
  for (const FillCase& c : cases) {
    SCOPED_TRACE(c.what);
    data.counterSettings.wave = c.wave;
    data.counterSettings.usewave = c.usewave;
    data.counterSettings.rand = c.rand;
    data.counterSettings.repl = 1;
    const int result = Run([&](TfrmInit& d) {
      EXPECT_EQ(c.wave != 0, d.chkWave->Checked());
      EXPECT_EQ(c.marks, Marks(d));
      for (const ui::CheckBox* box : d.chkWaveN) EXPECT_EQ(c.voicesUsable, box->Enabled()) << box->Name();
      EXPECT_EQ(c.voicesUsable, d.chkRepl->Enabled());
      EXPECT_TRUE(d.chkRepl->Checked());
      EXPECT_EQ(c.randomChecked, d.chkRand->Checked());
      EXPECT_EQ(c.selectedWay, SelectedWay(d));
      for (const ui::RadioButton* way : {d.rbtRand1, d.rbtRand2, d.rbtRand3}) EXPECT_EQ(c.randomChecked, way->Enabled());
      headless::PressAlt(d, 'T');  // Enter in a box is the default button's (OK)
      headless::PressKey(d, headless::Key::Enter);
    });
    EXPECT_EQ(ui::mrOk, result);
    EXPECT_EQ(c.marks, data.counterSettings.usewave);
    EXPECT_EQ(c.wave, data.counterSettings.wave);
    EXPECT_EQ(1, data.counterSettings.repl);
    EXPECT_EQ(c.storedRand, data.counterSettings.rand);
  }
}

TEST_F(DetailedSettings, FillsTheOtherControlsAndOkStoresEveryOne) {
  CounterSettings& s = data.counterSettings;
  s.name = 1;
  s.form = 1;
  s.timer = 7;
  s.delay = 3;
  s.name1a = "山田";
  s.name1b = "";
  s.name2a = "やまだ";
  s.name2b = "たろう";
  s.name3 = "タロ";
  s.dirwave = "D:\\ゲーム\\表";
  const CounterSettings before = s;
  Run([](TfrmInit& d) {
    EXPECT_TRUE(d.chkName->Checked());
    EXPECT_TRUE(d.chkForm->Checked());
    EXPECT_EQ(7, d.updTimer->Position());
    EXPECT_EQ(3, d.updDelay->Position());
    const std::pair<const ui::Edit*, const char*> boxes[] = {
        {d.edtDir, "D:\\ゲーム\\表"}, {d.edtTimer, "7"}, {d.edtDelay, "3"},    {d.edtName1a, "山田"},
        {d.edtName1b, ""},            {d.edtName2a, "やまだ"}, {d.edtName2b, "たろう"}, {d.edtName3, "タロ"}};
    for (const auto& [box, text] : boxes) EXPECT_EQ(text, box->Text()) << box->Name();
    headless::Click(*d.bbtOk);
  });
  EXPECT_EQ("", native_support::SettingsDifferences(before, data.counterSettings));

  Run([](TfrmInit& d) {
    headless::Click(*d.chkName);
    headless::Click(*d.chkForm);
    headless::StepUpDown(*d.updTimer, -1);
    headless::StepUpDown(*d.updDelay, +1);
    headless::TypeText(*d.edtName1b, "一郎");
    headless::TypeOver(*d.edtName3, "");
    headless::Click(*d.bbtOk);
  });
  EXPECT_EQ(0, data.counterSettings.name);
  EXPECT_EQ(0, data.counterSettings.form);
  EXPECT_EQ(6, data.counterSettings.timer);
  EXPECT_EQ(4, data.counterSettings.delay);
  EXPECT_EQ("一郎", data.counterSettings.name1b);
  EXPECT_EQ("", data.counterSettings.name3);  // an emptied box is stored empty
  EXPECT_EQ("D:\\ゲーム\\表", data.counterSettings.dirwave);
}

// ---- the rules between the controls ----

TEST_F(DetailedSettings, CheckingRandomAfterRandZeroStoresTheRightOnlyWay) {
  data.counterSettings.rand = 0;
  Run([](TfrmInit& d) {
    headless::Click(*d.chkRand);
    EXPECT_TRUE(d.rbtRand2->Checked());
    EXPECT_TRUE(d.rbtRand2->Enabled());
    headless::Click(*d.bbtOk);
  });
  EXPECT_EQ(2, data.counterSettings.rand);
}

TEST_F(DetailedSettings, TurningRandomOffFallsBackToTheRightOnlyWay) {
  data.counterSettings.rand = 3;
  Run([](TfrmInit& d) {
    ASSERT_TRUE(d.rbtRand3->Checked());
    headless::Click(*d.chkRand);  // off
    EXPECT_EQ(2, SelectedWay(d));
    EXPECT_FALSE(headless::Click(*d.rbtRand1));  // disabled: no choice
    headless::Click(*d.chkRand);  // on again: the right-only way, not the earlier one
    EXPECT_EQ(2, SelectedWay(d));
    headless::Click(*d.rbtRand1);
    headless::Click(*d.bbtOk);
  });
  EXPECT_EQ(1, data.counterSettings.rand);
}

TEST_F(DetailedSettings, DisabledVoiceBoxesKeepTheirMarksAndAreStored) {
  data.counterSettings.wave = 1;
  data.counterSettings.repl = 1;
  data.counterSettings.usewave = "1010101010";
  Run([](TfrmInit& d) {
    headless::Click(*d.chkWave);  // voices off
    EXPECT_FALSE(d.chkWaveN[0]->Enabled());
    EXPECT_FALSE(headless::Click(*d.chkWaveN[1]));
    EXPECT_EQ("1010101010", Marks(d));
    EXPECT_TRUE(d.chkRepl->Checked());
    headless::Click(*d.bbtOk);
  });
  EXPECT_EQ(0, data.counterSettings.wave);
  EXPECT_EQ("1010101010", data.counterSettings.usewave);
  EXPECT_EQ(1, data.counterSettings.repl);  // stored as marked, though disabled
}

TEST_F(DetailedSettings, VoicesWithoutAGameFolderAskFirst) {
  struct Case {
    const char* what;
    bool voices;
    std::string folder;
    ui::MessageResult answer;
    bool asked;
    bool stored;
  } cases[] = {
      {"voices on, no folder, No", true, "", ui::MessageResult::No, true, false},
      {"voices on, no folder, Yes", true, "", ui::MessageResult::Yes, true, true},
      {"voices off, no folder", false, "", ui::MessageResult::No, false, true},
      {"voices on with a folder", true, "C:\\Game", ui::MessageResult::No, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    native_support::ResetMachine();
    data.LoadSettings();
    opener.Show();
    data.counterSettings.wave = c.voices ? 1 : 0;
    data.counterSettings.dirwave = c.folder;
    data.counterSettings.timer = 4;
    const CounterSettings before = data.counterSettings;
    headless::ScriptAnswer(c.answer);
    bool keptOpen = false;
    Run([&](TfrmInit& d) {
      headless::StepUpDown(*d.updTimer, +1);
      headless::Click(*d.bbtOk);
      keptOpen = d.modalResult == ui::mrNone && !d.Closed();
      if (keptOpen) headless::PressKey(d, headless::Key::Escape);
    });
    EXPECT_EQ(c.stored, !keptOpen);
    EXPECT_EQ(c.stored ? 5 : 4, data.counterSettings.timer);
    if (!c.stored) {
      EXPECT_EQ("", native_support::SettingsDifferences(before, data.counterSettings));
    }
    ASSERT_EQ(c.asked ? 1u : 0u, headless::ShownMessages().size());
    if (c.asked) {
      const headless::ShownMessage& m = headless::ShownMessages()[0];
      EXPECT_EQ("詳細設定", m.caption);
      EXPECT_EQ(ui::MessageIcon::Warning, m.icon);
      EXPECT_EQ(ui::MessageButtons::YesNo, m.buttons);
      EXPECT_EQ("音声を再生させる合は、『Marivel2 KORVEN』が\nインストールされているフォルダを指定する必要があります。\n"
                "このまま設定を強行しますか？",
                m.text);
    }
  }
}

TEST_F(DetailedSettings, TheNameStyleSwitchesTheCaptionsAtOnceAndCancelKeepsIt) {
  data.counterSettings.name = 0;
  const int result = Run([this](TfrmInit& d) {
    for (int n = 0; n < 10; ++n) EXPECT_EQ(data.CharacterName(0, n), d.chkWaveN[n]->Caption());
    headless::Click(*d.chkName);
    for (int n = 0; n < 10; ++n) {
      EXPECT_EQ(data.CharacterName(1, n), d.chkWaveN[n]->Caption());
      EXPECT_NE(data.CharacterName(0, n), data.CharacterName(1, n));
    }
    headless::PressKey(d, headless::Key::Escape);
  });
  EXPECT_EQ(ui::mrCancel, result);
  EXPECT_EQ(0, data.counterSettings.name);
}

TEST_F(DetailedSettings, DefaultNamesFillTheBoxesAndCancelStoresNothing) {
  CounterSettings& s = data.counterSettings;
  s.name1a = "山田";
  s.name1b = "花子";
  s.name2a = "やまだ";
  s.name2b = "はなこ";
  s.name3 = "ハナ";
  const CounterSettings before = s;
  Run([](TfrmInit& d) {
    headless::Click(*d.bbtDefault);
    const std::pair<const ui::Edit*, const char*> defaults[] = {
        {d.edtName1a, kDefaultFamilyName},    {d.edtName1b, kDefaultGivenName}, {d.edtName2a, kDefaultFamilyReading},
        {d.edtName2b, kDefaultGivenReading}, {d.edtName3, kDefaultNickname}};
    for (const auto& [box, name] : defaults) EXPECT_EQ(name, box->Text()) << box->Name();
    headless::Click(*d.bbtCancel);
  });
  EXPECT_EQ("", native_support::SettingsDifferences(before, data.counterSettings));

  Run([](TfrmInit& d) {
    headless::Click(*d.bbtDefault);
    headless::Click(*d.bbtOk);
  });
  EXPECT_EQ(kDefaultFamilyName, data.counterSettings.name1a);
  EXPECT_EQ(kDefaultNickname, data.counterSettings.name3);
}

TEST_F(DetailedSettings, NameBoxesTakeTwelveBytesAndNeverHalfACharacter) {
  Run([](TfrmInit& d) {
    headless::TypeOver(*d.edtName1a, "あいうえおかき");  // seven full-width characters
    EXPECT_EQ("あいうえおか", d.edtName1a->Text());
    headless::TypeOver(*d.edtName1b, "abcdefghijk");
    headless::TypeText(*d.edtName1b, "あ");  // would end at byte 13
    EXPECT_EQ("abcdefghijk", d.edtName1b->Text());
    headless::TypeText(*d.edtName1b, "lm");  // the 13th byte is refused
    EXPECT_EQ("abcdefghijkl", d.edtName1b->Text());
    headless::Click(*d.bbtOk);
  });
  EXPECT_EQ("あいうえおか", data.counterSettings.name1a);
  EXPECT_EQ("abcdefghijkl", data.counterSettings.name1b);
}

TEST_F(DetailedSettings, TimesStayInTheirRangesAndATypedDigitCountsOnlyWithinThem) {
  struct Case {
    const char* what;
    int32_t timer, delay;
    int timerSteps, delaySteps;
    const char* typedTimer;  // typed over the box after the steps; null: nothing typed
    const char* typedDelay;
    int32_t storedTimer, storedDelay;
  } cases[] = {
      {"up at the top stays", 9, 9, +1, +1, nullptr, nullptr, 9, 9},
      {"down at the bottom stays", 1, 0, -1, -1, nullptr, nullptr, 1, 0},
      {"two up, two down", 5, 0, +2, +2, nullptr, nullptr, 7, 2},
      {"typed digits within the ranges", 5, 5, 0, 0, "8", "0", 8, 0},
      {"a typed 0 is below the display time's range", 5, 5, 0, 0, "0", "9", 5, 9},
      {"a letter is no number", 5, 5, 0, 0, "x", "-", 5, 5},
      {"an emptied box", 5, 5, 0, 0, "", "", 5, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    data.counterSettings.timer = c.timer;
    data.counterSettings.delay = c.delay;
    Run([&](TfrmInit& d) {
      for (int i = 0; i < std::abs(c.timerSteps); ++i) headless::StepUpDown(*d.updTimer, c.timerSteps > 0 ? 1 : -1);
      for (int i = 0; i < std::abs(c.delaySteps); ++i) headless::StepUpDown(*d.updDelay, c.delaySteps > 0 ? 1 : -1);
      if (c.typedTimer) headless::TypeOver(*d.edtTimer, c.typedTimer);
      if (c.typedDelay) headless::TypeOver(*d.edtDelay, c.typedDelay);
      headless::Click(*d.bbtOk);
    });
    EXPECT_EQ(c.storedTimer, data.counterSettings.timer);
    EXPECT_EQ(c.storedDelay, data.counterSettings.delay);
  }
}

TEST_F(DetailedSettings, MnemonicsReachTheirControls) {
  Run([](TfrmInit& d) {
    struct Key {
      char letter;
      const ui::WinControl* focused;
    };
    for (const Key& k : {Key{'F', d.edtDir}, Key{'T', d.edtTimer}, Key{'D', d.edtDelay}}) {
      EXPECT_TRUE(headless::PressAlt(d, k.letter)) << k.letter;
      EXPECT_EQ(k.focused, headless::Focused(d)) << k.letter;
    }
    for (const char letter : {'W', 'S', 'N', 'R', 'L'}) EXPECT_TRUE(headless::PressAlt(d, letter)) << letter;
    EXPECT_TRUE(d.chkWave->Checked());
    EXPECT_TRUE(d.chkName->Checked());
    EXPECT_TRUE(d.chkRand->Checked());
    EXPECT_TRUE(d.chkForm->Checked());
    headless::PressKey(d, headless::Key::Escape);
  });
}

}  // namespace
