#include <windows.h>

#include "image/dib_surface.h"

DibSurface::DibSurface() { Resize(8, 8); }

DibSurface::~DibSurface() { DibSurface::FreePixels(); }

void DibSurface::FreePixels() {
  if (!bitmap_) PixelBuffer::FreePixels();  // the block the base buffer was born with
  if (dc_) {
    SelectObject(static_cast<HDC>(dc_), static_cast<HGDIOBJ>(previous_));
    DeleteDC(static_cast<HDC>(dc_));
  }
  if (bitmap_) DeleteObject(static_cast<HGDIOBJ>(bitmap_));
  dc_ = bitmap_ = previous_ = nullptr;
  pixels_ = nullptr;  // the pixels were the section's
}

bool DibSurface::Resize(int32_t width, int32_t height) {
  FreePixels();
  width_ = width < 1 ? 1 : width;
  height_ = height < 1 ? 1 : height;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HWND desktop = GetDesktopWindow();
  HDC screen = GetDC(desktop);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = section ? CreateCompatibleDC(screen) : nullptr;
  ReleaseDC(desktop, screen);
  if (!section || !memory) {
    if (section) DeleteObject(section);
    return false;
  }
  bitmap_ = section;
  dc_ = memory;
  previous_ = SelectObject(memory, section);
  pixels_ = static_cast<uint32_t*>(bits);
  return true;
}
