// The program entry (run mode, working folder) and the settings main window's OK and Cancel.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/entry.h"
#include "counter/Untcount.h"
#include "data/Untdata.h"
#include "platform/files.h"
#include "platform/native/testing.h"
#include "platform/registry.h"
#include "settings/Untmain.h"
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
const char kCounterTitle[] = "Marivel2起動カウンターKORVEN";
const char kSettingsTitle[] = "Marivel2起動カウンターKORVENの設定";
constexpr int64_t kStartClockMs = 1794268800437LL;  // 2026-11-10 09:00:00.437 in Tokyo

// argv as the C runtime passes it: the program, the arguments, a terminating null.
struct CommandLine {
  explicit CommandLine(const std::vector<const char*>& args) {
    argv.push_back("M2KCOUNT.EXE");
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(nullptr);
  }
  int Argc() const { return static_cast<int>(argv.size()) - 1; }
  std::vector<const char*> argv;
};

struct SwitchCase {
  const char* what;
  std::vector<const char*> args;
  bool counter;
};

const SwitchCase kSwitchCases[] = {
    {"exactly /C", {"/C"}, true},
    {"/C with further arguments", {"/C", "/c", "extra"}, true},
    {"lower case", {"/c"}, false},
    {"longer argument beginning with /C", {"/Cx"}, false},
    {"trailing space", {"/C "}, false},
    {"without the slash", {"C"}, false},
    {"dash instead of slash", {"-C"}, false},
    {"empty argument", {""}, false},
    {"no argument", {}, false},
    {"/C as the second argument", {"/c", "/C"}, false},
};

TEST(CounterSwitch, OnlyAnExactFirstArgumentCounts) {
  for (const SwitchCase& c : kSwitchCases) {
    SCOPED_TRACE(c.what);
    const CommandLine line(c.args);
    EXPECT_EQ(c.counter, IsCounterSwitch(line.Argc(), line.argv.data()));
  }
  const char* const none[] = {nullptr};
  EXPECT_FALSE(IsCounterSwitch(0, none));
}

// A program folder and a different folder to start from, each with files that look like the
// counter's working files.
class ProgramRun : public ::testing::Test {
 protected:
  void SetUp() override {
    native_support::ResetMachine();
    platform::testing::SetClockMilliseconds(kStartClockMs);
    ASSERT_TRUE(programFolder.Made());
    ASSERT_TRUE(startFolder.Made());
    platform::testing::SetProgramFolder(programFolder.Windows());
    for (const TempFolder* folder : {&programFolder, &startFolder})
      for (const char* name : kWorkingFiles) MakeFile(folder->Child(name));
    ASSERT_TRUE(platform::SetCurrentFolder(startFolder.Posix()));
    StoreSetting("timer", 1);
  }
  void TearDown() override { native_support::ResetMachine(); }

  static constexpr const char* kWorkingFiles[] = {"voice.wav", "logo.png", "sheet.TGA", "clip.ogg"};
  TempFolder programFolder, startFolder;
  CurrentFolderGuard guard;
};

TEST_F(ProgramRun, RunModeFollowsTheSwitchAndTheProgramFolderBecomesCurrent) {
  for (const SwitchCase& c : kSwitchCases) {
    SCOPED_TRACE(c.what);
    native_support::ResetMachine();
    StoreSetting("timer", 1);
    ASSERT_TRUE(platform::SetCurrentFolder(startFolder.Posix()));
    ui::Application& app = ui::Application::Instance();

    std::string caption;
    bool counterWindow = false, settingsWindow = false;
    native_support::Probe user(50, [&] {
      ui::Form* main = app.MainForm();
      ASSERT_NE(nullptr, main);
      caption = main->caption;
      counterWindow = dynamic_cast<TfrmCount*>(main) != nullptr;
      auto* settings = dynamic_cast<TfrmMain*>(main);
      settingsWindow = settings != nullptr;
      if (settings) settings->btnCancel->Click();  // the settings run ends only by the user
      user.Stop();
    });
    const int64_t started = ui::headless::Elapsed();
    const CommandLine line(c.args);

    EXPECT_EQ(0, RunProgram(line.Argc(), line.argv.data()));

    EXPECT_EQ(c.counter, counterWindow);
    EXPECT_EQ(!c.counter, settingsWindow);
    EXPECT_EQ(c.counter ? kCounterTitle : kSettingsTitle, caption);
    EXPECT_EQ(kCounterTitle, app.title);
    EXPECT_EQ(c.counter, app.TaskbarWindowHidden());
    // The counter ends by itself within its display time; the settings window when closed.
    const int64_t lasted = ui::headless::Elapsed() - started;
    if (c.counter)
      EXPECT_LE(lasted, 1000);
    else
      EXPECT_EQ(50, lasted);
    EXPECT_EQ(nullptr, app.MainForm());
    EXPECT_TRUE(ui::headless::ShownExceptions().empty());
    EXPECT_EQ(programFolder.Posix(), platform::CurrentFolder());
    // Both runs load the settings; neither saves them here.
    platform::RegistryKey key(kKey, false);
    EXPECT_TRUE(key.ValueExists("starthubexec"));
    EXPECT_FALSE(key.ValueExists("char0"));
  }
}

TEST_F(ProgramRun, CounterCleansOnlyTheProgramFolder) {
  const CommandLine line({"/C"});
  EXPECT_EQ(0, RunProgram(line.Argc(), line.argv.data()));
  EXPECT_EQ(programFolder.Posix(), platform::CurrentFolder());
  for (const char* name : kWorkingFiles) {
    EXPECT_TRUE(Exists(startFolder.Child(name))) << "start folder: " << name;
    EXPECT_FALSE(Exists(programFolder.Child(name))) << "program folder: " << name;
  }
  std::string exec;
  platform::RegistryKey key(kKey, false);
  ASSERT_TRUE(key.ReadText("starthubexec", exec));
  EXPECT_EQ(programFolder.Windows() + "M2KCOUNT.EXE", exec);
}

TEST_F(ProgramRun, DelayedCounterStaysHiddenUntilItsDelayHasPassed) {
  StoreSetting("delay", 3);
  ui::Application& app = ui::Application::Instance();
  const int64_t started = ui::headless::Elapsed();
  int64_t firstVisible = -1;
  bool showFlagAtFirstLook = true;
  // Looks every 70 ms, off the counter's own 100 ms and 3000 ms beats.
  native_support::Probe look(70, [&] {
    ui::Form* main = app.MainForm();
    ASSERT_NE(nullptr, main);
    if (ui::headless::Elapsed() - started == 70) showFlagAtFirstLook = app.showMainForm;
    if (firstVisible < 0 && main->Visible()) firstVisible = ui::headless::Elapsed();
  });
  const CommandLine line({"/C"});
  EXPECT_EQ(0, RunProgram(line.Argc(), line.argv.data()));
  look.Stop();
  EXPECT_FALSE(showFlagAtFirstLook);
  EXPECT_EQ(3010, firstVisible - started);
  // Shown at x.437 s on the clock: one whole second has passed at the 3600 ms tick.
  EXPECT_EQ(3600, ui::headless::Elapsed() - started);
}

// ---- the settings main window's buttons ----

class SettingsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    native_support::ResetMachine();
    platform::testing::SetProgramFolder("C:\\M2K\\");
    ASSERT_TRUE(game.Made());
  }
  void TearDown() override { native_support::ResetMachine(); }
  TempFolder game;
  TfrmData data;
  std::unique_ptr<TfrmData> run;  // the settings window, the application's, goes first (TearDown)
};

TEST_F(SettingsWindow, CancelClosesWithoutSaving) {
  ui::Application& app = ui::Application::Instance();
  app.SetMainForm(std::make_unique<TfrmMain>(data));
  auto* form = dynamic_cast<TfrmMain*>(app.MainForm());
  ASSERT_NE(nullptr, form);
  data.counterSettings.char0 = 4;  // as a dialog would change it
  form->btnCancel->Click();
  EXPECT_TRUE(form->Closed());
  EXPECT_TRUE(app.Terminated());
  EXPECT_TRUE(ui::headless::ShownMessages().empty());
  EXPECT_EQ(2, platform::testing::ValueCount(kKey));
}

TEST_F(SettingsWindow, OkSavesOnlyWhenTheGameFilesArePresent) {
  struct Case {
    int32_t wave;
    bool grp, voice;
    bool saves;
  };
  const Case cases[] = {
      {0, false, false, false}, {0, false, true, false}, {0, true, false, true},
      {1, true, false, false},  {1, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("wave " + std::to_string(c.wave) + (c.grp ? ", grp.pak" : "") + (c.voice ? ", voice.pak" : ""));
    native_support::ResetMachine();
    std::filesystem::remove(game.Child("grp.pak"));
    std::filesystem::remove(game.Child("voice.pak"));
    if (c.grp) MakeFile(game.Child("grp.pak"));
    if (c.voice) MakeFile(game.Child("voice.pak"));
    StoreSetting("dirwave", game.Windows());
    StoreSetting("wave", c.wave);
    ui::Application& app = ui::Application::Instance();
    run = std::make_unique<TfrmData>();  // each case a run of its own
    app.SetMainForm(std::make_unique<TfrmMain>(*run));
    auto* form = dynamic_cast<TfrmMain*>(app.MainForm());
    ASSERT_NE(nullptr, form);
    run->counterSettings.char1 = 7;  // as the character choice would change it

    form->btnOk->Click();

    EXPECT_EQ(c.saves, form->Closed());
    EXPECT_EQ(c.saves, app.Terminated());
    platform::RegistryKey key(kKey, false);
    int32_t char1 = -1;
    if (c.saves) {
      EXPECT_TRUE(ui::headless::ShownMessages().empty());
      EXPECT_EQ(18, platform::testing::ValueCount(kKey));  // sixteen settings and the two start hub values
      EXPECT_TRUE(key.ReadInteger("char1", char1));
      EXPECT_EQ(7, char1);
      continue;
    }
    EXPECT_EQ(4, platform::testing::ValueCount(kKey));  // the two stored here and the start hub values
    EXPECT_FALSE(key.ValueExists("char0"));
    ASSERT_EQ(1u, ui::headless::ShownMessages().size());
    const ui::headless::ShownMessage& message = ui::headless::ShownMessages()[0];
    EXPECT_EQ(kSettingsTitle, message.caption);
    EXPECT_EQ(
        "ゲームのシステムファイルが見つかりません。\n"
        "ゲームが標準インストールされていないか、\n"
        "正しいゲームフォルダが指定されていません。",
        message.text);
    EXPECT_EQ(ui::MessageIcon::Error, message.icon);
    EXPECT_EQ(ui::MessageButtons::Ok, message.buttons);
  }
}

TEST_F(SettingsWindow, OkSucceedsOnceTheMissingArchiveAppears) {
  StoreSetting("dirwave", game.Posix());  // without its backslash
  StoreSetting("wave", 0);
  TfrmMain form(data);
  form.btnOk->Click();
  EXPECT_FALSE(form.Closed());
  MakeFile(game.Child("grp.pak"));
  form.btnOk->Click();
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(1u, ui::headless::ShownMessages().size());
  std::string dirwave;
  platform::RegistryKey key(kKey, false);
  EXPECT_TRUE(key.ReadText("dirwave", dirwave));
  EXPECT_EQ(game.Posix(), dirwave);
}

}  // namespace
