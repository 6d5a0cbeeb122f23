// The counter window TfrmCount on the headless backend, with virtual time.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "counter/Untcount.h"
#include "data/Untdata.h"
#include "platform/files.h"
#include "platform/native/testing.h"
#include "tests/native/native_support.h"
#include "ui/headless/headless.h"
#include "ui/ui.h"

namespace {

using native_support::CurrentFolderGuard;
using native_support::Exists;
using native_support::MakeFile;
using native_support::StoreSetting;
using native_support::TempFolder;

const char kKey[] = "\\Software\\Zorve\\M2K-COUNTER";
// 2026-11-10 00:00:00 UTC, 09:00 in Tokyo: an ordinary day, no holiday and no birthday.
constexpr int64_t kMidnightUtcMs = 1794268800000LL;
constexpr int kStartMs = 437;                        // a start inside a second, not on its edge
constexpr ui::Color kDotColor = 15854079;

class CounterWindow : public native_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    SetStartMs(kStartMs);
  }

  static void SetStartMs(int ms) { platform::testing::SetClockMilliseconds(kMidnightUtcMs + ms); }
  static int64_t Now() { return ui::headless::Elapsed(); }
};

// ---- design ----

TEST_F(CounterWindow, WindowIsAFixedStayOnTopBoxCentredOnTheScreen) {
  TfrmCount form(data);
  EXPECT_EQ("Marivel2起動カウンターKORVEN", form.caption);
  EXPECT_EQ(600, form.ClientWidth());
  EXPECT_EQ(176, form.ClientHeight());
  EXPECT_TRUE(form.stayOnTop);
  EXPECT_EQ(ui::BorderStyle::Single, form.borderStyle);
  EXPECT_TRUE(form.minimizeBox);
  EXPECT_FALSE(form.maximizeBox);
  EXPECT_EQ(ui::FormPosition::ScreenCenter, form.position);
  EXPECT_EQ("MS UI Gothic", form.font.name);
  EXPECT_EQ(12, form.font.PixelHeight());
  EXPECT_EQ(ui::Charset::ShiftJis, form.font.charset);

  form.Show();
  const ui::Size screen = ui::ScreenSize();
  EXPECT_EQ((screen.width - form.OuterWidth()) / 2, form.Left());
  EXPECT_EQ((screen.height - form.OuterHeight()) / 2, form.Top());
}

TEST_F(CounterWindow, LabelsAreBoldSixteenPixelsAndSizeThemselvesToTheirTexts) {
  // A second start, an hour after the first: both lines of the lower bubble are in use and the
  // lead-ins keep their design texts.
  { TfrmCount first(data); }
  SetStartMs(kStartMs + 3600 * 1000);
  struct Case {
    const char* name;
    int left;  // -1: a tail, which moves with the value before it
    int top;
    const char* designText;  // null: replaced at creation
    ui::Color color;
  };
  const Case cases[] = {
      {"lblChar1A", 187, 115, "通算で", ui::kBlack},
      {"lblCount", 243, 115, nullptr, ui::Rgb(255, 0, 0)},
      {"lblChar1B", -1, 115, nullptr, ui::kBlack},
      {"lblChar1C", 187, 139, "前回は", ui::kBlack},
      {"lblLast", 243, 139, nullptr, ui::Rgb(128, 128, 128)},
      {"lblChar1D", -1, 139, nullptr, ui::kBlack},
  };
  TfrmCount form(data);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ui::Label* label = form.Find<ui::Label>(c.name);
    if (c.left >= 0) {
      EXPECT_EQ(c.left, label->Left());
    }
    EXPECT_EQ(c.top, label->Top());
    EXPECT_TRUE(label->Visible());
    EXPECT_TRUE(label->transparent);
    EXPECT_TRUE(label->GetFont().bold);
    EXPECT_EQ(16, label->GetFont().PixelHeight());
    EXPECT_EQ("MS UI Gothic", label->GetFont().name);
    EXPECT_EQ(c.color, label->GetFont().color);
    // The headless metric: half the pixel height per byte, one line high.
    EXPECT_FALSE(label->Caption().empty());
    EXPECT_EQ(static_cast<int>(label->Caption().size()) * 8, label->Width());
    EXPECT_EQ(16, label->Height());
    if (c.designText) {
      EXPECT_EQ(c.designText, label->Caption());
    }
  }
  EXPECT_EQ(48, form.lblChar1A->Width());  // "通算で": six bytes
  EXPECT_EQ(48, form.lblChar1C->Width());
}

TEST_F(CounterWindow, ImagesAndDotsSitWhereDesigned) {
  struct Case {
    const char* name;
    int left, top, width, height;
  };
  const Case images[] = {
      {"imgCount", 0, 0, 600, 176},   {"imgChar0", -7, 0, 120, 176},  {"imgChar1", 487, 0, 120, 176},
      {"imgMsg1", 171, 108, 325, 56}, {"imgMsg0", 104, 12, 390, 80},
  };
  const Case dots[] = {
      {"shpChar1B", 488, 121, 13, 13},
      {"shpChar0B", 98, 68, 13, 13},
      {"shpChar0C", 94, 72, 9, 9},
      {"shpChar1C", 496, 121, 9, 9},
  };
  TfrmCount form(data);
  for (const Case& c : images) {
    SCOPED_TRACE(c.name);
    const ui::Image* image = form.Find<ui::Image>(c.name);
    EXPECT_EQ(c.left, image->Left());
    EXPECT_EQ(c.top, image->Top());
    EXPECT_EQ(c.width, image->Width());
    EXPECT_EQ(c.height, image->Height());
  }
  EXPECT_EQ(600, form.imgCount->Picture().width);
  EXPECT_EQ(176, form.imgCount->Picture().height);
  for (const Case& c : dots) {
    SCOPED_TRACE(c.name);
    const ui::Shape* dot = form.Find<ui::Shape>(c.name);
    EXPECT_EQ(c.left, dot->Left());
    EXPECT_EQ(c.top, dot->Top());
    EXPECT_EQ(c.width, dot->Width());
    EXPECT_EQ(c.height, dot->Height());
    EXPECT_EQ(ui::ShapeType::Circle, dot->shape);
    EXPECT_EQ(kDotColor, dot->brushColor);
  }
}

TEST_F(CounterWindow, BackdropIsBehindAndSmallDotsInFrontOfTheBubbles) {
  TfrmCount form(data);
  const auto& components = form.Components();
  auto place = [&](const std::string& name) {
    for (size_t i = 0; i < components.size(); ++i)
      if (components[i]->Name() == name) return static_cast<int>(i);
    ADD_FAILURE() << name << " missing";
    return -1;
  };
  EXPECT_EQ(0, place("imgCount"));
  // (behind, in front) where the two overlap or the bubble must cover the figure.
  const std::pair<const char*, const char*> pairs[] = {
      {"imgChar0", "imgMsg0"},    {"imgChar1", "imgMsg1"},    {"imgChar1", "shpChar1B"},
      {"imgChar0", "shpChar0B"},  {"imgMsg1", "shpChar1B"},   {"imgMsg0", "shpChar0B"},
      {"imgMsg0", "lblChar0A"},   {"imgMsg0", "lblChar0B"},   {"imgMsg0", "lblChar0C"},
      {"imgMsg1", "lblChar1A"},   {"imgMsg1", "lblCount"},    {"imgMsg1", "lblChar1B"},
      {"imgMsg1", "lblChar1C"},   {"imgMsg1", "lblLast"},     {"imgMsg1", "lblChar1D"},
      {"shpChar0B", "shpChar0C"}, {"shpChar1B", "shpChar1C"}, {"lblChar1D", "shpChar0C"},
      {"lblChar1D", "shpChar1C"}, {"lblChar0C", "shpChar0C"}, {"imgChar0", "shpChar0C"},
  };
  for (const auto& [behind, front] : pairs) EXPECT_LT(place(behind), place(front)) << behind << " / " << front;
}

TEST_F(CounterWindow, TimersAtCreation) {
  TfrmCount form(data);
  EXPECT_EQ(100, form.timTimer->Interval());
  EXPECT_TRUE(form.timTimer->Enabled());
  EXPECT_EQ(500, form.timNext->Interval());
  EXPECT_FALSE(form.timNext->Enabled());
  EXPECT_FALSE(form.timDelay->Enabled());
}

TEST_F(CounterWindow, FormSettingRemovesTheBorder) {
  struct Case {
    int32_t form;
    bool borderless;
  };
  const Case cases[] = {{0, false}, {1, true}, {-1, true}, {7, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE("form " + std::to_string(c.form));
    StoreSetting("form", c.form);
    TfrmCount form(data);
    EXPECT_EQ(c.borderless ? ui::BorderStyle::None : ui::BorderStyle::Single, form.borderStyle);
    EXPECT_EQ(600, form.ClientWidth());
    EXPECT_EQ(176, form.ClientHeight());
    if (c.borderless) {
      EXPECT_EQ(600, form.OuterWidth());
      EXPECT_EQ(176, form.OuterHeight());
    } else {
      EXPECT_GT(form.OuterWidth(), 600);
      EXPECT_GT(form.OuterHeight(), 176);
    }
  }
}

// ---- creation ----

TEST_F(CounterWindow, CreationTakesTheStartTimeInLocalTime) {
  TfrmCount form(data);
  EXPECT_EQ(static_cast<platform::CTime>(kMidnightUtcMs / 1000), form.startTime);
  // 09:00:00 on Tuesday 10 November 2026 in Tokyo.
  EXPECT_EQ(0, form.startTm.tm_sec);
  EXPECT_EQ(0, form.startTm.tm_min);
  EXPECT_EQ(9, form.startTm.tm_hour);
  EXPECT_EQ(10, form.startTm.tm_mday);
  EXPECT_EQ(10, form.startTm.tm_mon);
  EXPECT_EQ(126, form.startTm.tm_year);
  EXPECT_EQ(2, form.startTm.tm_wday);
  EXPECT_EQ(313, form.startTm.tm_yday);
  EXPECT_EQ(0, form.startTm.tm_isdst);
}

TEST_F(CounterWindow, CreationGivesTheApplicationTheDataModulesIcon) {
  TfrmCount form(data);
  EXPECT_EQ(&data, &form.frmData);
  EXPECT_FALSE(data.imgIcon->iconResource.empty());
  EXPECT_EQ(data.imgIcon->iconResource, ui::Application::Instance().iconResource);
}

TEST_F(CounterWindow, WithoutAPlayableClipTheSequenceIsOverAtOnce) {
  struct Case {
    const char* what;
    int32_t wave;
    const char* usewave;
  };
  const Case cases[] = {
      {"voices off", 0, "1111111111"},
      {"voices on, clip not available", 1, "1111111111"},
      {"voices on, character muted", 1, "0000000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreSetting("wave", c.wave);
    StoreSetting("usewave", std::string(c.usewave));
    TfrmCount form(data);
    form.Show();  // the sequence starts with the window
    EXPECT_EQ(6, form.voiceStep);
    EXPECT_FALSE(form.preferNamelessVoice);
    EXPECT_TRUE(ui::headless::OpenedMedia().empty());
    EXPECT_EQ(nullptr, ui::headless::PlayingPlayer());
  }
}

// Earlier runs' clips go before this run makes its own: once the window shows, or, when it waits
// for a delay, before the Windows sounds are updated at creation. Sheets and other files stay.
TEST_F(CounterWindow, StaleVoiceFilesAreDeletedBeforeTheRunMakesClipsButNotSpriteSheets) {
  struct Case {
    const char* name;
    bool survives;
  };
  const Case cases[] = {
      {"old.wav", false},  {"OLD2.WAV", false},   {"old.ogg", false}, {"x.Ogg", false},
      {"keep.TGA", true},  {"keep.png", true},    {"keep.txt", true}, {"keep.wav.txt", true},
  };
  for (const int delay : {0, 2}) {
    SCOPED_TRACE(testing::Message() << "delay " << delay);
    StoreSetting("delay", delay);
    for (const Case& c : cases) MakeFile(File(c.name));
    ASSERT_TRUE(platform::SetHidden("keep.TGA", true));
    TfrmCount form(data);
    if (delay == 0) form.Show();
    for (const Case& c : cases) EXPECT_EQ(c.survives, Exists(File(c.name))) << c.name;
    EXPECT_TRUE(platform::IsHidden("keep.TGA"));
    ASSERT_TRUE(platform::SetHidden("keep.TGA", false));
  }
}

TEST_F(CounterWindow, CounterOnlyLoadsTheSettings) {
  struct Case {
    const char* what;
    bool stored;
  };
  const Case cases[] = {{"fresh hive", false}, {"out-of-range values stored", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::testing::ResetRegistry();
    if (c.stored) {
      StoreSetting("char0", 15);
      StoreSetting("timer", 0);
    }
    { TfrmCount form(data); }
    // The two values for the integrated counter environment are the only ones written.
    EXPECT_EQ(c.stored ? 4 : 2, platform::testing::ValueCount(kKey));
    platform::RegistryKey key(kKey, false);
    int32_t value = -100;
    EXPECT_EQ(c.stored, key.ReadInteger("char0", value));
    if (c.stored) {
      EXPECT_EQ(15, value);  // not written back clamped
      EXPECT_TRUE(key.ReadInteger("timer", value));
      EXPECT_EQ(0, value);
    }
    EXPECT_TRUE(key.ValueExists("starthubexec"));
  }
}

// ---- closing by the display timer ----

class CounterClosesAfterDisplayTime
    : public CounterWindow,
      public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(CounterClosesAfterDisplayTime, AtTheFirstTickWithEnoughWholeSeconds) {
  const auto [timer, startMs] = GetParam();
  SetStartMs(startMs);
  StoreSetting("timer", timer);
  ui::Application& app = ui::Application::Instance();
  app.showMainForm = false;  // as the entry leaves it for the counter run

  auto form = std::make_unique<TfrmCount>(data);
  EXPECT_TRUE(app.showMainForm);
  const int64_t created = Now();
  app.SetMainForm(std::move(form));
  app.Run();

  // Ticks come every 100 ms from creation; the whole-second clock must have moved by `timer`.
  int64_t expected = 100;
  while ((startMs + expected) / 1000 < timer) expected += 100;
  const int64_t lasted = Now() - created;
  EXPECT_EQ(expected, lasted);
  EXPECT_GT(lasted, (timer - 1) * 1000);
  EXPECT_LE(lasted, timer * 1000);
  EXPECT_TRUE(app.TaskbarWindowHidden());  // it was shown
  EXPECT_EQ(nullptr, app.MainForm());
}

INSTANTIATE_TEST_SUITE_P(TimerAndStartMillisecond, CounterClosesAfterDisplayTime,
                         ::testing::Combine(::testing::Range(1, 10), ::testing::Values(0, kStartMs, 999)),
                         [](const auto& info) {
                           return "timer" + std::to_string(std::get<0>(info.param)) + "_ms" +
                                  std::to_string(std::get<1>(info.param));
                         });

TEST_F(CounterWindow, DelayedWindowShowsLaterAndMeasuresDisplayTimeFromThen) {
  struct Case {
    int delay, timer, startMs;
  };
  const Case cases[] = {{3, 1, kStartMs}, {3, 2, 0}, {3, 5, 999}, {3, 9, kStartMs}, {1, 9, 0}, {9, 1, 999}};
  for (const Case& c : cases) {
    SCOPED_TRACE("delay " + std::to_string(c.delay) + ", timer " + std::to_string(c.timer) + ", ms " +
                 std::to_string(c.startMs));
    native_support::ResetMachine();
    TfrmData runData;  // each case a fresh run
    SetStartMs(c.startMs);
    StoreSetting("delay", c.delay);
    StoreSetting("timer", c.timer);
    ui::Application& app = ui::Application::Instance();
    app.showMainForm = false;

    auto form = std::make_unique<TfrmCount>(runData);
    const int64_t created = Now();
    const platform::CTime createdTime = form->startTime;
    EXPECT_FALSE(app.showMainForm);
    EXPECT_TRUE(form->timDelay->Enabled());
    EXPECT_EQ(c.delay * 1000, form->timDelay->Interval());
    EXPECT_EQ(0, form->voiceStep);

    int64_t shownAt = -1, closedAt = -1;
    while (closedAt < 0 && Now() - created < 20000) {
      ui::headless::AdvanceTime(10);
      if (shownAt < 0 && form->Visible()) {
        shownAt = Now() - created;
        EXPECT_TRUE(app.TaskbarWindowHidden());
        EXPECT_FALSE(form->timDelay->Enabled());
      }
      if (shownAt < 0) {
        EXPECT_EQ(0, form->voiceStep);
        EXPECT_FALSE(app.TaskbarWindowHidden());
      }
      if (form->Closed()) closedAt = Now() - created;
    }
    EXPECT_EQ(c.delay * 1000, shownAt);
    const platform::CTime shownTime = static_cast<platform::CTime>((kMidnightUtcMs + c.startMs + shownAt) / 1000);
    EXPECT_EQ(shownTime, form->startTime);
    EXPECT_EQ(createdTime + c.delay, form->startTime);  // taken again when shown
    EXPECT_EQ(static_cast<int>(shownTime % 60), form->startTm.tm_sec);
    EXPECT_EQ(6, form->voiceStep);

    int64_t expected = 100;
    while (expected < shownAt || (kMidnightUtcMs + c.startMs + expected) / 1000 - shownTime < c.timer)
      expected += 100;
    EXPECT_EQ(expected, closedAt);
    EXPECT_GT(closedAt - shownAt, (c.timer - 1) * 1000);
  }
}

// ---- the voice sequence ----

class VoiceSequence : public CounterWindow {
 protected:
  void SetUp() override {
    CounterWindow::SetUp();
    StoreSetting("timer", 9);
    form = std::make_unique<TfrmCount>(data);
  }
  void TearDown() override {
    form.reset();
    CounterWindow::TearDown();
  }
  std::unique_ptr<TfrmCount> form;
};

TEST_F(VoiceSequence, CompletionNoticeAdvancesOnlyOnSuccess) {
  using ui::NotifyValue;
  struct Case {
    int32_t stepBefore;
    NotifyValue notice;
    int32_t stepAfter;
    bool pauseStarts;
  };
  const Case cases[] = {
      {0, NotifyValue::Successful, 0, true},  {1, NotifyValue::Successful, 1, true},
      {4, NotifyValue::Successful, 4, true},  {5, NotifyValue::Successful, 5, true},
      {6, NotifyValue::Successful, 6, false}, {3, NotifyValue::Superseded, 3, false},
      {6, NotifyValue::Superseded, 6, false}, {1, NotifyValue::Aborted, 6, false},
      {5, NotifyValue::Aborted, 6, false},    {2, NotifyValue::Failure, 6, false},
      {5, NotifyValue::Failure, 6, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("step " + std::to_string(c.stepBefore) + ", notice " + std::to_string(static_cast<int>(c.notice)));
    form->timNext->SetEnabled(false);
    form->voiceStep = c.stepBefore;
    form->mplWave->Notify(c.notice);  // as the player delivers it
    EXPECT_EQ(c.stepAfter, form->voiceStep);
    EXPECT_EQ(c.pauseStarts, form->timNext->Enabled());
  }
}

TEST_F(VoiceSequence, NextSlotIsAskedFiveHundredMillisecondsAfterASuccessfulClip) {
  for (int32_t step = 1; step <= 5; ++step) {
    SCOPED_TRACE("after clip " + std::to_string(step));
    form->voiceStep = step;
    form->mplWave->Notify(ui::NotifyValue::Successful);
    ui::headless::AdvanceTime(499);
    EXPECT_EQ(step, form->voiceStep);
    EXPECT_TRUE(form->timNext->Enabled());
    ui::headless::AdvanceTime(1);
    // The slot after the fifth does not exist, and no slot holds a clip yet: the sequence ends.
    EXPECT_EQ(6, form->voiceStep);
    EXPECT_FALSE(form->timNext->Enabled());
    ui::headless::AdvanceTime(1000);  // one shot: nothing more happens
    EXPECT_EQ(6, form->voiceStep);
  }
}

TEST_F(VoiceSequence, WindowWaitsForTheLastClipAndItsPause) {
  StoreSetting("timer", 1);
  form.reset();
  form = std::make_unique<TfrmCount>(data);
  const int64_t created = Now();
  form->voiceStep = 5;  // the fifth clip plays long past the display time
  ui::headless::AdvanceTime(3050);
  EXPECT_FALSE(form->Closed());
  form->mplWave->Notify(ui::NotifyValue::Successful);
  ui::headless::AdvanceTime(499);
  EXPECT_FALSE(form->Closed());
  EXPECT_EQ(5, form->voiceStep);
  ui::headless::AdvanceTime(1);  // the pause is over at 3550
  EXPECT_EQ(6, form->voiceStep);
  EXPECT_FALSE(form->Closed());
  ui::headless::AdvanceTime(49);
  EXPECT_FALSE(form->Closed());
  ui::headless::AdvanceTime(1);  // the next close check, at 3600
  EXPECT_TRUE(form->Closed());
  EXPECT_EQ(3600, Now() - created);
}

TEST_F(VoiceSequence, UnsuccessfulNoticeLetsTheWindowCloseSupersededDoesNot) {
  using ui::NotifyValue;
  struct Case {
    NotifyValue notice;
    bool closes;
  };
  const Case cases[] = {{NotifyValue::Aborted, true}, {NotifyValue::Failure, true}, {NotifyValue::Superseded, false}};
  StoreSetting("timer", 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.notice));
    form.reset();
    form = std::make_unique<TfrmCount>(data);
    form->voiceStep = 3;
    ui::headless::AdvanceTime(1550);
    EXPECT_FALSE(form->Closed());
    form->mplWave->Notify(c.notice);
    ui::headless::AdvanceTime(50);
    EXPECT_EQ(c.closes, form->Closed());
    ui::headless::AdvanceTime(2000);
    EXPECT_EQ(c.closes, form->Closed());
  }
}

// ---- closing by the user ----

TEST_F(CounterWindow, UserCloseEndsTheRunAndCleansUp) {
  ui::Application& app = ui::Application::Instance();
  auto owned = std::make_unique<TfrmCount>(data);
  TfrmCount* form = owned.get();
  form->voiceStep = 2;  // still speaking: the display timer would not close it
  app.SetMainForm(std::move(owned));
  const int64_t started = Now();
  native_support::Probe user(1050, [&] {
    ASSERT_EQ(form, app.MainForm());
    // Files of this run, made while the window is up.
    MakeFile(File("clip.ogg"));
    MakeFile(File("sheet.TGA"));
    MakeFile(File("exit.wav"));
    form->Close();
  });
  app.Run();
  user.Stop();
  EXPECT_EQ(1050, Now() - started);
  EXPECT_EQ(nullptr, app.MainForm());
  EXPECT_FALSE(Exists(File("clip.ogg")));
  EXPECT_FALSE(Exists(File("sheet.TGA")));
  EXPECT_TRUE(Exists(File("exit.wav")));
}

// ---- cleanup when the window goes ----

TEST_F(CounterWindow, DestroyDeletesSpriteSheetsOggAndPngButKeepsWav) {
  enum What { AFile, AHiddenFile, AFolder };
  struct Case {
    const char* path;
    What what;
    bool survives;
  };
  // In creation order: folders before their contents.
  const Case cases[] = {
      {"a.TGA", AHiddenFile, false},
      {"b.TGA", AFile, false},
      {"c.tga", AFile, false},
      {"d.Tga", AHiddenFile, false},
      {"e.ogg", AFile, false},
      {"f.OGG", AFile, false},
      {"g.png", AFile, false},
      {"h.PNG", AHiddenFile, false},
      {"keep.wav", AFile, true},
      {"KEEP2.WAV", AFile, true},
      {"mapc070.tg2", AFile, true},
      {"a.tga.bak", AFile, true},
      {"tga", AFile, true},
      {"readme.txt", AFile, true},
      {"x.TGA", AFolder, true},
      {"x.TGA/y.TGA", AFile, false},
      {"x.TGA/keep.txt", AFile, true},
      {"z.TGA", AFolder, false},
      {"z.TGA/w.TGA", AFile, false},
      {"z.TGA/v.tga", AHiddenFile, false},
      {"n.TGA", AFolder, false},
      {"n.TGA/m.tga", AFolder, false},
      {"n.TGA/m.tga/deep.TGA", AFile, false},
      {"sub", AFolder, true},
      {"sub/q.TGA", AFile, true},
      {"sub/q.ogg", AFile, true},
  };
  auto form = std::make_unique<TfrmCount>(data);
  form->Show();  // the files below are this run's, made while the window is up
  for (const Case& c : cases) {
    if (c.what == AFolder) {
      std::filesystem::create_directory(File(c.path));
    } else {
      MakeFile(File(c.path));
      if (c.what == AHiddenFile) {
        ASSERT_TRUE(platform::SetHidden(File(c.path), true)) << c.path;
      }
    }
  }
  form.reset();
  for (const Case& c : cases) EXPECT_EQ(c.survives, Exists(File(c.path))) << c.path;
}

}  // namespace
