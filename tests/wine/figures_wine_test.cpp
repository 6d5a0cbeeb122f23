// The counter draws its figures from the sheets in the program folder, over the backdrop.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/files.h"
#include "platform/registry.h"
#include "tests/common/targa_writer.h"
#include "tests/wine/input_helper.h"
#include "tests/wine/program_runner.h"

namespace {

const char kSettingsKey[] = "\\Software\\Zorve\\M2K-COUNTER";
const char kCounterCaption[] = "Marivel2起動カウンターKORVEN";

// A 32-bit top-down sheet: opaque `colour` inside the rectangle, clear elsewhere.
std::string SolidSheet(int w, int h, RECT figure, uint32_t colour) {
  return test_fixtures::TargaSheet(w, h, [&](int x, int y) {
    const bool inside = x >= figure.left && x < figure.right && y >= figure.top && y < figure.bottom;
    return inside ? colour : 0u;
  });
}

TEST(FiguresWine, BothFiguresShowInTheCounterWindow) {
  platform::DeleteRegistryTree(kSettingsKey);
  {
    platform::RegistryKey key(kSettingsKey, true);
    key.WriteInteger("char0", 1);
    key.WriteInteger("char1", 3);
    key.WriteInteger("timer", 3);
  }
  const std::string bin = wine_test::BinFolder();
  // Character 1 walks in pose 0 at (2, 1, 88, 174); character 3 rests in pose 0 at (4, 1, 92, 172).
  ASSERT_TRUE(platform::WriteWholeFile(bin + "mapc020.tga", SolidSheet(100, 180, {2, 1, 90, 175}, 0xFF00C000)));
  ASSERT_TRUE(platform::WriteWholeFile(bin + "mapc040.tga", SolidSheet(100, 180, {4, 1, 96, 173}, 0xFF0000C0)));

  wine_test::ProgramRun run("/C");
  HWND window = run.WaitWindow(kCounterCaption, 10000);
  ASSERT_NE(nullptr, window);
  // Left box at -7: the figure (90 wide) starts 15 into the box; right box at 487, figure 94
  // wide, 13 in. Read once the window has painted both figures, or when waiting is over.
  COLORREF left = 0, right = 0, backdrop = 0;
  const auto readPixels = [&] {
    HDC dc = GetDC(window);
    left = GetPixel(dc, -7 + 15 + 40, 80);
    right = GetPixel(dc, 487 + 13 + 40, 80);
    backdrop = GetPixel(dc, 300, 100);
    ReleaseDC(window, dc);
    return left == RGB(0, 0xC0, 0) && right == RGB(0, 0, 0xC0);
  };
  wine_test::WaitFor(readPixels, 2500);
  EXPECT_EQ(RGB(0, 0xC0, 0), left);
  EXPECT_EQ(RGB(0, 0, 0xC0), right);
  EXPECT_NE(RGB(0, 0xC0, 0), backdrop);
  ASSERT_TRUE(run.WaitExit(15000));
  // The extracted sheets are working files: gone with the window.
  EXPECT_FALSE(platform::FileExists(bin + "mapc020.tga"));
  platform::DeleteRegistryTree(kSettingsKey);
}

}  // namespace
