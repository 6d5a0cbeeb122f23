// The settings window of M2KCOUNT.EXE as a user meets it: the program started without a
// switch against the demo game, driven by real key presses and clicks (SendInput), and read
// back through the Win32 API (focus, list selections, enabled states, the menus, the message
// box, the registry, the history file).
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <ctime>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "data/history.h"
#include "data/sprites.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/common/history_block.h"
#include "tests/wine/input_helper.h"
#include "tests/wine/menu_reader.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/sjis_calls.h"

namespace {

using wine_test::DemoGame;

using namespace wine_test;

const char kCaption[] = "Marivel2起動カウンターKORVENの設定";
const char kSettingsKey[] = "Software\\Zorve\\M2K-COUNTER";
const char kGameKey[] = "Software\\Vant\\Marivel2 KORVEN";
const char kIntegrationKey[] = "Software\\Zorve\\STARTHUB";
const char kStartupLinkName[] = "ミルテカ起動カウンター＋(プラス).lnk";
const char kGameFilesMissing[] =
    "ゲームのシステムファイルが見つかりません。\n"
    "ゲームが標準インストールされていないか、\n"
    "正しいゲームフォルダが指定されていません。";
const char kOk[] = "OK";
const char kCancel[] = "キャンセル";

// The figures' boxes in the client area: imgChar0 at 16, 5 and imgChar1 at 156, 5, 120 × 176.
constexpr POINT kLeftFigure{76, 93};
constexpr POINT kRightFigure{216, 93};
constexpr POINT kOffTheFigures{146, 250};  // on the statistics panel

std::string FileBytes(const std::string& path) {
  std::string bytes;
  platform::ReadWholeFile(path, bytes);
  return bytes;
}

// A history of ten starts, the first three days ago; the reserved bytes are someone else's.
std::string SampleHistory() {
  const auto now = static_cast<int32_t>(std::time(nullptr));
  return test_fixtures::EncodeHistory({.firstStart = now - 3 * 86400,
                                       .startNumber = 11,
                                       .lastStart = now - 3600,
                                       .startsOnLastDay = 2,
                                       .maxStartsPerDay = 4,
                                       .reserved = test_fixtures::ForeignReserved()});
}

std::set<std::string> SheetNames() {
  std::set<std::string> names;
  for (const auto& variants : SpriteFiles)
    for (const char* name : variants)
      if (name) names.insert(name);
  return names;
}

// Every value of the settings key, type and bytes, by name.
std::map<std::string, std::string> SettingsValues() {
  std::map<std::string, std::string> values;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, sjis::Wide(kSettingsKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return values;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256] = {};
    BYTE data[2048] = {};
    DWORD nameLength = 256, dataLength = sizeof data, type = 0;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
    // Texts as Shift-JIS with their terminating zero, as the program stores them.
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ;
    const std::string bytes = text ? sjis::Narrow(std::wstring_view(reinterpret_cast<wchar_t*>(data), dataLength / 2))
                                   : std::string(reinterpret_cast<char*>(data), dataLength);
    values[sjis::Narrow(name)] = std::to_string(type) + ":" + bytes;
  }
  RegCloseKey(key);
  return values;
}

void StoreSetting(const char* name, int32_t value) {
  platform::RegistryKey key(kSettingsKey, true);
  key.WriteInteger(name, value);
}

int32_t StoredSetting(const char* name) {
  platform::RegistryKey key(kSettingsKey, false);
  int32_t value = -1;
  return key.ReadInteger(name, value) ? value : -1;
}

int Selection(HWND list) { return static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)); }

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::FileExists(game_ + "grp.pak")) << "build the demo game first: make demo-game";
    for (const char* path : {kSettingsKey, kGameKey, kIntegrationKey}) {
      backups_.push_back(std::make_unique<KeyBackup>(path));
      platform::DeleteRegistryTree(path);
    }
    SetInstallDir(game_);
    for (const std::string& name : SheetNames())
      if (platform::FileExists(bin_ + name)) sheetsBefore_.insert(name);
    hadHistory_ = platform::ReadWholeFile(history_, historyBefore_);
    platform::WriteWholeFile(history_, sampleHistory_);
  }

  void TearDown() override {
    if (run_ && !run_->WaitExit(0)) {
      PostMessageA(window_, WM_CLOSE, 0, 0);
      run_->WaitExit(10000);
    }
    run_.reset();
    for (const std::string& name : SheetNames())
      if (!sheetsBefore_.count(name)) platform::RemoveFile(bin_ + name);
    if (hadHistory_) {
      platform::WriteWholeFile(history_, historyBefore_);
    } else {
      platform::RemoveFile(history_);
    }
  }

  static void SetInstallDir(const std::string& folder) {
    platform::RegistryKey key(kGameKey, true);
    key.WriteText("InstallDir", folder);
  }

  // Starts the program, waits for the settings window and brings it to the front; finds its
  // buttons and lists.
  void Open() {
    run_ = std::make_unique<ProgramRun>("");
    ASSERT_TRUE(run_->Started());
    window_ = run_->WaitWindow(kCaption, 15000);
    ASSERT_NE(nullptr, window_) << "no settings window";
    ASSERT_TRUE(BringToFront(window_));
    ok_ = FindChild(window_, "Button", kOk);
    cancel_ = FindChild(window_, "Button", kCancel);
    ASSERT_NE(nullptr, ok_);
    ASSERT_NE(nullptr, cancel_);
    FindLists();
    // Ready for keys once a control has the focus: the window sets it just after showing.
    WaitFor([this] { return IsChild(window_, Focus()) != FALSE; });
  }

  // The two drop-down lists, told apart by their place: cbxChar0 stands left of cbxChar1.
  void FindLists() {
    std::vector<HWND> lists;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (lstrcmpiA(ClassOf(child).c_str(), "ComboBox") == 0) lists.push_back(child);
    ASSERT_EQ(2u, lists.size());
    RECT a{}, b{};
    GetWindowRect(lists[0], &a);
    GetWindowRect(lists[1], &b);
    if (a.left > b.left) std::swap(lists[0], lists[1]);
    list0_ = lists[0];
    list1_ = lists[1];
  }

  std::string NameOf(HWND control) const {
    if (control == ok_) return "btnOk";
    if (control == cancel_) return "btnCancel";
    if (control == list0_) return "cbxChar0";
    if (control == list1_) return "cbxChar1";
    if (!control) return "nothing";
    return ClassOf(control) + " \"" + WindowText(control) + "\"";
  }

  // The child windows that the dialog manager may stop on.
  std::set<std::string> TabStops() const {
    std::set<std::string> stops;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) stops.insert(NameOf(child));
    return stops;
  }

  POINT OnScreen(POINT client) const { return ClientToScreenPoint(window_, client.x, client.y); }
  HWND Focus() const { return FocusOfThread(window_); }
  HWND PopupMenuWindow() const { return FindTopLevel(run_->ProcessId(), "#32768"); }
  bool Ended() const { return run_->WaitExit(10000); }

  const std::string game_ = DemoGame();
  const std::string bin_ = BinFolder();
  const std::string history_ = BinFolder() + "STARTHUB";
  const std::string sampleHistory_ = SampleHistory();
  std::vector<std::unique_ptr<KeyBackup>> backups_;
  std::set<std::string> sheetsBefore_;
  bool hadHistory_ = false;
  std::string historyBefore_;
  std::unique_ptr<ProgramRun> run_;
  HWND window_ = nullptr, ok_ = nullptr, cancel_ = nullptr, list0_ = nullptr, list1_ = nullptr;
};

TEST_F(MainWindow, EscClosesWithoutSavingWhatWasChosen) {
  StoreSetting("char0", 3);
  StoreSetting("char1", 5);
  ASSERT_NO_FATAL_FAILURE(Open());
  SaveScreenshot("opening", window_);
  EXPECT_TRUE(IsWindowEnabled(cancel_));
  const auto stored = SettingsValues();  // as the opening left them

  ClickAt(OnScreen(kRightFigure));
  ASSERT_TRUE(WaitFor([&] { return Selection(list1_) == 6; })) << "the click did not reach the window";
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(Ended()) << "Esc did not close the window";
  EXPECT_EQ(5, StoredSetting("char1"));
  EXPECT_TRUE(stored == SettingsValues()) << "closing by Esc changed the settings key";
}

TEST_F(MainWindow, EnterPressesOkWhichSavesEverySettingAndEnds) {
  StoreSetting("char0", 2);
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_TRUE(WaitFor([&] { return Focus() == ok_; })) << "focus on " << NameOf(Focus());
  PressKey(VK_RETURN);
  ASSERT_TRUE(Ended()) << "Enter did not press OK";
  EXPECT_EQ(2, StoredSetting("char0"));
  EXPECT_EQ(1, StoredSetting("char1"));  // the right character's default
  const auto values = SettingsValues();
  for (const char* name : {"char0", "char1", "timer", "delay", "name", "rand", "wave", "repl", "form", "name1a",
                           "name1b", "name2a", "name2b", "name3", "usewave", "dirwave"})
    EXPECT_TRUE(values.count(name)) << name << " not saved";
  platform::RegistryKey key(kSettingsKey, false);
  std::string dirwave;
  EXPECT_TRUE(key.ReadText("dirwave", dirwave));
  EXPECT_EQ(game_, dirwave);
  EXPECT_TRUE(FileBytes(history_) == sampleHistory_) << "the settings window wrote the start history";
}

// The first setup (no character saved yet) cannot be cancelled: Cancel is disabled and Esc
// does nothing, while OK saves as always.
TEST_F(MainWindow, FirstSetupHasNoCancelAndOkSaves) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_FALSE(IsWindowEnabled(cancel_));
  EXPECT_TRUE(IsWindowEnabled(ok_));
  PressKey(VK_ESCAPE);
  // Input is handled in order: once the click after Esc has stepped the figure, Esc is done.
  ClickAt(OnScreen(kRightFigure));
  ASSERT_TRUE(WaitFor([&] { return run_->WaitExit(0) || Selection(list1_) == 2; }));
  ASSERT_FALSE(run_->WaitExit(0)) << "Esc closed the window of the first setup";
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(-1, StoredSetting("char0"));
  PressKey(VK_RETURN);
  // The first setup's OK offers the Startup registration; No still saves and ends.
  HWND question = WaitMessageBox(run_->ProcessId(), 10000, window_);
  ASSERT_NE(nullptr, question) << "no Startup question at the first setup's OK";
  ASSERT_TRUE(BringToFront(question));
  PressKey('N');
  ASSERT_TRUE(Ended()) << "OK did not end the first setup";
  EXPECT_EQ(0, StoredSetting("char0"));  // the defaults, 0 and 1, the right one stepped
  EXPECT_EQ(2, StoredSetting("char1"));
}

// The close box (Alt+F4 is its key) still closes the first setup, without saving.
TEST_F(MainWindow, FirstSetupClosesByItsCloseBoxWithoutSaving) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_FALSE(IsWindowEnabled(cancel_));
  PressKey(VK_F4, {VK_MENU});
  ASSERT_TRUE(Ended()) << "Alt+F4 did not close the window";
  EXPECT_EQ(-1, StoredSetting("char0"));
}

TEST_F(MainWindow, OkWithoutTheGameShowsTheErrorAndKeepsTheWindow) {
  const std::string empty = TempFolder("m2k-no-game");
  platform::RemoveFile(empty + "Marivel2.exe");
  SetInstallDir(empty);
  StoreSetting("char0", 1);
  StoreSetting("char1", 3);
  ASSERT_NO_FATAL_FAILURE(Open());
  const auto stored = SettingsValues();

  ASSERT_TRUE(Click(ok_));
  HWND box = WaitMessageBox(run_->ProcessId(), 10000, window_);
  ASSERT_NE(nullptr, box) << "no message box owned by the settings window";
  EXPECT_EQ(kCaption, WindowText(box));
  EXPECT_NE(nullptr, FindChild(box, "Static", kGameFilesMissing)) << "the box does not say the game is missing";
  EXPECT_NE(nullptr, GetDlgItem(box, IDOK)) << "the box has no OK button";
  EXPECT_FALSE(IsWindowEnabled(window_)) << "the box is not modal";
  SaveScreenshot("error-box", window_, box);

  ASSERT_TRUE(BringToFront(box));
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); })) << "the box did not close";
  // Whatever OK does after the box is done before the next click is handled: a figure that
  // steps shows the window still open and working.
  ClickAt(OnScreen(kRightFigure));
  ASSERT_TRUE(WaitFor([&] { return run_->WaitExit(0) || Selection(list1_) == 4; }));
  ASSERT_FALSE(run_->WaitExit(0)) << "the window closed after the error";
  EXPECT_TRUE(IsWindowEnabled(window_));
  EXPECT_TRUE(stored == SettingsValues()) << "settings were saved without the game";

  ASSERT_TRUE(BringToFront(window_));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(Ended());
  EXPECT_TRUE(stored == SettingsValues());
  sjis::RemoveDirectory(empty.c_str());
}

TEST_F(MainWindow, TabMovesTheFocusInTabOrder) {
  struct Case {
    const char* name;
    bool firstSetup;
    std::vector<std::string> forward;  // from btnOk, Tab by Tab, round to btnOk
  } cases[] = {
      {"later setup", false, {"btnCancel", "cbxChar0", "cbxChar1", "btnOk"}},
      {"first setup: Cancel disabled", true, {"cbxChar0", "cbxChar1", "btnOk"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::DeleteRegistryTree(kSettingsKey);
    if (!c.firstSetup) StoreSetting("char0", 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ("btnOk", NameOf(Focus())) << "the window does not open with OK focused";
    EXPECT_EQ((std::set<std::string>{"btnOk", "btnCancel", "cbxChar0", "cbxChar1"}), TabStops())
        << "tab stops beside the buttons and lists";
    for (const std::string& expected : c.forward) {
      PressKey(VK_TAB);
      WaitFor([&] { return NameOf(Focus()) == expected; }, 3000);
      EXPECT_EQ(expected, NameOf(Focus())) << "Tab";
    }
    std::vector<std::string> backward(c.forward.rbegin() + 1, c.forward.rend());
    backward.push_back("btnOk");
    for (const std::string& expected : backward) {
      PressKey(VK_TAB, {VK_SHIFT});
      WaitFor([&] { return NameOf(Focus()) == expected; }, 3000);
      EXPECT_EQ(expected, NameOf(Focus())) << "Shift+Tab";
    }
    PostMessageA(window_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Ended());
  }
}

TEST_F(MainWindow, ClientAreaAndMenuBar) {
  wchar_t startup[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, startup, CSIDL_STARTUP, TRUE));
  const std::string link = sjis::Narrow(startup) + "\\" + kStartupLinkName;
  const bool ownLink = !platform::FileExists(link);
  if (ownLink) platform::WriteWholeFile(link, "");  // registered for the current user
  StoreSetting("char0", 0);
  Open();
  if (ownLink) platform::RemoveFile(link);
  ASSERT_FALSE(HasFatalFailure());

  RECT client{}, outer{};
  GetClientRect(window_, &client);
  GetWindowRect(window_, &outer);
  EXPECT_EQ(292, client.right);
  EXPECT_EQ(320, client.bottom);
  ASSERT_NE(nullptr, GetMenu(window_));
  EXPECT_GE((outer.bottom - outer.top) - client.bottom, GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU))
      << "no room for the menu bar";

  const std::vector<MenuLine> menu = ReadMenu(window_, GetMenu(window_));
  const std::vector<std::pair<int, std::string>> expected = {
      {0, "機能(&F)"},
      {1, "詳細設定(&C)..."},
      {1, "女の子情報(&D)..."},
      {1, "スタートアップ登録(&S)"},
      {2, "現ユーザーのみ利用(&U)"},
      {2, "全てのユーザー利用(&A)"},
      {1, "スタートアップ抹消(&D)"},
      {0, "ヘルプ(&H)"},
      {1, "READMEの表示(&R)"},
      {1, "ZORVEのホームページ(&W)"},
      {1, "バージョン情報(&A)..."},
  };
  ASSERT_EQ(expected.size(), menu.size()) << "the menu bar could not be read, or has other items";
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].first, menu[i].depth) << expected[i].second;
    EXPECT_EQ(expected[i].second, menu[i].caption);
    EXPECT_FALSE(menu[i].state & MF_GRAYED) << expected[i].second;
  }
  EXPECT_TRUE(menu[4].state & MF_CHECKED) << "the current user's shortcut is not shown";
  EXPECT_FALSE(menu[5].state & MF_CHECKED);
}

TEST_F(MainWindow, LeftClickOnAFigureStepsItsCharacter) {
  StoreSetting("char0", 4);
  StoreSetting("char1", 9);
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(4, Selection(list0_));
  EXPECT_EQ(9, Selection(list1_));

  ClickAt(OnScreen(kRightFigure));
  EXPECT_TRUE(WaitFor([&] { return Selection(list1_) == 0; })) << "9 did not step round to 0";
  EXPECT_EQ(4, Selection(list0_));
  ClickAt(OnScreen(kLeftFigure));
  EXPECT_TRUE(WaitFor([&] { return Selection(list0_) == 5; }));
  EXPECT_EQ(0, Selection(list1_));

  // Released off the figure: no step. The Tab after it shows when the release has been handled.
  DragLeft(OnScreen(kRightFigure), OnScreen(kOffTheFigures));
  ASSERT_TRUE(BringToFront(window_));
  const std::string before = NameOf(Focus());
  PressKey(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return NameOf(Focus()) != before; }));
  EXPECT_EQ(0, Selection(list1_)) << "a release off the figure stepped it";
  EXPECT_EQ(5, Selection(list0_));
}

// A right click opens the character menu of the figure clicked, its current character ticked;
// a right click never steps a figure.
TEST_F(MainWindow, RightClickOpensTheCharacterMenuOfThatFigure) {
  StoreSetting("char0", 2);
  StoreSetting("char1", 7);
  ASSERT_NO_FATAL_FAILURE(Open());
  struct Case {
    const char* side;
    POINT figure;
    int ticked;
  } cases[] = {{"left", kLeftFigure, 2}, {"right", kRightFigure, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.side);
    ClickAt(OnScreen(c.figure), Button::Right);
    HWND popup = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (popup = PopupMenuWindow()) != nullptr; })) << "no pop-up menu";
    EXPECT_EQ(2, Selection(list0_));
    EXPECT_EQ(7, Selection(list1_));
    const std::vector<MenuLine> menu = ReadMenu(window_, MenuOfPopup(popup));
    ASSERT_EQ(10u, menu.size()) << "the pop-up menu could not be read, or has other entries";
    for (int n = 0; n < 10; ++n) EXPECT_EQ(n == c.ticked, (menu[n].state & MF_CHECKED) != 0) << "entry " << n;
    SaveScreenshot(std::string("popup-menu-") + c.side, window_, popup);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return PopupMenuWindow() == nullptr; })) << "Esc did not close the menu";
    EXPECT_FALSE(run_->WaitExit(0)) << "Esc in the menu closed the window";
  }

  // The last entry chosen by keyboard becomes the right character; the left one stays.
  ClickAt(OnScreen(kRightFigure), Button::Right);
  ASSERT_TRUE(WaitFor([&] { return PopupMenuWindow() != nullptr; }));
  PressKey(VK_END);
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return Selection(list1_) == 9; })) << "the menu's choice did not reach the right side";
  EXPECT_EQ(2, Selection(list0_));
}

TEST_F(MainWindow, KeyboardChoiceInTheLeftListIsSavedByOk) {
  StoreSetting("char0", 3);
  StoreSetting("char1", 6);
  ASSERT_NO_FATAL_FAILURE(Open());
  PressKey(VK_TAB);
  PressKey(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return Focus() == list0_; })) << "focus on " << NameOf(Focus());
  PressKey(VK_DOWN);
  ASSERT_TRUE(WaitFor([&] { return Selection(list0_) == 4; }));
  SaveScreenshot("list-chosen", window_);
  PressKey(VK_RETURN);
  ASSERT_TRUE(Ended()) << "Enter on the list did not press OK";
  EXPECT_EQ(4, StoredSetting("char0"));
  EXPECT_EQ(6, StoredSetting("char1"));
}

}  // namespace
