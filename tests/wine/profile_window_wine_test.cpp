// The profile window in the real M2KCOUNT.EXE: opened from the settings window's menu by the
// keyboard, paged with real clicks and keys, placed over the settings window, closed with Esc.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "tests/common/targa_writer.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/input_helper.h"

namespace {

using wine_test::ClickInClient;
using wine_test::PressKey;
using wine_test::ProgramRun;
using wine_test::WaitFor;

const char kSettingsKey[] = "\\Software\\Zorve\\M2K-COUNTER";
const char kGameKey[] = "\\Software\\Vant\\Marivel2 KORVEN";
const char kSettingsCaption[] = "Marivel2起動カウンターKORVENの設定";
const char kProfileCaption[] = "女の子情報";

// Sheets of one opaque colour, as large as the character's walking poses need: every pose
// shows that colour in the middle of the figure box.
struct SolidSheet {
  const char* file;
  int width, height;
  uint32_t pixel;   // as the sheet stores it: 0xAARRGGBB
  COLORREF shown;   // as the screen gives it back
};
const SolidSheet kSheets[] = {
    {"mapc010.tga", 212, 358, 0xFFC00000, RGB(0xC0, 0, 0)},  // character 0
    {"mapc020.tga", 220, 390, 0xFF00C000, RGB(0, 0xC0, 0)},  // character 1
    {"mapc140.tga", 170, 360, 0xFF0000C0, RGB(0, 0, 0xC0)},  // character 9
};
const COLORREF kFirst = kSheets[0].shown, kSecond = kSheets[1].shown, kLast = kSheets[2].shown;

std::string SheetBytes(const SolidSheet& sheet) {
  return test_fixtures::TargaSheet(sheet.width, sheet.height, [&](int, int) { return sheet.pixel; });
}

// Places in the profile window's client area.
constexpr int kFigureX = 267 + 60, kFigureY = 2 + 88;  // the middle of the figure box
constexpr int kPreviousX = 4 + 67, kNextX = 144 + 67, kButtonsY = 168 + 18;
constexpr RECT kPanel{16, 8, 16 + 249, 8 + 153};

class ProfileWindowWine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::DeleteRegistryTree(kSettingsKey));
    // No game: the settings window takes no sheets out of an archive and keeps ours.
    ASSERT_TRUE(platform::DeleteRegistryTree(kGameKey));
    {
      platform::RegistryKey key(kSettingsKey, true);
      key.WriteInteger("char0", 0);
      key.WriteInteger("char1", 1);
    }
    for (const SolidSheet& sheet : kSheets)
      ASSERT_TRUE(platform::WriteWholeFile(wine_test::BinFolder() + sheet.file, SheetBytes(sheet)));
  }
  void TearDown() override {
    for (const SolidSheet& sheet : kSheets) platform::RemoveFile(wine_test::BinFolder() + sheet.file);
    platform::DeleteRegistryTree(kSettingsKey);
  }

  // 機能(&F), then 女の子情報(&D)..., which shares its letter with スタートアップ抹消(&D).
  static HWND OpenFromTheMenu(ProgramRun& run, HWND settings) {
    return wine_test::ChooseFromMenu(run, settings, 'F', 'D', kProfileCaption);
  }

  static COLORREF Figure(HWND profile) { return wine_test::PixelInClient(profile, kFigureX, kFigureY); }
  static std::vector<uint32_t> Panel(HWND profile) {
    return wine_test::CaptureClient(profile, kPanel.left, kPanel.top, kPanel.right - kPanel.left,
                                    kPanel.bottom - kPanel.top);
  }
  // The panel once it has been painted and stays as it is.
  static std::vector<uint32_t> SettledPanel(HWND profile) {
    std::vector<uint32_t> now = Panel(profile), before;
    for (int i = 0; i < 20 && (now.empty() || now != before); ++i) {
      Sleep(150);
      before = now;
      now = Panel(profile);
    }
    return now;
  }
  static int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return -1;
    int count = 0;
    for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
  }
};

TEST_F(ProfileWindowWine, OpensModallyOverTheSettingsWindowAndClosesWithEsc) {
  ProgramRun run("");
  ASSERT_TRUE(run.Started());
  HWND settings = run.WaitWindow(kSettingsCaption, 10000);
  ASSERT_NE(nullptr, settings);
  HWND profile = OpenFromTheMenu(run, settings);
  ASSERT_NE(nullptr, profile) << "the profile window did not open from the menu";

  RECT client{};
  GetClientRect(profile, &client);
  EXPECT_EQ(390, client.right);
  EXPECT_EQ(208, client.bottom);
  const LONG style = GetWindowLongA(profile, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(GetWindowLongA(profile, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(settings, GetWindow(profile, GW_OWNER));
  EXPECT_FALSE(IsWindowEnabled(settings)) << "modal: the settings window takes no input";

  // Centred over the settings window by the outer sizes, divisions truncating, then pulled
  // inside the screen: left before right, top before bottom.
  RECT s{}, p{};
  GetWindowRect(settings, &s);
  GetWindowRect(profile, &p);
  const int width = p.right - p.left, height = p.bottom - p.top;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  int left = s.left + (s.right - s.left - width) / 2;
  int top = s.top + (s.bottom - s.top - height) / 2;
  if (left < 0) left = 0;
  if (left + width > screenWidth) left = screenWidth - width;
  if (top < 0) top = 0;
  if (top + height > screenHeight) top = screenHeight - height;
  EXPECT_EQ(left, p.left);
  EXPECT_EQ(top, p.top);

  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(profile); }, 5000)) << "Esc did not close the window";
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(settings) != FALSE; }, 2000));
  EXPECT_TRUE(IsWindowVisible(settings));
  EXPECT_FALSE(run.WaitExit(0));
  PostMessageA(settings, WM_CLOSE, 0, 0);
  EXPECT_TRUE(run.WaitExit(10000));
  EXPECT_FALSE(platform::RegistryKey(kSettingsKey, false).ValueExists("timer")) << "nothing is saved";
}

TEST_F(ProfileWindowWine, PagesWithRealClicksAndKeys) {
  ProgramRun run("");
  HWND settings = run.WaitWindow(kSettingsCaption, 10000);
  ASSERT_NE(nullptr, settings);
  HWND profile = OpenFromTheMenu(run, settings);
  ASSERT_NE(nullptr, profile) << "the profile window did not open from the menu";

  ASSERT_TRUE(WaitFor([&] { return Figure(profile) == kFirst; }, 5000)) << "character 0 first";
  const std::vector<uint32_t> first = SettledPanel(profile);
  ASSERT_FALSE(first.empty());

  // Space presses the focused button, which at opening is the first in tab order: next.
  PressKey(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return Figure(profile) == kSecond; }, 5000)) << "Space did not step on";
  ASSERT_TRUE(WaitFor([&] { return Panel(profile) != first; }, 3000)) << "the panel still shows character 0";
  const std::vector<uint32_t> second = SettledPanel(profile);

  // Tab to the previous button; Enter presses it too: back to character 0.
  PressKey(VK_TAB);
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return Figure(profile) == kFirst && Panel(profile) == first; }, 5000))
      << "figure " << std::hex << Figure(profile) << std::dec << ", " << Differences(first, Panel(profile))
      << " panel pixels unlike character 0's";

  // A click on the previous button from character 0: character 9.
  ASSERT_TRUE(ClickInClient(profile, kPreviousX, kButtonsY));
  EXPECT_TRUE(WaitFor([&] { return Figure(profile) == kLast; }, 5000)) << "previous from 0 is not 9";
  EXPECT_TRUE(WaitFor(
      [&] {
        const std::vector<uint32_t> now = Panel(profile);
        return now != first && now != second;
      },
      3000));

  // Next from character 9: character 0 again.
  ASSERT_TRUE(ClickInClient(profile, kNextX, kButtonsY));
  EXPECT_TRUE(WaitFor([&] { return Figure(profile) == kFirst && Panel(profile) == first; }, 5000))
      << "figure " << std::hex << Figure(profile) << std::dec << ", " << Differences(first, Panel(profile))
      << " panel pixels unlike character 0's";

  // A click on the figure steps on.
  ASSERT_TRUE(ClickInClient(profile, kFigureX, kFigureY));
  EXPECT_TRUE(WaitFor([&] { return Figure(profile) == kSecond && Panel(profile) == second; }, 5000))
      << "figure " << std::hex << Figure(profile) << std::dec << ", " << Differences(second, Panel(profile))
      << " panel pixels unlike character 1's";

  // Quick pairs and triples of clicks page once per click: the second press of a pair comes to
  // an owner-drawn button as a double click. 1, back twice: 9; on three times: 2; back twice: 0.
  Sleep(700);  // no pair with the click before
  ASSERT_TRUE(ClickInClient(profile, kPreviousX, kButtonsY, 2));
  EXPECT_TRUE(WaitFor([&] { return Figure(profile) == kLast; }, 5000)) << "a double click did not page twice";
  Sleep(700);
  ASSERT_TRUE(ClickInClient(profile, kNextX, kButtonsY, 3));
  Sleep(700);
  ASSERT_TRUE(ClickInClient(profile, kPreviousX, kButtonsY, 2));
  EXPECT_TRUE(WaitFor([&] { return Figure(profile) == kFirst; }, 5000)) << "a triple click did not page three times";

  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(profile); }, 5000));
  PostMessageA(settings, WM_CLOSE, 0, 0);
  EXPECT_TRUE(run.WaitExit(10000));
}

}  // namespace
