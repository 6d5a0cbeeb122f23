#pragma once
// A pixel buffer whose pixels live in a drawing surface of the windowing system (a DIB section
// selected into a memory device context on Windows), so that they can be handed to GDI.
#include "image/pixel_buffer.h"

class DibSurface : public PixelBuffer {
 public:
  DibSurface();  // 8 x 8
  ~DibSurface() override;
  void FreePixels() override;
  bool Resize(int32_t width, int32_t height) override;
  void* SurfaceDC() const { return dc_; }  // the memory device context, where there is one

 private:
  void* bitmap_ = nullptr;
  void* dc_ = nullptr;
  void* previous_ = nullptr;
};

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
