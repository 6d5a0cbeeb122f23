// Without a windowing system the surface is a plain pixel block.
#include "image/dib_surface.h"

DibSurface::DibSurface() { Resize(8, 8); }
DibSurface::~DibSurface() { DibSurface::FreePixels(); }
void DibSurface::FreePixels() { PixelBuffer::FreePixels(); }
bool DibSurface::Resize(int32_t width, int32_t height) { return PixelBuffer::Resize(width, height); }
