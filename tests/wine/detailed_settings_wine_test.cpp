// The detailed settings and the game folder dialog in the real program, driven by real input:
// opened from the menu (Alt+F, C) and the folder button, every control's state read back
// through the Win32 API, a Japanese name typed, a drive of the test's own browsed into folders
// whose names end in 0x5C trail bytes, a drive without a medium refused, and the program's
// current folder left where it was.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "data/Untdata.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/input_helper.h"
#include "ui/ui.h"
#include "tests/wine/sjis_calls.h"

namespace {

using namespace wine_test;

const char kSettingsCaption[] = "Marivel2起動カウンターKORVENの設定";
const char kInitCaption[] = "詳細設定";
const char kDirCaption[] = "ゲームフォルダの指定";

std::string Variable(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD length = sjis::GetEnvironmentVariable(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? value : "";
}

// The dialog's place as DialogPlacement gives it over its opener.
void ExpectPlacedOver(HWND opener, HWND dialog) {
  RECT o, d;
  GetWindowRect(opener, &o);
  GetWindowRect(dialog, &d);
  const ui::Placement p =
      ui::DialogPlacement(o.left, o.top, o.right - o.left, o.bottom - o.top, d.right - d.left, d.bottom - d.top,
                          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(p.left, d.left);
  EXPECT_EQ(p.top, d.top);
}

// Pixels of a window's client rectangle in the pinks of our folder and drive glyphs, as the
// screen shows them (another process's window lends no device context of its own).
int PinkPixels(HWND window, const RECT& area) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HDC dc = GetDC(nullptr);
  int pink = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const COLORREF c = GetPixel(dc, origin.x + x, origin.y + y);
      const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      pink += r >= 200 && r - g >= 25 && b >= 120 && b - g >= 10;
    }
  ReleaseDC(nullptr, dc);
  return pink;
}

POINT ClientSize(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return POINT{r.right, r.bottom};
}

class DetailedSettingsWine : public ::testing::Test {
 protected:
  void SetUp() override {
    drive = Variable("M2K_TEST_DRIVE");
    noMedium = Variable("M2K_NO_MEDIUM_DRIVE");
    // Not a skip: without the drives the dialog's browsing goes untested.
    ASSERT_FALSE(drive.empty() || noMedium.empty()) << "run through tests/wine/test_drives.sh (make test-wine)";
    game = drive + "\\表示テスト\\ソフト";
    for (const std::string& folder : {drive + "\\表示テスト", game, game + "\\データ"})
      ASSERT_TRUE(sjis::CreateDirectory(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
    ASSERT_TRUE(platform::WriteWholeFile(game + "\\Marivel2.exe", "MZ"));
    ASSERT_TRUE(platform::WriteWholeFile(game + "\\grp.pak", "not an archive"));
    ASSERT_TRUE(platform::WriteWholeFile(game + "\\voice.pak", "not an archive"));
    // Sheets the settings window deletes from its current folder when it closes: only the one
    // in the program's folder may go.
    for (const std::string& folder : {drive + "\\表示テスト", game})
      ASSERT_TRUE(platform::WriteWholeFile(folder + "\\decoy.TGA", "x"));
    ASSERT_TRUE(platform::WriteWholeFile(BinFolder() + "m2kwine.TGA", "x"));

    platform::DeleteRegistryTree(kSettingsKey);
    platform::DeleteRegistryTree(kGameKey);
    platform::RegistryKey key(kSettingsKey, true);
    key.WriteInteger("char0", 0);
    key.WriteInteger("wave", 1);
    key.WriteInteger("repl", 1);
    key.WriteInteger("rand", 3);
    key.WriteInteger("timer", 7);
    key.WriteInteger("delay", 2);
    key.WriteText("usewave", "1010011001");
    key.WriteText("name1a", "山田");
    key.WriteText("name3", "ハナ");
    key.WriteText("dirwave", drive);  // the root as the dialog stores it: "Q:"
  }
  void TearDown() override {
    platform::DeleteRegistryTree(kSettingsKey);
    platform::RemoveFile(BinFolder() + "m2kwine.TGA");
    // The drive is shared with the other tests: leave it empty.
    for (const char* file : {"\\Marivel2.exe", "\\grp.pak", "\\voice.pak", "\\decoy.TGA"})
      platform::RemoveFile(game + file);
    platform::RemoveFile(drive + "\\表示テスト\\decoy.TGA");
    for (const std::string& folder : {game + "\\データ", game, drive + "\\表示テスト"}) sjis::RemoveDirectory(folder.c_str());
  }

  // Fails the test with the text of a message box that nobody expected.
  void ExpectNoMessageBox(const ProgramRun& run) {
    HWND box = WaitMessageBox(run.ProcessId(), 0);
    EXPECT_EQ(nullptr, box) << MessageText(box);
  }

  std::string drive, noMedium, game;
  TfrmData data;  // for the roster's names
};

TEST_F(DetailedSettingsWine, BothDialogsFromTheMenuWithRealInput) {
  ProgramRun run("");
  HWND main = run.WaitWindow(kSettingsCaption, 15000);
  ASSERT_NE(nullptr, main);
  Sleep(500);
  ASSERT_TRUE(OpenMenu(run.ProcessId(), main, 'F'));
  PressKey('C');
  HWND init = run.WaitWindow(kInitCaption, 10000);
  ASSERT_NE(nullptr, init) << "Alt+F, C did not open the detailed settings";
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(init) && !IsWindowEnabled(main); }));
  ExpectPlacedOver(main, init);
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_EQ(340, ClientSize(init).x);
  EXPECT_EQ(541, ClientSize(init).y);

  // ---- TfrmInit as filled from the registry ----
  HWND edtDir = ControlAt(init, 12, 24, "Edit");
  HWND bbtDir = ControlAt(init, 306, 21, "Button");
  HWND chkWave = ControlAt(init, 12, 64, "Button");
  HWND chkRepl = ControlAt(init, 12, 196, "Button");
  HWND chkName = ControlAt(init, 12, 232, "Button");
  HWND chkRand = ControlAt(init, 12, 252, "Button");
  HWND rbtRand[3] = {ControlAt(init, 20, 292, "Button"), ControlAt(init, 176, 292, "Button"),
                     ControlAt(init, 20, 308, "Button")};
  HWND chkForm = ControlAt(init, 12, 340, "Button");
  HWND names[5] = {ControlAt(init, 44, 392, "Edit"), ControlAt(init, 196, 392, "Edit"),
                   ControlAt(init, 44, 416, "Edit"), ControlAt(init, 196, 416, "Edit"),
                   ControlAt(init, 196, 440, "Edit")};
  HWND edtTimer = ControlAt(init, 100, 476, "Edit"), updTimer = ControlAt(init, 117, 476, UPDOWN_CLASSA);
  HWND edtDelay = ControlAt(init, 268, 476, "Edit"), updDelay = ControlAt(init, 285, 476, UPDOWN_CLASSA);
  HWND bbtOk = ControlAt(init, 184, 511, "Button");
  HWND voices[10];
  for (int n = 0; n < 10; ++n) voices[n] = ControlAt(init, 12 + 8 + 104 * (n % 3), 84 + 20 + 20 * (n / 3), "Button");
  for (HWND control : {edtDir, bbtDir, chkWave, chkRepl, chkName, chkRand, rbtRand[0], rbtRand[1], rbtRand[2], chkForm,
                       names[0], names[1], names[2], names[3], names[4], edtTimer, updTimer, edtDelay, updDelay, bbtOk})
    ASSERT_NE(nullptr, control);
  for (HWND voice : voices) ASSERT_NE(nullptr, voice);

  EXPECT_EQ(drive, WindowText(edtDir));
  EXPECT_TRUE(GetWindowLongA(edtDir, GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(GetWindowLongA(edtDir, GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(Checked(chkWave));
  const std::string usewave = "1010011001";
  for (int n = 0; n < 10; ++n) {
    EXPECT_EQ(usewave[n] == '1', Checked(voices[n])) << n;
    EXPECT_TRUE(IsWindowEnabled(voices[n])) << n;
    EXPECT_EQ(data.CharacterName(0, n), WindowText(voices[n])) << n;
  }
  EXPECT_TRUE(Checked(chkRepl));
  EXPECT_FALSE(Checked(chkName));
  EXPECT_TRUE(Checked(chkRand));
  EXPECT_FALSE(Checked(rbtRand[0]));
  EXPECT_FALSE(Checked(rbtRand[1]));
  EXPECT_TRUE(Checked(rbtRand[2]));
  for (HWND way : rbtRand) EXPECT_TRUE(IsWindowEnabled(way));
  EXPECT_FALSE(Checked(chkForm));
  EXPECT_EQ("山田", WindowText(names[0]));
  EXPECT_EQ(kDefaultGivenName, WindowText(names[1]));
  EXPECT_EQ("ハナ", WindowText(names[4]));
  for (HWND name : names) EXPECT_EQ(12, SendMessageA(name, EM_GETLIMITTEXT, 0, 0));
  EXPECT_EQ(1, SendMessageA(edtTimer, EM_GETLIMITTEXT, 0, 0));
  int low = 0, high = 0;
  UpDownRange(updTimer, low, high);
  EXPECT_EQ(1, low);
  EXPECT_EQ(9, high);
  UpDownRange(updDelay, low, high);
  EXPECT_EQ(0, low);
  EXPECT_EQ(9, high);
  EXPECT_EQ(7, SendMessageA(updTimer, UDM_GETPOS32, 0, 0));
  EXPECT_EQ(2, SendMessageA(updDelay, UDM_GETPOS32, 0, 0));
  EXPECT_EQ("7", WindowText(edtTimer));
  EXPECT_EQ("2", WindowText(edtDelay));

  // ---- the rules between the controls, by mouse ----
  ASSERT_TRUE(Click(chkRand));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(rbtRand[2]) && Checked(rbtRand[1]); }));
  EXPECT_FALSE(IsWindowEnabled(rbtRand[0]) || IsWindowEnabled(rbtRand[1]));
  EXPECT_FALSE(Checked(rbtRand[2]));
  ASSERT_TRUE(Click(chkRand));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(rbtRand[2]); }));
  EXPECT_TRUE(Checked(rbtRand[1]));
  ASSERT_TRUE(Click(chkWave));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(chkRepl); }));  // the last one disabled
  for (HWND voice : voices) EXPECT_FALSE(IsWindowEnabled(voice));
  for (int n = 0; n < 10; ++n) EXPECT_EQ(usewave[n] == '1', Checked(voices[n])) << "kept while disabled: " << n;
  ASSERT_TRUE(Click(chkWave));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(chkRepl); }));
  ASSERT_TRUE(Click(chkName));
  ASSERT_TRUE(WaitFor([&] { return WindowText(voices[9]) == data.CharacterName(1, 9); }));
  for (int n = 0; n < 10; ++n) EXPECT_EQ(data.CharacterName(1, n), WindowText(voices[n])) << n;

  // ---- typing ----
  SelectAllAndType(names[4], L"あいうえおかき");  // seven full-width characters
  EXPECT_TRUE(WaitFor([&] { return WindowText(names[4]) == "あいうえおか"; })) << WindowText(names[4]);
  Sleep(200);
  EXPECT_EQ("あいうえおか", WindowText(names[4]));
  SelectAllAndType(names[2], L"abcdefghijk");
  TypeUnicode(L"あ");  // would end at byte 13
  TypeUnicode(L"lm");  // the 13th byte is refused
  EXPECT_TRUE(WaitFor([&] { return WindowText(names[2]) == "abcdefghijkl"; })) << WindowText(names[2]);
  // A character that Shift-JIS cannot store is refused whole, as the 13th byte is: it would come
  // back as "?".
  SelectAllAndType(names[3], L"Zo\u00EBy");
  EXPECT_TRUE(WaitFor([&] { return WindowText(names[3]) == "Zoy"; })) << WindowText(names[3]);
  SelectAllAndType(edtTimer, L"0");  // below the display time's range: not taken
  SelectAllAndType(edtDelay, L"5");
  EXPECT_TRUE(WaitFor([&] { return SendMessageA(updDelay, UDM_GETPOS32, 0, 0) == 5; }));
  EXPECT_EQ(7, SendMessageA(updTimer, UDM_GETPOS32, 0, 0));
  ExpectNoMessageBox(run);

  // ---- the game folder dialog ----
  ASSERT_TRUE(Click(bbtDir));
  HWND dir = run.WaitWindow(kDirCaption, 10000);
  ASSERT_NE(nullptr, dir);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dir) && !IsWindowEnabled(init); }));
  ExpectPlacedOver(init, dir);
  EXPECT_FALSE(IsWindowEnabled(init));
  EXPECT_EQ(240, ClientSize(dir).x);
  EXPECT_EQ(208, ClientSize(dir).y);
  HWND dcbDir = ControlAt(dir, 8, 20, "ComboBox");
  HWND dlbDir = ControlAt(dir, 8, 56, "ListBox");
  HWND btnOk = ControlAt(dir, 80, 180, "Button");
  ASSERT_TRUE(dcbDir && dlbDir && btnOk);
  EXPECT_TRUE(GetWindowLongA(dcbDir, GWL_STYLE) & CBS_OWNERDRAWFIXED);
  EXPECT_TRUE(GetWindowLongA(dlbDir, GWL_STYLE) & LBS_OWNERDRAWFIXED);
  EXPECT_EQ(16, SendMessageA(dlbDir, LB_GETITEMHEIGHT, 0, 0));
  const std::string root = drive + "\\";
  EXPECT_EQ((std::vector<std::string>{root, "表示テスト"}), ListItems(dlbDir));
  EXPECT_EQ(0, SendMessageA(dlbDir, LB_GETCURSEL, 0, 0));
  const std::vector<std::string> drives = ComboItems(dcbDir);
  int driveRow = -1, noMediumRow = -1;
  for (size_t i = 0; i < drives.size(); ++i) {
    if (drives[i] == drive) driveRow = static_cast<int>(i);
    if (drives[i] == noMedium) noMediumRow = static_cast<int>(i);
  }
  ASSERT_GE(driveRow, 0);
  EXPECT_EQ(driveRow, SendMessageA(dcbDir, CB_GETCURSEL, 0, 0));

  // A drive without a medium: the box goes back, the list stays, nothing is said.
  ASSERT_GE(noMediumRow, 0) << "the drive without a medium is not listed";
  PressKey('V', {VK_MENU});
  PressKey(static_cast<WORD>(noMedium[0]));
  Sleep(500);
  EXPECT_EQ(driveRow, SendMessageA(dcbDir, CB_GETCURSEL, 0, 0));
  EXPECT_EQ((std::vector<std::string>{root, "表示テスト"}), ListItems(dlbDir));
  ExpectNoMessageBox(run);

  // Into 表示テスト by double click, into ソフト by a click and Enter; Enter is not OK.
  const int row = static_cast<int>(SendMessageA(dlbDir, LB_GETITEMHEIGHT, 0, 0));
  ASSERT_TRUE(ClickInClient(dlbDir, 40, row + row / 2, 2));
  ASSERT_TRUE(WaitFor([&] { return ListItems(dlbDir).size() == 3; })) << ListItems(dlbDir).size();
  EXPECT_EQ((std::vector<std::string>{root, "表示テスト", "ソフト"}), ListItems(dlbDir));
  ASSERT_TRUE(ClickInClient(dlbDir, 40, 2 * row + row / 2));
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(dlbDir, LB_GETCURSEL, 0, 0) == 2; }));
  EXPECT_EQ(3u, ListItems(dlbDir).size()) << "a single click only selects";
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return ListItems(dlbDir).size() == 4; }));
  EXPECT_EQ((std::vector<std::string>{root, "表示テスト", "ソフト", "データ"}), ListItems(dlbDir));
  EXPECT_EQ(2, SendMessageA(dlbDir, LB_GETCURSEL, 0, 0));
  EXPECT_TRUE(IsWindowVisible(dir));
  // The rows are drawn by the program: a folder glyph on each, one level further in per row;
  // the drive box shows its drive's icon.
  // Read once every row shows its glyph (the list paints after it has changed).
  WaitFor([&] {
    for (int depth = 0; depth < 4; ++depth)
      if (PinkPixels(dlbDir, RECT{2 + 10 * depth, depth * row, 18 + 10 * depth, (depth + 1) * row}) < 40) return false;
    return PinkPixels(dcbDir, RECT{0, 0, 24, 20}) >= 20;
  });
  for (int depth = 0; depth < 4; ++depth) {
    const int glyphLeft = 2 + 10 * depth;
    EXPECT_GE(PinkPixels(dlbDir, RECT{glyphLeft, depth * row, glyphLeft + 16, (depth + 1) * row}), 40) << depth;
    EXPECT_EQ(0, PinkPixels(dlbDir, RECT{0, depth * row, glyphLeft, (depth + 1) * row})) << depth;
  }
  EXPECT_GE(PinkPixels(dcbDir, RECT{0, 0, 24, 20}), 20);
  ExpectNoMessageBox(run);
  SaveScreenshot("dir_dialog", dir);

  ASSERT_TRUE(Click(btnOk));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dir) || !IsWindowVisible(dir); }));
  EXPECT_TRUE(WaitFor([&] { return WindowText(edtDir) == game; })) << WindowText(edtDir);
  SaveScreenshot("init_dialog", init);  // painted again where the folder dialog stood

  // Enter in a name box is the default button's: OK.
  ASSERT_TRUE(Click(names[1]));
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(init) || !IsWindowVisible(init); }));
  ExpectNoMessageBox(run);

  // The settings window's OK saves: the game files are found in the chosen folder.
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(main); }));
  ASSERT_TRUE(Click(ControlAt(main, 128, 288, "Button")));
  ASSERT_TRUE(run.WaitExit(10000)) << MessageText(WaitMessageBox(run.ProcessId(), 0));

  platform::RegistryKey key(kSettingsKey, false);
  std::string dirwave, name3, name2a, usewaveStored;
  int32_t timer = 0, delay = 0, rand = 0, name = 0, wave = 0;
  ASSERT_TRUE(key.ReadText("dirwave", dirwave));
  EXPECT_EQ(game, dirwave);
  key.ReadText("name3", name3);
  EXPECT_EQ("あいうえおか", name3);
  key.ReadText("name2a", name2a);
  EXPECT_EQ("abcdefghijkl", name2a);
  key.ReadText("usewave", usewaveStored);
  EXPECT_EQ(usewave, usewaveStored);
  key.ReadInteger("timer", timer);
  key.ReadInteger("delay", delay);
  key.ReadInteger("rand", rand);
  key.ReadInteger("name", name);
  key.ReadInteger("wave", wave);
  EXPECT_EQ(7, timer);
  EXPECT_EQ(5, delay);
  EXPECT_EQ(2, rand);
  EXPECT_EQ(1, name);
  EXPECT_EQ(1, wave);

  // The window cleaned the sheets out of its own folder, the program's, and nowhere else: the
  // current folder never followed the browsing.
  EXPECT_FALSE(platform::FileExists(BinFolder() + "m2kwine.TGA"));
  EXPECT_TRUE(platform::FileExists(drive + "\\表示テスト\\decoy.TGA"));
  EXPECT_TRUE(platform::FileExists(game + "\\decoy.TGA"));
}

}  // namespace
