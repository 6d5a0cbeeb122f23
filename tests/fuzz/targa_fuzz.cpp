// libFuzzer target for the TGA reader: any bytes, read from memory through the same stdio
// stream code that reads files, then carried through colour-map expansion and the copy into a
// pixel buffer exactly as LoadTargaInto does after opening its file. Address, leak and
// undefined-behaviour sanitizers judge every access; the checks below add what they cannot see,
// among them sampled pixels of the buffer against the same positions read one by one through
// PixelAddress and UnpackPixel.
#include <stdio.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "image/pixel_buffer.h"
#include "image/targa.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

// Sample positions along one side: a spread of about nine, the last one always among them.
std::vector<uint32_t> Samples(uint32_t size) {
  std::vector<uint32_t> at;
  for (uint32_t i = 0; i < size; i += 1 + size / 8) at.push_back(i);
  if (at.back() != size - 1) at.push_back(size - 1);
  return at;
}

// What the buffer must hold at (x, y), found pixel by pixel through the addressing and unpacking
// functions, independently of the row-wise copy: the colour-map entry of an index, alpha 255
// unless the pixels are 32-bit. An index outside the map gives nullopt.
std::optional<uint32_t> ExpectedAt(const TargaImage& image, uint32_t x, uint32_t y) {
  const uint8_t* pixel = PixelAddress(image, x, y);
  uint8_t depth = image.pixelDepth;
  if (image.colourMapType == 1) {
    if (*pixel >= image.colourMapOrigin + image.colourMapLength) return std::nullopt;
    depth = image.colourMapDepth;
    pixel = image.colourMap + size_t{*pixel} * (depth / 8);
  }
  uint8_t blue = 0, green = 0, red = 0, alpha = 0;
  Check(UnpackPixel(pixel, depth, &blue, &green, &red, &alpha) == kTargaOk);
  if (depth != 32) alpha = 255;
  return uint32_t{alpha} << 24 | uint32_t{red} << 16 | uint32_t{green} << 8 | blue;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!stream) return 0;

  TargaImage image;
  const uint8_t code = ReadTargaFromStream(image, stream);
  fclose(stream);
  Check(TargaMessage(code) != nullptr);
  // Only the codes this reader can give, and a failed read keeps nothing.
  Check(code <= kTargaCorruptRle && code != kTargaWriteFailed && code != kTargaNotColourMapped);
  if (code != kTargaOk) {
    Check(!image.imageId && !image.colourMap && !image.pixels);
    return 0;
  }
  Check(image.width > 0 && image.height > 0 && image.pixels);
  Check((image.idLength > 0) == (image.imageId != nullptr));
  Check((image.colourMapType == 1) == (image.colourMap != nullptr));

  // Sample positions of the picture, each through the addressing and unpacking; the sanitizers
  // catch an address outside the pixel block when it is read.
  const std::vector<uint32_t> columns = Samples(image.width), rows = Samples(image.height);
  std::vector<std::optional<uint32_t>> expected;
  for (uint32_t y : rows)
    for (uint32_t x : columns) expected.push_back(ExpectedAt(image, x, y));
  Check(!PixelAddress(image, image.width, 0) && !PixelAddress(image, 0, image.height));

  const bool mapped = image.colourMapType == 1;
  const uint16_t width = image.width, height = image.height;
  PixelBuffer buffer;
  const bool stored = StoreTargaInto(&buffer, image);  // expands the map, releases the image
  Check(!image.imageId && !image.colourMap && !image.pixels);
  Check(stored || mapped);  // only a colour index outside the map can stop a read image
  if (!stored) return 0;
  Check(buffer.BufferWidth() == width && buffer.BufferHeight() == height);
  size_t k = 0;
  for (uint32_t y : rows)
    for (uint32_t x : columns) {
      const std::optional<uint32_t>& value = expected[k++];
      Check(value && *buffer.PixelAt(int32_t(x), int32_t(y)) == *value);
    }
  return 0;
}
