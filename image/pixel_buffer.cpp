#include "image/pixel_buffer.h"

#include <cstddef>
#include <new>

PixelBuffer::PixelBuffer() { Resize(1, 1); }

PixelBuffer::~PixelBuffer() { PixelBuffer::FreePixels(); }

void PixelBuffer::FreePixels() {
  delete[] pixels_;
  pixels_ = nullptr;
}

bool PixelBuffer::Resize(int32_t width, int32_t height) {
  FreePixels();
  width_ = width < 1 ? 1 : width;
  height_ = height < 1 ? 1 : height;
  const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  pixels_ = new (std::nothrow) uint32_t[count]();  // zeroed, like a fresh DIB section
  return pixels_ != nullptr;
}

uint32_t* PixelBuffer::PixelAt(int32_t x, int32_t y) {
  if (!pixels_ || x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
  return pixels_ + static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
}

const uint32_t* PixelBuffer::PixelAt(int32_t x, int32_t y) const {
  return const_cast<PixelBuffer*>(this)->PixelAt(x, y);
}

void PixelBuffer::SetPixel(int32_t x, int32_t y, uint32_t value) {
  if (uint32_t* pixel = PixelAt(x, y)) *pixel = value;
}
