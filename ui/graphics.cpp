#include "ui/graphics.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

namespace ui {
namespace {

uint32_t Little32(std::string_view b, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}
uint16_t Little16(std::string_view b, size_t at) {
  uint16_t v = 0;
  std::memcpy(&v, b.data() + at, 2);
  return v;
}

// The header fields of an uncompressed 24- or 32-bit bitmap whose rows all lie in `bytes`. A
// 32-bit bitmap has alpha, unless its bit fields name red, green and blue only: then it is a
// 24-bit colour picture kept in 32-bit words, which a program can use where it lies.
struct BmpLayout {
  uint32_t dataOffset;
  int width, height, bits;
  bool bottomUp, alpha;
  size_t stride;
};

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;

bool ReadBmpLayout(std::string_view bytes, BmpLayout& l) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  l.dataOffset = Little32(bytes, 10);
  l.width = static_cast<int32_t>(Little32(bytes, 18));
  const int32_t rawHeight = static_cast<int32_t>(Little32(bytes, 22));
  l.bits = Little16(bytes, 28);
  const uint32_t compression = Little32(bytes, 30);
  if (l.width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || l.width > 16384) return false;
  if (l.bits != 24 && l.bits != 32) return false;
  if (compression == kBiBitfields) {
    // The masks follow a 40-byte header.
    if (l.bits != 32 || Little32(bytes, 14) != 40 || bytes.size() < 66 || Little32(bytes, 54) != 0x00FF0000u ||
        Little32(bytes, 58) != 0x0000FF00u || Little32(bytes, 62) != 0x000000FFu)
      return false;
  } else if (compression != kBiRgb) {
    return false;
  }
  l.alpha = l.bits == 32 && compression == kBiRgb;
  l.bottomUp = rawHeight > 0;
  l.height = l.bottomUp ? rawHeight : -rawHeight;
  if (l.height > 16384) return false;
  l.stride = ((static_cast<size_t>(l.width) * l.bits / 8) + 3) & ~size_t(3);
  return l.dataOffset <= bytes.size() && (bytes.size() - l.dataOffset) / l.stride >= static_cast<size_t>(l.height);
}

}  // namespace

bool DecodeBmp(std::string_view bytes, Bitmap& picture) {
  BmpLayout l;
  if (!ReadBmpLayout(bytes, l)) return false;
  picture.Resize(l.width, l.height);
  picture.hasAlpha = l.alpha;
  uint32_t* out = picture.MutablePixels();
  for (int y = 0; y < l.height; ++y) {
    const size_t row = l.dataOffset + l.stride * static_cast<size_t>(l.bottomUp ? l.height - 1 - y : y);
    for (int x = 0; x < l.width; ++x, ++out) {
      const size_t at = row + static_cast<size_t>(x) * (l.bits / 8);
      const uint32_t b = static_cast<uint8_t>(bytes[at]);
      const uint32_t g = static_cast<uint8_t>(bytes[at + 1]);
      const uint32_t r = static_cast<uint8_t>(bytes[at + 2]);
      const uint32_t a = l.alpha ? static_cast<uint8_t>(bytes[at + 3]) : 255;
      *out = b | g << 8 | r << 16 | a << 24;
    }
  }
  return true;
}

bool UseBmp(std::string_view bytes, Bitmap& picture) {
  BmpLayout l;
  if (!ReadBmpLayout(bytes, l)) return false;
  const char* pixels = bytes.data() + l.dataOffset;
  // A 32-bit row is the picture's row as it is kept: blue, green, red, alpha, little-endian.
  if (l.bits != 32 || l.bottomUp || reinterpret_cast<uintptr_t>(pixels) % alignof(uint32_t) != 0 ||
      std::endian::native != std::endian::little)
    return DecodeBmp(bytes, picture);
  picture.Borrow(l.width, l.height, reinterpret_cast<const uint32_t*>(pixels));
  picture.hasAlpha = l.alpha;
  return true;
}

void BlendOnto(uint32_t* target, int targetWidth, int targetHeight, const Bitmap& source, int left,
               int top) {
  // Only the part of the picture that lies on the target is visited: a window repaints small
  // rectangles of a large backdrop many times a second.
  const int x0 = std::max(0, -left), x1 = std::min(source.width, targetWidth - left);
  const int y0 = std::max(0, -top), y1 = std::min(source.height, targetHeight - top);
  const uint32_t* pixels = source.Pixels();
  for (int y = y0; y < y1; ++y) {
    uint32_t* row = target + static_cast<size_t>(top + y) * targetWidth;
    const uint32_t* from = pixels + static_cast<size_t>(y) * source.width;
    for (int x = x0; x < x1; ++x) {
      const uint32_t s = from[x];
      const uint32_t a = source.hasAlpha ? s >> 24 : 255;
      if (a == 255) {
        row[left + x] = s | 0xFF000000u;
        continue;
      }
      if (a == 0) continue;
      const uint32_t d = row[left + x];
      uint32_t out = 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
      }
      row[left + x] = out;
    }
  }
}

}  // namespace ui
