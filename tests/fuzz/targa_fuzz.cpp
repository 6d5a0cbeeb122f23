// libFuzzer target for the TGA reader: any bytes, read from memory through the same stdio
// stream code that reads files, then carried through colour-map expansion and the copy into a
// pixel buffer exactly as LoadTargaInto does after opening its file. Address, leak and
// undefined-behaviour sanitizers judge every access; the checks below add what they cannot see.
#include <stdio.h>

#include <cstdint>
#include <cstdlib>

#include "image/pixel_buffer.h"
#include "image/targa.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
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

  // Every position of the picture, through the addressing the copy uses; the sanitizers catch
  // an address outside the pixel block when it is read.
  uint8_t blue = 0;
  for (uint32_t y = 0; y < image.height; y += 1 + image.height / 8)
    for (uint32_t x = 0; x < image.width; x += 1 + image.width / 8)
      Check(UnpackPixel(PixelAddress(image, x, y), image.pixelDepth, &blue, nullptr, nullptr,
                        nullptr) == kTargaOk);
  Check(!PixelAddress(image, image.width, 0) && !PixelAddress(image, 0, image.height));

  const bool mapped = image.colourMapType == 1;
  const uint16_t width = image.width, height = image.height;
  PixelBuffer buffer;
  const bool stored = StoreTargaInto(&buffer, image);  // expands the map, releases the image
  Check(!image.imageId && !image.colourMap && !image.pixels);
  Check(stored || mapped);  // only a colour index outside the map can stop a read image
  if (stored) Check(buffer.BufferWidth() == width && buffer.BufferHeight() == height);
  return 0;
}
