#pragma once
// Module targa: the reader of the TGA sprite sheets. It reads one file into a TargaImage record,
// validates the header, undoes run-length encoding, expands colour maps to true colour and copies
// the picture into a PixelBuffer, top row first, left column first, whatever the file's storage
// order. Plain functions over one record with numeric result codes; nothing here throws.
#include <cstdint>
#include <cstdio>

class PixelBuffer;

// One decoded file. The three blocks are owned by the record (std::malloc'd) and are null when
// absent; ReleaseTarga frees them.
struct TargaImage {
  uint8_t idLength = 0;
  uint8_t colourMapType = 0;  // 0 none, 1 present
  uint8_t imageType = 0;      // 1 mapped, 2 true colour, 3 grey; 9, 10, 11 the same with RLE
  uint16_t colourMapOrigin = 0;
  uint16_t colourMapLength = 0;
  uint8_t colourMapDepth = 0;
  uint16_t xOrigin = 0;  // kept, never used
  uint16_t yOrigin = 0;  // kept, never used
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t pixelDepth = 0;
  uint8_t descriptor = 0;  // 0x10: columns right to left; 0x20: rows top to bottom
  uint8_t* imageId = nullptr;
  // (origin + length) entries; the first origin entries are not in the file and read as zero.
  uint8_t* colourMap = nullptr;
  // width x height x pixelDepth / 8 bytes in the file's storage order, never run-length encoded.
  uint8_t* pixels = nullptr;
};

// Result codes; each has a fixed message (TargaMessage). 3 and 17 are never produced here.
enum : uint8_t {
  kTargaOk = 0,
  kTargaOpenFailed = 1,
  kTargaEndOfFile = 2,
  kTargaWriteFailed = 3,
  kTargaBadColourMapType = 4,
  kTargaBadImageType = 5,
  kTargaNoImageData = 6,
  kTargaMissingColourMap = 7,
  kTargaExtraneousColourMap = 8,
  kTargaEmptyColourMap = 9,
  kTargaBadColourMapDepth = 10,
  kTargaZeroSize = 11,
  kTargaBadPixelDepth = 12,
  kTargaOutOfMemory = 13,
  kTargaNotColourMapped = 14,
  kTargaCorruptRle = 15,
  kTargaIndexOutOfRange = 16,
  kTargaMono = 17,
};

// The message of a result code, "unknown error code" for any other number.
const char* TargaMessage(uint8_t code);

// Opens the file (a bare name resolves against the current folder) and reads it; 1 when it
// cannot be opened. The file is closed whatever the outcome.
uint8_t ReadTarga(TargaImage& image, const char* fileName);

// Reads a whole image from the stream's current position and leaves the stream right after the
// pixel data (a stream that cannot seek may have been read further). On any failure the record
// holds no blocks. Blocks the record held before the call are forgotten, not freed.
uint8_t ReadTargaFromStream(TargaImage& image, std::FILE* stream);

// Turns a colour-mapped image into a true-colour one in place: type 2, depth of the map entries,
// map freed and its fields zero. On failure the record keeps its blocks for the caller to release.
uint8_t ExpandColourMap(TargaImage& image);

// The stored pixel that shows at column x, row y from the top-left corner; null outside the
// picture or without pixels.
const uint8_t* PixelAddress(const TargaImage& image, uint32_t x, uint32_t y);

// Splits a stored pixel of the given depth into blue, green, red and alpha; any output may be
// null. 5-bit channels are shifted, not scaled (31 gives 248); 8-bit grey fills blue, green, red;
// alpha is 0 where the depth has none. 12 for a depth other than 8, 16, 24, 32, 6 without a pixel.
uint8_t UnpackPixel(const uint8_t* pixel, uint8_t depth, uint8_t* blue, uint8_t* green,
                    uint8_t* red, uint8_t* alpha);

// Frees the record's blocks and sets them null.
void ReleaseTarga(TargaImage& image);

// A block of at least `bytes` for other work on sheets (such as a sheet being unpacked), from
// the reader's kept spare when that is large enough, else a new one of `room` bytes (at least
// `bytes`), or of exactly `bytes` when there is no memory for more (null when not even that). Give it back with ReturnTargaBlock: the larger of it and the
// spare is kept, so that the sheets read next reuse memory that is already in use. Pixels read
// in a block whose pages are already there cost far less than in fresh ones.
uint8_t* BorrowTargaBlock(size_t bytes, size_t room);
void ReturnTargaBlock(uint8_t* block, size_t bytes);

// Reads the file and stores the picture in the buffer (resized to the picture), each pixel
// A<<24 | R<<16 | G<<8 | B with alpha 255 except for 32-bit files, which keep theirs. False when
// the file cannot be read or its colour map does not cover an index (the buffer is then
// untouched), or when the buffer cannot be resized.
bool LoadTargaInto(PixelBuffer* buffer, const char* fileName);

// The second half of LoadTargaInto, for an image already read: expands its colour map, resizes
// the buffer and copies the pixels. Always releases the image. False when the image has no
// pixels, its map cannot be expanded or the buffer cannot be resized.
bool StoreTargaInto(PixelBuffer* buffer, TargaImage& image);

// A rectangle of a picture as it is shown: column `left` and row `top` from its top-left corner.
struct TargaArea {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

// LoadTargaInto and StoreTargaInto for one part of the picture: `area` is first cut to the
// picture (it says on return which part was stored; width or height 0 when none of it lies in
// the picture, and the buffer is then left as it was), and the buffer is resized to it, its
// top-left pixel being the picture's (area.left, area.top). A figure needs a fraction of its
// sheet: the rest is neither converted nor given memory.
bool LoadTargaAreaInto(PixelBuffer* buffer, const char* fileName, TargaArea& area);
bool StoreTargaAreaInto(PixelBuffer* buffer, TargaImage& image, TargaArea& area);
