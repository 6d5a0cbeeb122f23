#pragma once
// Colours, fonts and 32-bit pictures shared by the component layer and its backends.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// A colour as the design tables write it: red in the low byte, blue in the high byte.
using Color = uint32_t;
constexpr Color Rgb(int r, int g, int b) { return Color(r) | Color(g) << 8 | Color(b) << 16; }
constexpr int RedOf(Color c) { return c & 0xFF; }
constexpr int GreenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(Color c) { return (c >> 16) & 0xFF; }
constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kGray = Rgb(128, 128, 128);
constexpr Color kYellow = Rgb(255, 255, 0);
constexpr Color kButtonFace = Rgb(240, 240, 240);

enum class Charset { ShiftJis, Default };

struct Font {
  std::string name = "MS UI Gothic";
  int size = 9;  // points at 96 dpi; 9 points are 12 pixels
  bool bold = false;
  Color color = kBlack;
  Charset charset = Charset::ShiftJis;

  // Character height in pixels, rounded as the designs' pixel sizes were made from points.
  int PixelHeight() const { return (size * 96 + 36) / 72; }
};

inline Font FontOfPixels(int pixels, bool bold = false, Color color = kBlack) {
  Font font;
  font.size = pixels * 72 / 96;
  font.bold = bold;
  font.color = color;
  return font;
}

struct Size {
  int width = 0;
  int height = 0;
};

// 32-bit pixels, top row first, bytes blue, green, red, alpha. The pixels are the picture's own,
// or borrowed, read-only, from memory that outlives every picture (a picture among the
// program's resources, used where it lies): the first change through MutablePixels or the
// non-const At makes them its own.
struct Bitmap {
  int width = 0;
  int height = 0;
  bool hasAlpha = false;  // false: alpha bytes are meaningless and the picture is opaque

  bool Empty() const { return width <= 0 || height <= 0; }
  void Resize(int w, int h) {
    width = w;
    height = h;
    borrowed_ = nullptr;
    own_.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  }
  void Borrow(int w, int h, const uint32_t* pixels) {
    width = w;
    height = h;
    borrowed_ = pixels;
    own_ = {};
  }
  bool Borrowed() const { return borrowed_ != nullptr; }
  const uint32_t* Pixels() const { return borrowed_ ? borrowed_ : own_.data(); }
  uint32_t* MutablePixels() {
    if (borrowed_) {
      own_.assign(borrowed_, borrowed_ + static_cast<size_t>(width) * static_cast<size_t>(height));
      borrowed_ = nullptr;
    }
    return own_.data();
  }
  uint32_t& At(int x, int y) { return MutablePixels()[static_cast<size_t>(y) * width + x]; }
  uint32_t At(int x, int y) const { return Pixels()[static_cast<size_t>(y) * width + x]; }

 private:
  std::vector<uint32_t> own_;
  const uint32_t* borrowed_ = nullptr;
};

// Decodes an uncompressed 24- or 32-bit Windows bitmap file; false on anything else. A 32-bit
// one has alpha, unless its bit fields name red, green and blue only (an opaque picture).
bool DecodeBmp(std::string_view bytes, Bitmap& picture);

// DecodeBmp for bytes that outlive every picture (the program's resources): a 32-bit top-down
// bitmap whose pixels are aligned for 32-bit reads is used where it lies, without a copy (an
// opaque one then keeps its unused fourth bytes as stored).
bool UseBmp(std::string_view bytes, Bitmap& picture);

// Draws `source` at (left, top) of a 32-bit pixel block, blending by its alpha when it has one.
void BlendOnto(uint32_t* target, int targetWidth, int targetHeight, const Bitmap& source, int left,
               int top);
inline void BlendOnto(Bitmap& target, const Bitmap& source, int left, int top) {
  BlendOnto(target.MutablePixels(), target.width, target.height, source, left, top);
}

}  // namespace ui
