// The character figures: cut from their sheets with a one-pixel margin, centred in their box,
// blended over the backdrop behind the box.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "data/Untdata.h"
#include "data/sprites.h"
#include "tests/native/native_support.h"
#include "tests/common/targa_writer.h"

namespace {

using native_support::MakeFile;

constexpr uint32_t kClear = 0x00000000;

// Writes a 32-bit uncompressed top-down sheet whose pixels come from `pixel`.
void WriteSheet(const std::string& path, int w, int h, const std::function<uint32_t(int, int)>& pixel) {
  MakeFile(path, test_fixtures::TargaSheet(w, h, pixel));
}

std::vector<uint32_t> PixelsOf(const ui::Bitmap& b) {
  return {b.Pixels(), b.Pixels() + static_cast<size_t>(b.width) * b.height};
}

// A backdrop whose every pixel names its place: 0xFF000000 | x << 8 | y.
ui::Bitmap Backdrop(int w, int h) {
  ui::Bitmap b;
  b.Resize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.At(x, y) = 0xFF000000u | static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y);
  return b;
}

class Figures : public ::testing::Test {
 protected:
  void SetUp() override {
    native_support::ResetMachine();
    ASSERT_TRUE(work.Made());
    std::filesystem::current_path(work.Posix());
    form.Build({ui::Bind(back, {.name = "imgBack", .width = 600, .height = 176}),
                ui::Bind(left, {.name = "imgLeft", .left = -7, .width = 120, .height = 176}),
                ui::Bind(right, {.name = "imgRight", .left = 487, .width = 120, .height = 176})});
    back->SetPicture(Backdrop(600, 176));
  }
  void TearDown() override { native_support::ResetMachine(); }

  std::string Sheet(const char* name) const { return work.Child(name); }
  static uint32_t At(ui::Image* image, int x, int y) { return image->Picture().At(x, y); }
  static uint32_t BackAt(int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y); }

  native_support::TempFolder work;
  native_support::CurrentFolderGuard guard;
  ui::Form form;
  ui::Image *back, *left, *right;
  TfrmData data;
};

TEST_F(Figures, SheetAlphaBlendsOverTheBackdropBehindTheBox) {
  // Character 1, pose 0: (2, 1, 88, 174), so 90 x 176 centred at (15, 0) in the box.
  WriteSheet(Sheet("mapc020.tga"), 220, 400, [](int x, int y) -> uint32_t {
    if (y == 1 && x == 2) return 0xFFFF0000;   // opaque red
    if (y == 1 && x == 3) return 0x80FFFFFF;   // half white
    if (y == 1 && x == 4) return 0x00FFFFFF;   // clear white
    return kClear;
  });
  const int ox = 15, boxLeft = 487;
  ui::Bitmap backdrop = Backdrop(600, 176);
  backdrop.At(boxLeft + ox + 2, 1) = 0xFF000000u;  // black under the half-white pixel
  back->SetPicture(backdrop);
  data.DrawCharacter(1, 0, back, right, 0);
  EXPECT_EQ(0xFFFF0000u, At(right, ox + 1, 1));
  EXPECT_EQ(0xFF808080u, At(right, ox + 2, 1));  // (255 * 129) >> 8 = 128 in each channel
  EXPECT_EQ(BackAt(boxLeft + ox + 3, 1), At(right, ox + 3, 1));
  // The rest of the box shows the backdrop behind it; beyond the backdrop's edge nothing is copied.
  EXPECT_EQ(BackAt(boxLeft, 100), At(right, 0, 100));
  EXPECT_EQ(BackAt(599, 0), At(right, 599 - boxLeft, 0));
  EXPECT_EQ(0xFFFFFFFFu, At(right, 600 - boxLeft, 0));
}

TEST_F(Figures, FigureAtTheSheetsLeftEdgeLosesItsMarginColumn) {
  // Character 0, pose 0: (0, 1, 106, 174): the margin column would lie at x = -1.
  WriteSheet(Sheet("mapc010.tga"), 220, 400, [](int x, int y) -> uint32_t {
    return (x == 0 && y >= 1 && y < 175) ? 0xFF00FF00 : kClear;
  });
  data.DrawCharacter(0, 0, back, left, 0);
  const int ox = (120 - 108) / 2;
  EXPECT_EQ(0xFF00FF00u, At(left, ox + 1, 1));  // one pixel further right than a margin would put it
  EXPECT_NE(0xFF00FF00u, At(left, ox, 1));
  EXPECT_EQ(BackAt(-7 + ox + 2, 1), At(left, ox + 2, 1));
}

TEST_F(Figures, TallFigureHangsOnePixelAboveTheBox) {
  // Character 4, pose 0: (2, 0, 96, 176): 98 x 178 placed at (11, -1).
  WriteSheet(Sheet("mapc050.tga"), 220, 400, [](int x, int y) -> uint32_t {
    if (x == 2 && y == 0) return 0xFF0000FF;
    if (x == 2 && y == 175) return 0xFF00FFFF;
    return kClear;
  });
  data.DrawCharacter(4, 0, back, left, 0);
  EXPECT_EQ(0xFF0000FFu, At(left, 12, 0));
  EXPECT_EQ(0xFF00FFFFu, At(left, 12, 175));
}

TEST_F(Figures, RestingPosesComeFromTheRosterWithoutTouchingTheChipState) {
  // Character 9 rests in pose 4: (176, 185, 77, 171), a 79 x 173 area at (20, 1).
  WriteSheet(Sheet("mapc140.tga"), 260, 400, [](int x, int y) -> uint32_t {
    return (x == 176 && y == 185) ? 0xFFABCDEF : kClear;
  });
  WriteSheet(Sheet("mapc010.tga"), 220, 400, [](int x, int y) -> uint32_t {
    return (x == 0 && y == 1) ? 0xFF123456 : kClear;
  });
  data.counterSettings.char0 = 9;
  data.counterSettings.char1 = 0;
  data.ChipState[0] = {0, 2};
  data.ChipState[1] = {0, 1};
  data.DrawCharacters(-1, left, back, right);
  EXPECT_EQ(0xFFABCDEFu, At(left, 21, 2));
  EXPECT_EQ(0xFF123456u, At(right, 7, 1));
  EXPECT_EQ(2, data.ChipState[0].pose);
  EXPECT_EQ(1, data.ChipState[1].pose);
}

TEST_F(Figures, WithoutABackdropTheFigureStandsOnBlack) {
  // Character 1, pose 0: (2, 1, 88, 174), so 90 x 176 centred at (15, 0) in the box.
  WriteSheet(Sheet("mapc020.tga"), 220, 400, [](int x, int y) -> uint32_t {
    if (y == 1 && x == 2) return 0xFFFF0000;  // opaque red
    if (y == 1 && x == 3) return 0x80FFFFFF;  // half white
    return kClear;
  });
  ui::Bitmap shown;
  shown.Resize(120, 176);
  std::fill_n(shown.MutablePixels(), static_cast<size_t>(shown.width) * shown.height, 0xFF445566u);
  right->SetPicture(shown);
  data.DrawCharacter(1, 0, nullptr, right, 0);
  const int ox = 15;
  EXPECT_EQ(0xFFFF0000u, At(right, ox + 1, 1));
  EXPECT_EQ(0xFF808080u, At(right, ox + 2, 1)) << "half white over black: (255 * 129) >> 8";
  EXPECT_EQ(0xFF000000u, At(right, ox + 3, 1)) << "clear over black";
  EXPECT_EQ(0xFF000000u, At(right, ox, 0)) << "the margin too";
  EXPECT_EQ(0xFF445566u, At(right, ox - 1, 0)) << "outside the figure the box keeps what it showed";
}

TEST_F(Figures, MissingOrBrokenSheetLeavesTheBoxAsItWas) {
  ui::Bitmap shown;
  shown.Resize(120, 176);
  std::fill_n(shown.MutablePixels(), static_cast<size_t>(shown.width) * shown.height, 0xFF445566u);
  right->SetPicture(shown);
  data.DrawCharacter(1, 0, back, right, 0);  // no sheet at all
  MakeFile(Sheet("mapc020.tga"), "not a picture");
  data.DrawCharacter(1, 0, back, right, 0);
  data.DrawCharacter(1, 1, back, right, 0);  // a variant without a sheet
  data.DrawCharacter(1, 0, back, right, 7);  // a pose the character does not have
  EXPECT_EQ(PixelsOf(shown), PixelsOf(right->Picture()));
}

TEST_F(Figures, WalkingCycleGoesZeroOneTwoOne) {
  int counter = 5;
  ResetChip(3, counter, data.ChipState[1]);
  EXPECT_EQ(0, counter);
  std::vector<int> poses = {data.ChipState[1].pose};
  for (int tick = 0; tick < 6; ++tick) {
    StepChip(3, counter, data.ChipState[1]);
    poses.push_back(data.ChipState[1].pose);
  }
  EXPECT_EQ((std::vector<int>{0, 1, 2, 1, 0, 1, 2}), poses);
  EXPECT_EQ(0, data.ChipState[1].variant);
}

TEST(SpriteTables, EveryListHasItsLengthAndTheStandInPoses) {
  const int poseCounts[kRosterSize] = {3, 3, 16, 19, 9, 10, 8, 5, 10, 7};
  for (int c = 0; c < kRosterSize; ++c) {
    SCOPED_TRACE(c);
    int count = 0;
    while (ChipRects[c][count].variant != -1) ++count;
    EXPECT_EQ(poseCounts[c], count);
    const ChipRect& end = ChipRects[c][count];
    EXPECT_TRUE(end.x == -1 && end.y == -1 && end.width == -1 && end.height == -1);
    for (int pose = 3; pose < count; ++pose) {
      const ChipRect& r = ChipRects[c][pose];
      const bool resting = c == 9 && pose == 4;
      EXPECT_EQ(resting ? 176 : 4, r.x);
      EXPECT_EQ(resting ? 185 : 4, r.y);
      EXPECT_EQ(resting ? 77 : 104, r.width);
      EXPECT_EQ(resting ? 171 : 172, r.height);
    }
  }
  EXPECT_STREQ("mapc070.tg2", SpriteFiles[6][0]);
  EXPECT_STREQ("mapc140.tga", SpriteFiles[8][1]);
  EXPECT_EQ(nullptr, SpriteFiles[1][1]);
}

}  // namespace
