// A window larger than one back buffer is painted in bands of rows: what it shows is the same
// as one buffer of the whole window would give, across every band edge.
// The backend's own header first: it takes back the macros <windows.h> makes of the layer's
// names (DrawText, MessageBox).
#include "ui/win32/common.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/wine/input_helper.h"

namespace {

using wine_test::PumpMessages;

constexpr int kWidth = 600, kHeight = 200;  // about 54 rows to a band
constexpr int kStripe = 100;                // the picture's left part: one colour per row

uint32_t Pixel(int red, int green, int blue) { return 0xFF000000u | uint32_t(red) << 16 | uint32_t(green) << 8 | uint32_t(blue); }

// Left of the stripe's edge each row has a colour of its own; right of it each column.
ui::Bitmap Backdrop() {
  ui::Bitmap picture;
  picture.Resize(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      picture.At(x, y) = x < kStripe ? Pixel(y, 0, 50) : Pixel(x & 0xFF, 200, 100);
  return picture;
}

std::vector<COLORREF> Block(HDC dc, int left, int top, int width, int height) {
  std::vector<COLORREF> pixels;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) pixels.push_back(GetPixel(dc, x, y));
  return pixels;
}

TEST(BandPaintWine, AWindowPaintedInBandsShowsEveryRowInPlace) {
  ui::Form form;
  form.caption = "M2K band test";
  form.SetClientSize(kWidth, kHeight);
  ui::Image* backdrop = nullptr;
  ui::Label *acrossEdge = nullptr, *withinBand = nullptr;
  const ui::Font font = ui::FontOfPixels(16);
  form.Build({
      ui::Bind(backdrop, {.name = "imgBack", .width = kWidth, .height = kHeight}),
      // Rows 46-62 cross the first band edge; rows 120-136 lie inside the third band.
      ui::Bind(acrossEdge, {.name = "lblAcross", .left = 200, .top = 46, .caption = "帯の境目", .font = font, .useFont = true, .autoSize = true}),
      ui::Bind(withinBand, {.name = "lblWithin", .left = 200, .top = 120, .caption = "帯の境目", .font = font, .useFont = true, .autoSize = true}),
  });
  backdrop->SetPicture(Backdrop());
  form.Show();
  PumpMessages(300);
  HWND hwnd = ui::win32::WindowOf(form)->hwnd;
  ASSERT_NE(nullptr, hwnd);

  HDC dc = GetDC(hwnd);
  for (int y = 0; y < kHeight; ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(RGB(y, 0, 50), GetPixel(dc, 0, y));
    EXPECT_EQ(RGB(y, 0, 50), GetPixel(dc, kStripe - 1, y));
    EXPECT_EQ(RGB((kWidth - 1) & 0xFF, 200, 100), GetPixel(dc, kWidth - 1, y));
  }
  ASSERT_EQ(acrossEdge->Width(), withinBand->Width());
  ASSERT_GT(acrossEdge->Width(), 0);
  const std::vector<COLORREF> across = Block(dc, 200, 46, acrossEdge->Width(), acrossEdge->Height());
  EXPECT_EQ(across, Block(dc, 200, 120, withinBand->Width(), withinBand->Height()));
  EXPECT_NE(across, Block(dc, 200, 180, acrossEdge->Width(), acrossEdge->Height())) << "the text is drawn";
  ReleaseDC(hwnd, dc);
  form.Hide();
}

}  // namespace
