// The Startup registration of M2KCOUNT.EXE under Wine, with the real shell and the real
// DIDAZURA.DLL: the program is started, its menus are worked with the keyboard and its message
// boxes answered through their buttons; the shortcuts are read back through the shell. The
// About box is looked at too. Under Wine a menu can be read only by its own process, so the
// check marks are checked on a settings window of this test process (StartupTicksWine).
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "data/Untdata.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "settings/Untmain.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/shell_support.h"
#include "tests/wine/input_helper.h"
#include "ui/ui.h"
#include "tests/wine/sjis_calls.h"

namespace {

using wine_test::Answer;
using wine_test::MessageText;
using wine_test::PressButton;
using wine_test::PressKey;
using wine_test::ProgramRun;
using wine_test::WaitFor;
using wine_test::WaitMessageBox;
using wine_test::WindowText;

const char kCaption[] = "Marivel2起動カウンターKORVENの設定";
const char kLinkName[] = "ミルテカ起動カウンター＋(プラス).lnk";
const char kQuestionTail[] = "スタートアップへ登録を行います。\nよろしいですか？\n※統合環境利用時は登録しないで下さい";
const char kRemoveQuestion[] = "スタートアップの登録を取り消します。\nよろしいですか？";
const char kStarthubKey[] = "\\Software\\Zorve\\STARTHUB";
constexpr int kYes = IDYES;
constexpr int kNo = IDNO;

// A folder that `make test-wine` names in `variable`, otherwise its place in the build tree as
// seen from the test's own folder, build\windows\bin. Read as UTF-16 and converted: Wine's
// GetEnvironmentVariableA cuts a value with double-byte characters short by their count.
std::string Folder(const wchar_t* variable, const char* fromBin) {
  wchar_t value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(variable, value, MAX_PATH);
  const bool named = length > 0 && length < MAX_PATH;
  std::string folder = named ? sjis::Narrow(value) : wine_test::BinFolder() + fromBin;
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

class StartupWine : public ::testing::Test {
 protected:
  void SetUp() override {
    link[0] = wine_test::StartupFolder(CSIDL_STARTUP) + "\\" + kLinkName;
    link[1] = wine_test::StartupFolder(CSIDL_COMMON_STARTUP) + "\\" + kLinkName;
    ASSERT_NE(kLinkName, link[0].substr(1)) << "Wine names no Startup folder";
    RemoveShortcuts();
    platform::DeleteRegistryTree(kSettingsKey);
    platform::DeleteRegistryTree(kStarthubKey);
    platform::DeleteRegistryTree(kGameKey);
  }
  void TearDown() override {
    // A shortcut left behind would start the counter at the prefix's next start.
    RemoveShortcuts();
    platform::DeleteRegistryTree(kSettingsKey);
    platform::DeleteRegistryTree(kGameKey);
  }
  void RemoveShortcuts() {
    for (const std::string& l : link) {
      sjis::SetFileAttributes(l.c_str(), FILE_ATTRIBUTE_NORMAL);
      sjis::DeleteFile(l.c_str());
      sjis::RemoveDirectory(l.c_str());
    }
  }
  static void NotFirstSetup() { platform::RegistryKey(kSettingsKey, true).WriteInteger("char0", 0); }
  // OK saves only with the game's files found: the demo game, installed.
  void UseDemoGame() {
    ASSERT_TRUE(platform::FileExists(game + "grp.pak")) << "build the demo game first: make demo-game";
    platform::RegistryKey(kGameKey, true).WriteText("InstallDir", game);
  }

  // Opens the settings window of a run, failing the test when it does not come.
  static HWND SettingsWindow(ProgramRun& run) {
    EXPECT_TRUE(run.Started());
    HWND window = run.WaitWindow(kCaption, 15000);
    EXPECT_NE(nullptr, window) << "no settings window";
    return window;
  }
  // Chooses 機能 > スタートアップ登録 > the scope's item with the keyboard, and waits for the
  // box that the program shows.
  static HWND AskToRegister(ProgramRun& run, HWND window, int scope) {
    EXPECT_TRUE(wine_test::OpenMenu(run.ProcessId(), window, 'F'));
    PressKey('S');
    PressKey(static_cast<WORD>(scope == 0 ? 'U' : 'A'));
    return WaitMessageBox(run.ProcessId());
  }
  // 機能 > スタートアップ抹消, the last item of the menu.
  static HWND AskToRemove(ProgramRun& run, HWND window) {
    EXPECT_TRUE(wine_test::OpenMenu(run.ProcessId(), window, 'F'));
    PressKey(VK_UP);
    PressKey(VK_RETURN);
    return WaitMessageBox(run.ProcessId());
  }
  static void ExpectShortcutTo(const std::string& link, const std::string& program) {
    SCOPED_TRACE(link);
    wine_test::Shortcut read;
    ASSERT_TRUE(wine_test::ReadShortcut(link, read));
    EXPECT_EQ(program, read.target);
    EXPECT_EQ("/C", read.arguments);
    EXPECT_EQ(program.substr(0, program.find_last_of('\\')), read.workingFolder);
  }

  std::string link[2];
  const std::string game = Folder(L"M2K_DEMO_GAME", "..\\..\\demo_game\\");
};

TEST_F(StartupWine, RegisterTheUserThenAllUsersThenRemoveBothWithOneYes) {
  NotFirstSetup();
  ProgramRun run("");
  HWND window = SettingsWindow(run);
  ASSERT_NE(nullptr, window);
  const std::string program = wine_test::BinFolder() + "M2KCOUNT.EXE";

  // Each registration makes its scope's shortcut and removes the other's.
  const struct {
    int scope;
    const char* prefix;
    const char* screenshot;
  } registrations[] = {{0, "現ユーザーの", "startup-question"}, {1, "全てのユーザーの", "startup-question-all"}};
  for (const auto& r : registrations) {
    SCOPED_TRACE(r.prefix);
    HWND box = AskToRegister(run, window, r.scope);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(std::string(r.prefix) + kQuestionTail, MessageText(box));
    EXPECT_EQ(kCaption, WindowText(box));
    wine_test::SaveScreenshot(r.screenshot, window, box);
    ASSERT_TRUE(Answer(box, kYes));
    const std::string& made = link[r.scope];
    const std::string& other = link[1 - r.scope];
    ASSERT_TRUE(WaitFor([&] { return platform::FileExists(made) && !platform::FileExists(other); })) << made;
    ExpectShortcutTo(made, program);
    // The name on disk, as the shell shows it.
    EXPECT_NE(std::wstring::npos, wine_test::WideFileNames(made.substr(0, made.size() - std::string(kLinkName).size()))
                                      .find(L"ミルテカ起動カウンター＋(プラス).lnk\n"));
  }

  HWND box = AskToRemove(run, window);
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(kRemoveQuestion, MessageText(box));
  ASSERT_TRUE(Answer(box, kYes));
  EXPECT_TRUE(WaitFor([&] { return !platform::FileExists(link[0]) && !platform::FileExists(link[1]); }));
  EXPECT_EQ(nullptr, WaitMessageBox(run.ProcessId(), 500)) << "nothing more to say";

  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(run.WaitExit(10000));
}

TEST_F(StartupWine, FirstSetupAsksForTheCurrentUserAndNoStillSavesAndCloses) {
  UseDemoGame();
  ProgramRun run("");
  HWND window = SettingsWindow(run);
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(PressButton(window, "OK"));
  HWND box = WaitMessageBox(run.ProcessId());
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(std::string("現ユーザーの") + kQuestionTail, MessageText(box));
  ASSERT_TRUE(Answer(box, kNo));
  ASSERT_TRUE(run.WaitExit(10000)) << "OK did not close the window";
  EXPECT_TRUE(platform::RegistryKey(kSettingsKey, false).ValueExists("char0")) << "the settings were not saved";
  EXPECT_FALSE(platform::FileExists(link[0]));
  EXPECT_FALSE(platform::FileExists(link[1]));
  platform::RemoveFile(wine_test::BinFolder() + "mapc070.tg2");  // the one sheet that stays
}

// A registration that fails says why in an error box, and leaves the shortcuts as they were.
TEST_F(StartupWine, AFailedRegistrationIsReportedAndLeavesTheShortcutsAsTheyWere) {
  NotFirstSetup();
  // A copy of the program in a folder of its own, without DIDAZURA.DLL beside it.
  const std::string alone = wine_test::FreshFolder("m2k-no-didazura");
  ASSERT_TRUE(sjis::CopyFile((wine_test::BinFolder() + "M2KCOUNT.EXE").c_str(), (alone + "M2KCOUNT.EXE").c_str(), FALSE));
  const struct Case {
    const char* what;
    std::string program;  // empty: the one beside the test runner, with the library
    std::function<void()> arrange;
    const char* reason;
    const char* screenshot;
  } cases[] = {
      {"without the library", alone + "M2KCOUNT.EXE", [] {}, "DIDAZURA.DLL", "startup-no-library"},
      // A folder where the current user's shortcut would go: the shell cannot save over it.
      {"a shortcut that cannot be written", "",
       [this] {
         ASSERT_TRUE(sjis::CreateDirectory(link[0].c_str(), nullptr));
         ASSERT_TRUE(platform::WriteWholeFile(link[1], "the all-users registration"));
       },
       "ショートカットを作成できませんでした", "startup-not-written"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RemoveShortcuts();
    c.arrange();
    const bool hadAllUsers = platform::FileExists(link[1]);
    ProgramRun run("", "", -1, c.program);
    HWND window = SettingsWindow(run);
    ASSERT_NE(nullptr, window);
    HWND box = AskToRegister(run, window, 0);
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(Answer(box, kYes));
    HWND error = WaitMessageBox(run.ProcessId());
    ASSERT_NE(nullptr, error);
    EXPECT_NE(std::string::npos, MessageText(error).find(c.reason)) << MessageText(error);
    EXPECT_EQ(kCaption, WindowText(error));
    wine_test::SaveScreenshot(c.screenshot, window, error);
    ASSERT_TRUE(Answer(error, IDOK));
    EXPECT_FALSE(platform::FileExists(link[0]));
    EXPECT_EQ(hadAllUsers, platform::FileExists(link[1])) << "a working registration was removed for a failed one";
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitExit(10000));
  }
  wine_test::RemoveFolder(alone);
}

TEST_F(StartupWine, AboutBoxStandsOverTheSettingsWindowAndClosesWithEscOrOk) {
  NotFirstSetup();
  ProgramRun run("");
  HWND window = SettingsWindow(run);
  ASSERT_NE(nullptr, window);
  for (const char* way : {"Esc", "OK"}) {
    SCOPED_TRACE(way);
    ASSERT_TRUE(wine_test::OpenMenu(run.ProcessId(), window, 'H'));
    PressKey('A');
    HWND about = run.WaitWindow("バージョン情報", 10000);
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(window, GetWindow(about, GW_OWNER));
    RECT client{}, outer{}, opener{};
    GetClientRect(about, &client);
    EXPECT_EQ(279, client.right);
    EXPECT_EQ(93, client.bottom);
    const LONG style = GetWindowLongA(about, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    GetWindowRect(about, &outer);
    GetWindowRect(window, &opener);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    EXPECT_EQ(opener.left + (opener.right - opener.left - width) / 2, outer.left);
    EXPECT_EQ(opener.top + (opener.bottom - opener.top - height) / 2, outer.top);
    EXPECT_FALSE(IsWindowEnabled(window)) << "the box is modal";
    wine_test::SaveScreenshot("about", window, about);
    if (std::string(way) == "Esc") {
      EXPECT_TRUE(wine_test::BringToFront(about));
      PressKey(VK_ESCAPE);
    } else {
      EXPECT_TRUE(PressButton(about, "OK"));
    }
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about) || !IsWindowVisible(about); }));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(window) != FALSE; }));
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(run.WaitExit(10000));
}

// The logon path as a user gets it: the distribution unpacked into a fresh folder
// (`make test-wine` does that), the first setup registers the current user, and the shell
// starts the shortcut itself from another current folder; the start is counted in the start
// history of the program's own folder.
TEST_F(StartupWine, TheDistributionsShortcutCountsTheStartInItsOwnFolder) {
  const std::string dist = Folder(L"M2K_DIST_FOLDER", "..\\..\\e2e\\配布表\\M2KCOUNT\\");
  ASSERT_EQ(L"DIDAZURA.DLL\nM2KCOUNT.EXE\nREADME.TXT\nogog.dll\n", wine_test::WideFileNames(dist))
      << dist << ": unpack the distribution there first (make test-wine)";
  UseDemoGame();
  const std::string program = dist + "M2KCOUNT.EXE";
  {
    ProgramRun run("", "", -1, program);
    HWND window = SettingsWindow(run);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(PressButton(window, "OK"));
    HWND box = WaitMessageBox(run.ProcessId());
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(Answer(box, kYes));
    ASSERT_TRUE(run.WaitExit(10000));
  }
  ASSERT_TRUE(platform::FileExists(link[0]));
  ExpectShortcutTo(link[0], program);
  platform::RegistryKey(kSettingsKey, true).WriteInteger("timer", 1);

  const std::string elsewhere = wine_test::FreshFolder("m2k-elsewhere");
  char saved[MAX_PATH] = {};
  sjis::GetCurrentDirectory(MAX_PATH, saved);
  sjis::SetCurrentDirectory(elsewhere.c_str());
  const std::wstring file = sjis::Wide(link[0]);
  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof start;
  start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;  // a failure must not wait for a click
  start.lpVerb = L"open";
  start.lpFile = file.c_str();
  start.nShow = SW_SHOWNORMAL;
  const bool started = ShellExecuteExW(&start);
  sjis::SetCurrentDirectory(saved);
  ASSERT_TRUE(started) << GetLastError();

  std::string history;
  const std::string historyFile = dist + "STARTHUB";
  EXPECT_TRUE(WaitFor([&] { return platform::ReadWholeFile(historyFile, history) && history.size() == 64; },
                             20000));
  if (start.hProcess) {
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(start.hProcess, 20000)) << "the counter did not close";
    CloseHandle(start.hProcess);
  }
  ASSERT_EQ(64u, history.size());
  const uint32_t startNumber = static_cast<unsigned char>(history[4]) | static_cast<unsigned char>(history[5]) << 8;
  EXPECT_EQ(2u, startNumber) << "one start counted";
  EXPECT_FALSE(platform::FileExists(elsewhere + "STARTHUB"));
  wine_test::RemoveFolder(elsewhere);
  wine_test::RemoveFilesBut(dist, {"DIDAZURA.DLL", "M2KCOUNT.EXE", "README.TXT", "ogog.dll"});
}

// ---- check marks, on a settings window of this process ----

// Answers the next message boxes of this process, one button each, from a thread of its own
// while the window's thread is inside them; notes their texts.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<int> buttons)
      : thread_([this, buttons] {
          for (const int button : buttons) {
            HWND box = WaitMessageBox(GetCurrentProcessId(), 15000);
            if (!box) return;
            texts_.push_back(MessageText(box));
            if (!Answer(box, button)) return;
          }
        }) {}
  ~BoxAnswerer() {
    if (thread_.joinable()) thread_.join();
  }
  const std::vector<std::string>& Texts() {
    if (thread_.joinable()) thread_.join();
    return texts_;
  }

 private:
  std::vector<std::string> texts_;
  std::thread thread_;
};

UINT MenuState(HMENU menu, const std::string& caption) {
  wchar_t text[256] = {};
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    if (caption == sjis::Narrow(text)) return GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (HMENU sub = GetSubMenu(menu, i)) {
      const UINT state = MenuState(sub, caption);
      if (state != static_cast<UINT>(-1)) return state;
    }
  }
  return static_cast<UINT>(-1);
}

TEST_F(StartupWine, TicksFollowTheShortcutsOnDisk) {
  NotFirstSetup();
  ui::Application::Instance().Reset();
  // The window works in the current folder: one of its own, as the program's would be.
  const std::string work = wine_test::FreshFolder("m2k-ticks");
  char saved[MAX_PATH] = {};
  sjis::GetCurrentDirectory(MAX_PATH, saved);
  sjis::SetCurrentDirectory(work.c_str());
  ASSERT_TRUE(sjis::CreateDirectory(link[1].c_str(), nullptr));  // all users: saving there fails
  TfrmData data;
  auto form = std::make_unique<TfrmMain>(data);
  form->Show();
  HWND window = FindWindowW(nullptr, sjis::Wide(kCaption).c_str());
  ASSERT_NE(nullptr, window);
  const auto ticked = [&](const char* item) { return (MenuState(GetMenu(window), item) & MF_CHECKED) != 0; };
  const char user[] = "現ユーザーのみ利用(&U)", common[] = "全てのユーザー利用(&A)";
  ASSERT_NE(static_cast<UINT>(-1), MenuState(GetMenu(window), user));

  {
    BoxAnswerer answer({kYes});
    form->mnuStartupUser->Click();
    ASSERT_EQ(1u, answer.Texts().size());
    EXPECT_EQ(std::string("現ユーザーの") + kQuestionTail, answer.Texts()[0]);
  }
  EXPECT_TRUE(platform::FileExists(link[0]));
  EXPECT_TRUE(ticked(user));
  EXPECT_FALSE(ticked(common));

  {
    BoxAnswerer answer({kYes, IDOK});
    form->mnuStartupComm->Click();
    ASSERT_EQ(2u, answer.Texts().size());
    EXPECT_NE(std::string::npos, answer.Texts()[1].find("ショートカットを作成できませんでした")) << answer.Texts()[1];
  }
  EXPECT_FALSE(ticked(common)) << "a shortcut that could not be saved is no registration";
  EXPECT_TRUE(ticked(user)) << "the working registration stays";
  EXPECT_TRUE(platform::FileExists(link[0]));

  {
    BoxAnswerer answer({kYes});
    form->mnuStartupDel->Click();
    EXPECT_EQ(1u, answer.Texts().size());
  }
  EXPECT_FALSE(ticked(user));
  EXPECT_FALSE(platform::FileExists(link[0]));
  form.reset();
  ui::Application::Instance().Reset();
  sjis::SetCurrentDirectory(saved);
  wine_test::RemoveFolder(work);
}

}  // namespace
