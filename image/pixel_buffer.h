#pragma once
// A block of 32-bit pixels, top row first, each row left to right with no gap before the next
// (so a row can be walked from PixelAt(0, y)), each pixel A<<24 | R<<16 | G<<8 | B (memory
// order blue, green, red, alpha). Derived buffers keep their pixels elsewhere (a DIB section)
// and override how the block is made and released.
#include <cstdint>

class PixelBuffer {
 public:
  PixelBuffer();
  virtual ~PixelBuffer();
  PixelBuffer(const PixelBuffer&) = delete;
  PixelBuffer& operator=(const PixelBuffer&) = delete;

  virtual void FreePixels();
  // Frees the old block and makes one of width x height (each raised to at least 1); the new
  // pixels are undefined. False when the block cannot be had: the buffer then holds none.
  virtual bool Resize(int32_t width, int32_t height);

  uint32_t* PixelAt(int32_t x, int32_t y);  // null outside the buffer or without a block
  const uint32_t* PixelAt(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, uint32_t value);  // ignored outside the buffer
  int32_t BufferWidth() const { return width_; }
  int32_t BufferHeight() const { return height_; }

 protected:
  int32_t width_ = 1;
  int32_t height_ = 1;
  uint32_t* pixels_ = nullptr;
};
