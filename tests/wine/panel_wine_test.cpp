// Panels of the component layer as real windows: a single border is the system's sunken edge
// around the client area, and the face and bevels fill what lies within it.
// The backend's own header first: it takes back the macros <windows.h> makes of the layer's
// names (DrawText, MessageBox).
#include "ui/win32/common.h"

#include <gtest/gtest.h>

#include "tests/wine/input_helper.h"

namespace {

using wine_test::PumpMessages;

constexpr ui::Color kFace = ui::Rgb(242, 100, 127);

HWND HandleOf(const ui::WinControl& control) {
  auto* peer = static_cast<ui::win32::WinPeer*>(control.GetPeer());
  return peer ? peer->Handle() : nullptr;
}

COLORREF PixelAt(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return colour;
}

TEST(PanelWine, ASingleBorderIsASunkenEdgeAroundTheClientArea) {
  ui::Form form;
  form.caption = "M2K panel test";
  form.SetClientSize(220, 100);
  ui::Panel *plain = nullptr, *bordered = nullptr;
  form.Build({
      ui::Bind(plain, {.name = "pnlPlain", .left = 8, .top = 8, .width = 90, .height = 70, .color = kFace,
                       .useColor = true, .bevelOuter = ui::BevelCut::None, .bevelInner = ui::BevelCut::Lowered}),
      ui::Bind(bordered, {.name = "pnlBordered", .left = 110, .top = 8, .width = 90, .height = 70, .color = kFace,
                          .useColor = true, .bevelOuter = ui::BevelCut::None, .bevelInner = ui::BevelCut::Lowered,
                          .singleBorder = true}),
  });
  form.Show();
  PumpMessages(300);
  HWND plainWindow = HandleOf(*plain), borderedWindow = HandleOf(*bordered);
  ASSERT_NE(nullptr, plainWindow);
  ASSERT_NE(nullptr, borderedWindow);

  EXPECT_FALSE(GetWindowLongA(plainWindow, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(GetWindowLongA(borderedWindow, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  RECT outer{}, inner{};
  GetWindowRect(borderedWindow, &outer);
  GetClientRect(borderedWindow, &inner);
  EXPECT_EQ(90, outer.right - outer.left);
  EXPECT_EQ(70, outer.bottom - outer.top);
  const int edgeX = GetSystemMetrics(SM_CXEDGE), edgeY = GetSystemMetrics(SM_CYEDGE);
  EXPECT_EQ(90 - 2 * edgeX, inner.right);
  EXPECT_EQ(70 - 2 * edgeY, inner.bottom);

  // Inside each client area: the face in the middle, the lowered bevel on all four sides.
  struct Probe {
    HWND window;
    int width, height;
  };
  for (const Probe& p : {Probe{plainWindow, 90, 70}, Probe{borderedWindow, inner.right, inner.bottom}}) {
    SCOPED_TRACE(p.window == plainWindow ? "plain" : "bordered");
    EXPECT_EQ(RGB(242, 100, 127), PixelAt(p.window, p.width / 2, p.height / 2));
    EXPECT_NE(RGB(242, 100, 127), PixelAt(p.window, 0, 0));
    EXPECT_NE(RGB(242, 100, 127), PixelAt(p.window, p.width - 1, p.height - 1));
    EXPECT_EQ(RGB(242, 100, 127), PixelAt(p.window, p.width - 2, p.height - 2));
  }
  form.Hide();
}

}  // namespace
