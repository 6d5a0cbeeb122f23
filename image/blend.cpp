#include "image/blend.h"

namespace {

uint32_t BlendPixel(uint32_t d, uint32_t s, uint32_t constantAlpha) {
  const int a = static_cast<int>((s >> 24) * constantAlpha / 255);
  if (a == 0) return d;
  if (a == 255) return s;
  uint32_t out = d & 0xFF000000u;  // the destination keeps its alpha
  for (int shift = 0; shift < 24; shift += 8) {
    const int sc = static_cast<int>((s >> shift) & 0xFF), dc = static_cast<int>((d >> shift) & 0xFF);
    const int mixed = dc + (((sc - dc) * (a + 1)) >> 8);  // arithmetic shift: rounds toward -inf
    out |= static_cast<uint32_t>(mixed) << shift;
  }
  return out;
}

}  // namespace

bool BlendRect(PixelBuffer& destination, const BlendSpec& blend, int32_t dx, int32_t dy,
               const PixelBuffer& source, int32_t sx, int32_t sy, int32_t w, int32_t h) {
  const int32_t SW = source.BufferWidth(), SH = source.BufferHeight();
  const int32_t DW = destination.BufferWidth(), DH = destination.BufferHeight();
  if (w + dx <= 0 || h + dy <= 0 || dx >= DW || dy >= DH || sx >= SW || sy >= SH || sx + w < 0 || sy + h < 0)
    return false;
  if (sx + w >= SW) w = SW - sx;
  if (sy + h >= SH) h = SH - sy;
  if (sx < 0) dx -= sx, w += sx, sx = 0;
  if (sy < 0) dy -= sy, h += sy, sy = 0;
  if (dx < 0) sx -= dx, w += dx, dx = 0;
  if (dy < 0) sy -= dy, h += dy, dy = 0;
  if (dx + w > DW) w = DW - dx;
  if (dy + h > DH) h = DH - dy;
  if (w <= 0 || h <= 0) return false;
  for (int32_t r = dy; r < dy + h; ++r) {
    const uint32_t* from = source.PixelAt(sx, sy + (r - dy));
    uint32_t* to = destination.PixelAt(dx, r);
    if (!from || !to) return false;  // a buffer without its block
    for (int32_t i = 0; i < w; ++i) to[i] = BlendPixel(to[i], from[i], blend.constantAlpha);
  }
  return true;
}
