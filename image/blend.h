#pragma once
// Per-pixel alpha blending of one pixel buffer onto another.
#include "image/pixel_buffer.h"

// How BlendRect combines pixels. Mode 6, per-pixel alpha, is the one in use.
struct BlendSpec {
  uint8_t mode = 6;
  uint8_t constantAlpha = 255;
  uint32_t keyColour = 0;  // for keyed modes; per-pixel alpha ignores it
};

// Blends the w x h area of `source` at (sx, sy) onto `destination` at (dx, dy), clipped to both
// buffers; true when anything was drawn.
bool BlendRect(PixelBuffer& destination, const BlendSpec& blend, int32_t dx, int32_t dy,
               const PixelBuffer& source, int32_t sx, int32_t sy, int32_t w, int32_t h);
