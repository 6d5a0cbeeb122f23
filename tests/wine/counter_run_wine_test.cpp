// M2KCOUNT.EXE as a user meets it: started by the Startup shortcut with "/C", or by hand.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/files.h"
#include "platform/registry.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/sjis_calls.h"

namespace {

using wine_test::ProgramRun;

const char kSettingsKey[] = "\\Software\\Zorve\\M2K-COUNTER";
const char kCounterCaption[] = "Marivel2起動カウンターKORVEN";
const char kSettingsCaption[] = "Marivel2起動カウンターKORVENの設定";

class CounterRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::DeleteRegistryTree(kSettingsKey));
  }
  void TearDown() override { platform::DeleteRegistryTree(kSettingsKey); }

  static void Configure(int timer, int delay, int form) {
    platform::RegistryKey key(kSettingsKey, true);
    key.WriteInteger("timer", timer);
    key.WriteInteger("delay", delay);
    key.WriteInteger("form", form);
  }

  static std::string TempFolder(const char* name) {
    char base[MAX_PATH] = {};
    sjis::GetTempPath(MAX_PATH, base);
    std::string folder = std::string(base) + name;
    sjis::CreateDirectory(folder.c_str(), nullptr);
    return folder + "\\";
  }
};

TEST_F(CounterRun, ShowsTheCounterFramedOnTopAndClosesAfterTheDisplayTime) {
  Configure(2, 0, 0);
  ProgramRun run("/C");
  ASSERT_TRUE(run.Started());
  HWND window = run.WaitWindow(kCounterCaption, 10000);
  ASSERT_NE(nullptr, window);

  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(600, client.right);
  EXPECT_EQ(176, client.bottom);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT outer{};
  GetWindowRect(window, &outer);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_NEAR((screenWidth - (outer.right - outer.left)) / 2, outer.left, 1);

  ASSERT_TRUE(run.WaitExit(10000)) << "the counter did not close by itself";
  // The close check needs the clock's second to change twice after the start: more than one
  // second of the process's life on the same clock (its start comes before the counter's).
  EXPECT_GT(run.SecondsLived(), 1.0);
}

TEST_F(CounterRun, AStartAskedToBeMinimisedShowsTheCounterRestored) {
  Configure(3, 0, 0);
  ProgramRun run("/C", "", SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(run.Started());
  HWND window = run.WaitWindow(kCounterCaption, 10000);
  ASSERT_NE(nullptr, window);
  // The window may show iconic for a moment before it is restored.
  const DWORD shownAt = GetTickCount();
  while (IsIconic(window) && GetTickCount() - shownAt < 1500) Sleep(20);
  EXPECT_FALSE(IsIconic(window));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(run.WaitExit(10000));
}

TEST_F(CounterRun, BorderlessWindowIsExactlyTheBackdrop) {
  Configure(1, 0, 1);
  ProgramRun run("/C");
  HWND window = run.WaitWindow(kCounterCaption, 10000);
  ASSERT_NE(nullptr, window);
  RECT outer{};
  GetWindowRect(window, &outer);
  EXPECT_EQ(600, outer.right - outer.left);
  EXPECT_EQ(176, outer.bottom - outer.top);
  EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(run.WaitExit(10000));
}

TEST_F(CounterRun, DelayKeepsTheWindowHiddenThenShowsIt) {
  Configure(1, 2, 0);
  const DWORD start = GetTickCount();
  ProgramRun run("/C");
  HWND window = run.WaitWindow(kCounterCaption, 10000);
  ASSERT_NE(nullptr, window);
  EXPECT_GE(GetTickCount() - start, 1900u);
  EXPECT_TRUE(run.WaitExit(10000));
}

TEST_F(CounterRun, OtherSwitchesOpenTheSettingsWindowAndCountNothing) {
  for (const char* arguments : {"/c", "/Cx", "", "C"}) {
    SCOPED_TRACE(arguments);
    const std::string history = wine_test::BinFolder() + "STARTHUB";
    sjis::DeleteFile(history.c_str());
    ProgramRun run(arguments);
    HWND window = run.WaitWindow(kSettingsCaption, 10000);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(nullptr, run.FindVisibleWindow(kCounterCaption));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitExit(10000));
    EXPECT_FALSE(platform::FileExists(history));
    platform::RegistryKey key(kSettingsKey, false);
    EXPECT_FALSE(key.ValueExists("char0")) << "closing without OK must save nothing";
  }
}

TEST_F(CounterRun, CleansOnlyItsOwnFolderWhateverTheWorkingFolder) {
  Configure(1, 0, 0);
  const std::string foreign = TempFolder("m2k-foreign");
  const char* userFiles[] = {"song.wav", "photo.png", "texture.TGA", "voice.ogg"};
  for (const char* name : userFiles) platform::WriteWholeFile(foreign + name, "user data");
  const std::string own = wine_test::BinFolder();
  for (const char* name : {"stale.ogg", "stale.wav", "sheet.TGA", "shot.png"})
    platform::WriteWholeFile(own + name, "x");
  platform::SetHidden(own + "sheet.TGA", true);

  ProgramRun run("/C", foreign);
  ASSERT_TRUE(run.WaitExit(15000));

  for (const char* name : userFiles) EXPECT_TRUE(platform::FileExists(foreign + name)) << name;
  for (const char* name : {"stale.ogg", "stale.wav", "sheet.TGA", "shot.png"})
    EXPECT_FALSE(platform::FileExists(own + name)) << name;
  for (const char* name : userFiles) platform::RemoveFile(foreign + name);
}

}  // namespace
