#include "ui/graphics.h"

#include <algorithm>
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

}  // namespace

bool DecodeBmp(std::string_view bytes, Bitmap& picture) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const uint32_t dataOffset = Little32(bytes, 10);
  const int32_t width = static_cast<int32_t>(Little32(bytes, 18));
  const int32_t rawHeight = static_cast<int32_t>(Little32(bytes, 22));
  const int bits = Little16(bytes, 28);
  const uint32_t compression = Little32(bytes, 30);
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || width > 16384) return false;
  if ((bits != 24 && bits != 32) || compression != 0) return false;
  const bool bottomUp = rawHeight > 0;
  const int height = bottomUp ? rawHeight : -rawHeight;
  if (height > 16384) return false;
  const size_t stride = ((static_cast<size_t>(width) * bits / 8) + 3) & ~size_t(3);
  if (dataOffset > bytes.size() || (bytes.size() - dataOffset) / stride < static_cast<size_t>(height))
    return false;

  picture.Resize(width, height);
  picture.hasAlpha = bits == 32;
  for (int y = 0; y < height; ++y) {
    const size_t row = dataOffset + stride * static_cast<size_t>(bottomUp ? height - 1 - y : y);
    for (int x = 0; x < width; ++x) {
      const size_t at = row + static_cast<size_t>(x) * (bits / 8);
      const uint32_t b = static_cast<uint8_t>(bytes[at]);
      const uint32_t g = static_cast<uint8_t>(bytes[at + 1]);
      const uint32_t r = static_cast<uint8_t>(bytes[at + 2]);
      const uint32_t a = bits == 32 ? static_cast<uint8_t>(bytes[at + 3]) : 255;
      picture.At(x, y) = b | g << 8 | r << 16 | a << 24;
    }
  }
  return true;
}

void BlendOnto(uint32_t* target, int targetWidth, int targetHeight, const Bitmap& source, int left,
               int top) {
  // Only the part of the picture that lies on the target is visited: a window repaints small
  // rectangles of a large backdrop many times a second.
  const int x0 = std::max(0, -left), x1 = std::min(source.width, targetWidth - left);
  const int y0 = std::max(0, -top), y1 = std::min(source.height, targetHeight - top);
  for (int y = y0; y < y1; ++y) {
    uint32_t* row = target + static_cast<size_t>(top + y) * targetWidth;
    for (int x = x0; x < x1; ++x) {
      const uint32_t s = source.At(x, y);
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
