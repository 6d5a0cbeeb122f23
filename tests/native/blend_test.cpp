// Per-pixel alpha blending of one pixel buffer onto another, with its clipping rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "image/blend.h"

namespace {

// A buffer whose block lies between two guard zones of known pixels, so that a write past an
// edge of the block shows.
class GuardedBuffer : public PixelBuffer {
 public:
  static constexpr uint32_t kGuard = 0x5EA15EA1;
  static constexpr int kGuardPixels = 64;

  GuardedBuffer() {
    PixelBuffer::FreePixels();  // the block the base made for itself
    Resize(1, 1);
  }
  ~GuardedBuffer() override { GuardedBuffer::FreePixels(); }
  void FreePixels() override {
    storage_.clear();
    pixels_ = nullptr;
  }
  bool Resize(int32_t width, int32_t height) override {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    storage_.assign(count + 2 * kGuardPixels, kGuard);
    pixels_ = storage_.data() + kGuardPixels;
    std::fill(pixels_, pixels_ + count, 0u);
    return true;
  }
  bool GuardsIntact() const {
    const auto intact = [](uint32_t v) { return v == kGuard; };
    return std::all_of(storage_.begin(), storage_.begin() + kGuardPixels, intact) &&
           std::all_of(storage_.end() - kGuardPixels, storage_.end(), intact);
  }

 private:
  std::vector<uint32_t> storage_;
};

PixelBuffer& Fill(PixelBuffer& buffer, int w, int h, uint32_t value) {
  EXPECT_TRUE(buffer.Resize(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) buffer.SetPixel(x, y, value);
  return buffer;
}

TEST(BlendRect, AlphaDecidesHowMuchOfTheSourceShows) {
  struct Case {
    uint32_t destination, source, expected;
  } cases[] = {
      {0x11223344, 0x00FFFFFF, 0x11223344},  // alpha 0: unchanged
      {0x11223344, 0xFFABCDEF, 0xFFABCDEF},  // alpha 255: the source, alpha byte included
      {0xFF000000, 0x80FFFFFF, 0xFF808080},  // 128 over black: (255 * 129) >> 8 = 128
      {0x00FFFFFF, 0x80000000, 0x007E7E7E},  // 255 + (-32895 >> 8): rounds toward minus infinity
      {0x20102030, 0x01FFFFFF, 0x20112131},  // alpha 1 still moves each channel
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.destination << " <- " << c.source);
    PixelBuffer destination, source;
    Fill(destination, 1, 1, c.destination);
    Fill(source, 1, 1, c.source);
    EXPECT_TRUE(BlendRect(destination, BlendSpec{}, 0, 0, source, 0, 0, 1, 1));
    EXPECT_EQ(c.expected, *destination.PixelAt(0, 0));
  }
}

TEST(BlendRect, ConstantAlphaScalesThePixelAlpha) {
  PixelBuffer destination, source;
  Fill(destination, 1, 1, 0xFF000000);
  Fill(source, 1, 1, 0xFFFFFFFF);
  BlendSpec half;
  half.constantAlpha = 128;  // effective alpha 255 * 128 / 255 = 128
  BlendRect(destination, half, 0, 0, source, 0, 0, 1, 1);
  EXPECT_EQ(0xFF808080u, *destination.PixelAt(0, 0));
}

// A 4 x 3 source whose pixels name their own position, onto an empty 5 x 5 destination.
struct ClipCase {
  const char* what;
  int dx, dy, sx, sy, w, h;
  bool drawn;
  int firstX, firstY;    // destination position of the first pixel drawn
  uint32_t firstSource;  // which source pixel landed there (x + 16 y)
  int drawnCount;
};

TEST(BlendRect, ClipsToBothBuffers) {
  const ClipCase cases[] = {
      {"inside", 1, 1, 0, 0, 4, 3, true, 1, 1, 0x00, 12},
      {"margin column left of the source lands one further right", 0, 0, -1, -1, 6, 5, true, 1, 1, 0x00, 12},
      {"negative destination cuts the source", -2, -1, 0, 0, 4, 3, true, 0, 0, 0x12, 4},
      {"past the destination's right edge", 3, 0, 0, 0, 4, 3, true, 3, 0, 0x00, 6},
      {"past the destination's bottom edge", 0, 3, 0, 0, 4, 3, true, 0, 3, 0x00, 8},
      {"source corner reaching to its edge takes the rest", 0, 0, 2, 1, 9, 9, true, 0, 0, 0x12, 4},
      {"entirely left of the destination", -4, 0, 0, 0, 4, 3, false, 0, 0, 0, 0},
      {"source starts past its width", 0, 0, 4, 0, 4, 3, false, 0, 0, 0, 0},
      {"source ends before it starts", 0, 0, -5, 0, 4, 3, false, 0, 0, 0, 0},
      {"destination starts past its height", 0, 5, 0, 0, 4, 3, false, 0, 0, 0, 0},
  };
  for (const ClipCase& c : cases) {
    SCOPED_TRACE(c.what);
    GuardedBuffer destination;
    PixelBuffer source;
    Fill(destination, 5, 5, 0x00000000);
    ASSERT_TRUE(source.Resize(4, 3));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) source.SetPixel(x, y, 0xFF000000u | static_cast<uint32_t>(x + 16 * y));
    EXPECT_EQ(c.drawn, BlendRect(destination, BlendSpec{}, c.dx, c.dy, source, c.sx, c.sy, c.w, c.h));
    int count = 0;
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) count += *destination.PixelAt(x, y) != 0;
    EXPECT_EQ(c.drawnCount, count);
    EXPECT_TRUE(destination.GuardsIntact());
    if (c.drawn) {
      EXPECT_EQ(0xFF000000u | c.firstSource, *destination.PixelAt(c.firstX, c.firstY));
    }
  }
}

TEST(PixelBuffer, StartsOneByOneAndNeverBelow) {
  PixelBuffer buffer;
  EXPECT_EQ(1, buffer.BufferWidth());
  EXPECT_EQ(1, buffer.BufferHeight());
  EXPECT_TRUE(buffer.Resize(0, -3));
  EXPECT_EQ(1, buffer.BufferWidth());
  EXPECT_EQ(1, buffer.BufferHeight());
}

TEST(PixelBuffer, PlacesOutsideTheBufferAreNeitherGivenNorWritten) {
  GuardedBuffer buffer;
  ASSERT_TRUE(buffer.Resize(3, 2));
  auto own = [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x + 16 * y); };
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) buffer.SetPixel(x, y, own(x, y));
  struct Place {
    int x, y;
  };
  // Past each edge, and places whose row-major index would still fall inside the block.
  const Place outside[] = {{3, 0}, {-1, 1}, {0, 2}, {0, -1}, {-1, 0}, {3, 1}, {2, 2}, {-1, -1}, {5, 5}, {-4, 1}};
  for (const Place& p : outside) {
    SCOPED_TRACE(testing::Message() << p.x << ", " << p.y);
    EXPECT_EQ(nullptr, buffer.PixelAt(p.x, p.y));
    buffer.SetPixel(p.x, p.y, 0x12345678);
  }
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(own(x, y), *buffer.PixelAt(x, y)) << x << ", " << y;
  EXPECT_TRUE(buffer.GuardsIntact());
}

}  // namespace
