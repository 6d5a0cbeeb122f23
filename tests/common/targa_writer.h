#pragma once
// The sprite sheets the tests give the program, written byte by byte: 32-bit uncompressed TGA
// files stored top row first (descriptor 0x28: top-down, 8 alpha bits), pixels as 0xAARRGGBB
// stored little-endian (blue, green, red, alpha). Shared by the native and the Wine tests.
#include <cstdint>
#include <functional>
#include <string>

namespace test_fixtures {

inline std::string TargaSheet(int width, int height, const std::function<uint32_t(int x, int y)>& pixelAt) {
  std::string tga(18, '\0');
  tga[2] = 2;  // uncompressed true colour
  tga[12] = static_cast<char>(width & 0xFF);
  tga[13] = static_cast<char>(width >> 8 & 0xFF);
  tga[14] = static_cast<char>(height & 0xFF);
  tga[15] = static_cast<char>(height >> 8 & 0xFF);
  tga[16] = 32;
  tga[17] = 0x28;  // top-down, 8 alpha bits
  tga.reserve(18 + 4 * static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t v = pixelAt(x, y);
      for (int k = 0; k < 4; ++k) tga += static_cast<char>(v >> (8 * k) & 0xFF);
    }
  return tga;
}

}  // namespace test_fixtures
