#include "image/targa.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "image/pixel_buffer.h"

namespace {

// The pixel block of the last image read, kept for the next one: the windows decode their
// sheets five times a second, and a block of half a megabyte would otherwise be a fresh mapping
// of memory (and its zeroed pages) every time. One block is kept, the largest given back; the
// program reads its pictures on one thread only.
struct SpareBlock {
  uint8_t* block = nullptr;
  size_t bytes = 0;
};
SpareBlock spare;
SpareBlock lent;  // the spare while an image uses it, with the size it really has

// The spare when it is large enough, else a new block of `room` bytes if there is memory for
// it, else one of exactly `bytes`.
uint8_t* TakeBlock(size_t bytes, size_t room) {
  if (spare.block && spare.bytes >= bytes) {
    lent = spare;
    spare = {};
    return lent.block;
  }
  if (room > bytes)
    if (auto* block = static_cast<uint8_t*>(std::malloc(room))) {
      lent = {block, room};
      return block;
    }
  return static_cast<uint8_t*>(std::malloc(bytes));
}

// A new block for an image has room for twice it: the two figures' sheets differ in size, and
// the larger one read after the smaller then fits the same block. Room never written costs no
// memory, where a second block would be fresh pages to fault in (under Wine dearly, at logon).
uint8_t* TakeBlock(size_t bytes) { return TakeBlock(bytes, bytes <= SIZE_MAX / 2 ? bytes * 2 : bytes); }

// `bytes` is what the image used; a lent spare is kept at its own size, so that two sheets of
// different sizes read in turn keep sharing the larger block.
void GiveBackBlock(uint8_t* block, size_t bytes) {
  if (!block) return;
  if (block == lent.block) {
    bytes = std::max(bytes, lent.bytes);
    lent = {};
  }
  if (spare.block && spare.bytes >= bytes) {
    std::free(block);
    return;
  }
  std::free(spare.block);
  spare = {block, bytes};
}

}  // namespace

uint8_t* BorrowTargaBlock(size_t bytes, size_t room) { return TakeBlock(bytes, room); }

void ReturnTargaBlock(uint8_t* block, size_t bytes) { GiveBackBlock(block, bytes); }

namespace {

size_t PixelBlockBytes(const TargaImage& image) {
  return static_cast<size_t>(image.width) * image.height * (image.pixelDepth / 8u);
}

const char* const kMessages[] = {
    "no error",
    "error opening file",
    "premature end of file",
    "error writing to file",
    "invalid color map type",
    "invalid image type",
    "no image data included",
    "color-mapped image without color map",
    "non-color-mapped image with extraneous color map",
    "color map has zero length",
    "invalid color map depth",
    "the image dimensions are zero",
    "invalid pixel depth",
    "out of memory",
    "image is not color mapped",
    "RLE data is corrupt",
    "color map index out of range",
    "image is mono",
};

bool ReadBytes(std::FILE* stream, void* into, size_t count) {
  return std::fread(into, 1, count, stream) == count;
}

bool ReadByte(std::FILE* stream, uint8_t& value) { return ReadBytes(stream, &value, 1); }

bool ReadWord(std::FILE* stream, uint16_t& value) {
  uint8_t bytes[2];
  if (!ReadBytes(stream, bytes, 2)) return false;
  value = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
  return true;
}

bool IsColourMapped(uint8_t imageType) { return imageType == 1 || imageType == 9; }

bool IsWholeBytes(uint8_t depth) { return depth == 8 || depth == 16 || depth == 24 || depth == 32; }

// Bytes between the stream's position and its end, or UINT64_MAX when the stream cannot seek
// (then nothing is refused early and a failed allocation still gives 13). A stream that seeks to
// its end but not back is broken and reads as ended.
uint64_t BytesLeft(std::FILE* stream) {
  const long here = std::ftell(stream);
  if (here < 0 || std::fseek(stream, 0, SEEK_END) != 0) return UINT64_MAX;
  const long end = std::ftell(stream);
  if (std::fseek(stream, here, SEEK_SET) != 0) return 0;
  return end < here ? UINT64_MAX : static_cast<uint64_t>(end - here);
}

uint8_t Fail(TargaImage& image, uint8_t code) {
  ReleaseTarga(image);
  return code;
}

// Reads the run-length data in blocks. A packet is only a few bytes, and reading each header and
// value through its own stdio call cost more than all the decoding. Bytes read ahead and not used
// are given back when the reader goes (on a stream that can seek), so the stream stops right
// after the pixel data, as it did when each packet was read by itself.
class PacketReader {
 public:
  explicit PacketReader(std::FILE* stream) : stream_(stream) {}
  ~PacketReader() {
    if (end_ > next_) std::fseek(stream_, -static_cast<long>(end_ - next_), SEEK_CUR);
  }
  PacketReader(const PacketReader&) = delete;
  PacketReader& operator=(const PacketReader&) = delete;

  // Copies the next count bytes; false when the stream ends first.
  bool Read(uint8_t* into, size_t count) {
    while (count > 0) {
      if (next_ == end_ && !Refill()) return false;
      const size_t part = std::min(count, end_ - next_);
      std::memcpy(into, block_ + next_, part);
      next_ += part;
      into += part;
      count -= part;
    }
    return true;
  }

 private:
  bool Refill() {
    next_ = 0;
    end_ = std::fread(block_, 1, sizeof block_, stream_);
    return end_ > 0;
  }

  std::FILE* stream_;
  uint8_t block_[4096];
  size_t next_ = 0, end_ = 0;
};

// Copies the first pixel of a run over the run's other count - 1 places.
template <size_t bytes>
void RepeatPixel(uint8_t* run, unsigned count) {
  for (unsigned i = 1; i < count; ++i) std::memcpy(run + i * bytes, run, bytes);
}

void RepeatPixel(uint8_t* run, unsigned count, size_t bytes) {
  switch (bytes) {
    case 1: return RepeatPixel<1>(run, count);
    case 2: return RepeatPixel<2>(run, count);
    case 3: return RepeatPixel<3>(run, count);
    default: return RepeatPixel<4>(run, count);
  }
}

// Packets may cross rows; only the total count matters. A short read inside a packet is 2, a
// packet reaching past the last pixel is 15 (a run once its value is read, a raw packet before
// its data is). The loop needs no separate end-of-file test: the stream only reports its end
// after a read came up short, which has already returned 2.
uint8_t DecodeRle(uint8_t* out, uint64_t pixelCount, size_t pixelBytes, std::FILE* stream) {
  PacketReader in(stream);
  uint64_t produced = 0;
  while (produced < pixelCount) {
    uint8_t header;
    if (!in.Read(&header, 1)) return kTargaEndOfFile;
    const unsigned length = (header & 0x7Fu) + 1;
    if (header & 0x80) {
      // The value goes straight into the run's first pixel: produced < pixelCount, so it has room.
      if (!in.Read(out, pixelBytes)) return kTargaEndOfFile;
      if (length > pixelCount - produced) return kTargaCorruptRle;
      RepeatPixel(out, length, pixelBytes);
    } else {
      if (length > pixelCount - produced) return kTargaCorruptRle;
      if (!in.Read(out, length * pixelBytes)) return kTargaEndOfFile;
    }
    produced += length;
    out += length * pixelBytes;
  }
  return kTargaOk;
}

struct Channels {
  uint8_t blue, green, red, alpha;
};

// The body of UnpackPixel for a depth already known to be 8, 16, 24 or 32. Kept here, where
// the copy loop can have it inlined: through the out-parameters it cost the loop most of its time.
inline Channels Unpack(const uint8_t* pixel, uint8_t depth) {
  switch (depth) {
    case 8:
      return {pixel[0], pixel[0], pixel[0], 0};
    case 16: {
      const unsigned v = pixel[0] | pixel[1] << 8;
      return {static_cast<uint8_t>((v & 0x1F) << 3), static_cast<uint8_t>((v >> 5 & 0x1F) << 3),
              static_cast<uint8_t>((v >> 10 & 0x1F) << 3), static_cast<uint8_t>(v >> 15)};
    }
    case 24:
      return {pixel[0], pixel[1], pixel[2], 0};
    default:
      return {pixel[0], pixel[1], pixel[2], pixel[3]};
  }
}

// One row of the buffer from the pixels that show in row y: depth and direction are settled
// once per row, so that the loop over its pixels is a plain conversion the compiler can unroll.
// The copy is most of a load's time, and the settings window loads two sheets five times a second.
template <uint8_t depth>
void ConvertRow(const uint8_t* pixel, ptrdiff_t step, uint32_t* row, int32_t count) {
  for (int32_t x = 0; x < count; ++x, pixel += step) {
    const Channels c = Unpack(pixel, depth);
    // Only 32-bit pixels carry alpha; the 16-bit attribute bit is no transparency the sheets use.
    const uint32_t alpha = depth == 32 ? c.alpha : 255;
    row[x] = alpha << 24 | uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
  }
}

// Fills the first `count` pixels of a buffer row, left to right, with row y of the picture from
// column x on.
void StoreRow(const TargaImage& image, uint32_t x, uint32_t y, uint32_t* row, int32_t count) {
  const uint8_t* first = PixelAddress(image, x, y);  // the stored pixel shown in column x
  const ptrdiff_t bytes = image.pixelDepth / 8;
  const ptrdiff_t step = (image.descriptor & 0x10) ? -bytes : bytes;
  // A stored 32-bit row read left to right already is the buffer's row: blue, green, red, alpha.
  if constexpr (std::endian::native == std::endian::little)
    if (image.pixelDepth == 32 && step > 0) {
      std::memcpy(row, first, static_cast<size_t>(count) * 4);
      return;
    }
  switch (image.pixelDepth) {
    case 8: return ConvertRow<8>(first, step, row, count);
    case 16: return ConvertRow<16>(first, step, row, count);
    case 24: return ConvertRow<24>(first, step, row, count);
    default: return ConvertRow<32>(first, step, row, count);
  }
}

}  // namespace

const char* TargaMessage(uint8_t code) {
  return code < sizeof kMessages / sizeof kMessages[0] ? kMessages[code] : "unknown error code";
}

uint8_t ReadTarga(TargaImage& image, const char* fileName) {
  std::FILE* file = fileName ? std::fopen(fileName, "rb") : nullptr;
  if (!file) {
    image.imageId = image.colourMap = image.pixels = nullptr;
    return kTargaOpenFailed;
  }
  // A sheet is read whole five times a second by an animated window: in few large reads, not
  // in many of the runtime's small default buffer. The buffer is ours and kept, where one the
  // runtime made would be fresh memory at each opening.
  static char streamBuffer[64 * 1024];
  std::setvbuf(file, streamBuffer, _IOFBF, sizeof streamBuffer);
  const uint8_t code = ReadTargaFromStream(image, file);
  std::fclose(file);
  return code;
}

uint8_t ReadTargaFromStream(TargaImage& image, std::FILE* stream) {
  image.imageId = image.colourMap = image.pixels = nullptr;
  if (!stream) return kTargaOpenFailed;

  // The header, checked field by field as it arrives, so a damaged file reports its first fault.
  if (!ReadByte(stream, image.idLength) || !ReadByte(stream, image.colourMapType))
    return Fail(image, kTargaEndOfFile);
  if (image.colourMapType > 1) return Fail(image, kTargaBadColourMapType);
  if (!ReadByte(stream, image.imageType)) return Fail(image, kTargaEndOfFile);
  switch (image.imageType) {
    case 0: return Fail(image, kTargaNoImageData);
    case 1: case 2: case 3: case 9: case 10: case 11: break;
    default: return Fail(image, kTargaBadImageType);
  }
  const bool mapped = IsColourMapped(image.imageType);
  if (mapped && image.colourMapType == 0) return Fail(image, kTargaMissingColourMap);
  if (!mapped && image.colourMapType == 1) return Fail(image, kTargaExtraneousColourMap);
  if (!ReadWord(stream, image.colourMapOrigin) || !ReadWord(stream, image.colourMapLength) ||
      !ReadByte(stream, image.colourMapDepth))
    return Fail(image, kTargaEndOfFile);
  if (mapped) {
    if (image.colourMapLength == 0) return Fail(image, kTargaEmptyColourMap);
    if (image.colourMapDepth != 16 && image.colourMapDepth != 24 && image.colourMapDepth != 32)
      return Fail(image, kTargaBadColourMapDepth);
  }
  if (!ReadWord(stream, image.xOrigin) || !ReadWord(stream, image.yOrigin) ||
      !ReadWord(stream, image.width) || !ReadWord(stream, image.height))
    return Fail(image, kTargaEndOfFile);
  if (image.width == 0 || image.height == 0) return Fail(image, kTargaZeroSize);
  if (!ReadByte(stream, image.pixelDepth)) return Fail(image, kTargaEndOfFile);
  if (!IsWholeBytes(image.pixelDepth) || (mapped && image.pixelDepth != 8))
    return Fail(image, kTargaBadPixelDepth);
  if (!ReadByte(stream, image.descriptor)) return Fail(image, kTargaEndOfFile);

  if (image.idLength > 0) {
    image.imageId = static_cast<uint8_t*>(std::malloc(image.idLength));
    if (!image.imageId) return Fail(image, kTargaOutOfMemory);
    if (!ReadBytes(stream, image.imageId, image.idLength)) return Fail(image, kTargaEndOfFile);
  }

  if (mapped) {
    // At most 131070 entries of 4 bytes: small enough to allocate whatever the file holds. The
    // entries below the origin are not in the file; zero keeps them from showing stale memory.
    const size_t entryBytes = image.colourMapDepth / 8;
    const size_t skipped = size_t{image.colourMapOrigin} * entryBytes;
    const size_t stored = size_t{image.colourMapLength} * entryBytes;
    image.colourMap = static_cast<uint8_t*>(std::malloc(skipped + stored));
    if (!image.colourMap) return Fail(image, kTargaOutOfMemory);
    std::memset(image.colourMap, 0, skipped);
    if (!ReadBytes(stream, image.colourMap + skipped, stored)) return Fail(image, kTargaEndOfFile);
  }

  // The header alone can ask for up to 65535 x 65535 x 4 bytes (16 GiB). Such a block is only
  // allocated when the rest of the file could fill it, so a few bytes of garbage cannot make the
  // reader claim gigabytes. A file refused here would have come up short while reading its
  // pixels anyway, so the answer is the 2 that reading would give, only sooner; a complete file
  // is never refused:
  // - uncompressed, the block is read in one piece and must all be in the file;
  // - run-length encoded, every packet takes at least a header byte and one pixel value and
  //   gives at most 128 pixels, so the remaining bytes can give no more than 128 pixels per
  //   (1 + pixel bytes) of them.
  const uint64_t pixelCount = uint64_t{image.width} * image.height;
  const size_t pixelBytes = image.pixelDepth / 8;
  const uint64_t blockBytes = pixelCount * pixelBytes;
  const uint64_t left = BytesLeft(stream);
  if (image.imageType >= 9) {
    if ((pixelCount + 127) / 128 > left / (1 + pixelBytes)) return Fail(image, kTargaEndOfFile);
  } else if (blockBytes > left) {
    return Fail(image, kTargaEndOfFile);
  }
  if (blockBytes > SIZE_MAX) return Fail(image, kTargaOutOfMemory);
  image.pixels = TakeBlock(static_cast<size_t>(blockBytes));
  if (!image.pixels) return Fail(image, kTargaOutOfMemory);

  if (image.imageType >= 9) {
    const uint8_t code = DecodeRle(image.pixels, pixelCount, pixelBytes, stream);
    return code == kTargaOk ? code : Fail(image, code);
  }
  if (!ReadBytes(stream, image.pixels, static_cast<size_t>(blockBytes)))
    return Fail(image, kTargaEndOfFile);
  return kTargaOk;
}

uint8_t ExpandColourMap(TargaImage& image) {
  if (!IsColourMapped(image.imageType) || !image.colourMap || !image.pixels)
    return kTargaNotColourMapped;
  if (image.pixelDepth != 8) return kTargaBadPixelDepth;
  if (!IsWholeBytes(image.colourMapDepth)) return kTargaBadColourMapDepth;

  const uint64_t pixelCount = uint64_t{image.width} * image.height;
  const size_t entryBytes = image.colourMapDepth / 8;
  if (pixelCount > SIZE_MAX / entryBytes) return kTargaOutOfMemory;
  uint8_t* grown = static_cast<uint8_t*>(
      std::realloc(image.pixels, static_cast<size_t>(pixelCount) * entryBytes));
  if (!grown) return kTargaOutOfMemory;
  if (lent.block == image.pixels) lent = {grown, static_cast<size_t>(pixelCount) * entryBytes};
  image.pixels = grown;

  // realloc keeps the indexes at the front of the grown block. Walking from the last pixel down,
  // each entry lands at or after its own index, so no index is overwritten before it is read.
  const unsigned end = unsigned{image.colourMapOrigin} + image.colourMapLength;
  for (size_t i = static_cast<size_t>(pixelCount); i-- > 0;) {
    const unsigned index = grown[i];
    if (index >= end) return kTargaIndexOutOfRange;
    std::memcpy(grown + i * entryBytes, image.colourMap + index * entryBytes, entryBytes);
  }

  std::free(image.colourMap);
  image.colourMap = nullptr;
  image.imageType = 2;
  image.pixelDepth = image.colourMapDepth;
  image.colourMapType = 0;
  image.colourMapOrigin = 0;
  image.colourMapLength = 0;
  image.colourMapDepth = 0;
  return kTargaOk;
}

const uint8_t* PixelAddress(const TargaImage& image, uint32_t x, uint32_t y) {
  if (!image.pixels || x >= image.width || y >= image.height) return nullptr;
  const uint32_t row = (image.descriptor & 0x20) ? y : image.height - 1u - y;
  const uint32_t column = (image.descriptor & 0x10) ? image.width - 1u - x : x;
  return image.pixels + (uint64_t{row} * image.width + column) * (image.pixelDepth / 8u);
}

uint8_t UnpackPixel(const uint8_t* pixel, uint8_t depth, uint8_t* blue, uint8_t* green,
                    uint8_t* red, uint8_t* alpha) {
  if (!IsWholeBytes(depth)) return kTargaBadPixelDepth;
  if (!pixel) return kTargaNoImageData;
  const Channels c = Unpack(pixel, depth);
  if (blue) *blue = c.blue;
  if (green) *green = c.green;
  if (red) *red = c.red;
  if (alpha) *alpha = c.alpha;
  return kTargaOk;
}

void ReleaseTarga(TargaImage& image) {
  std::free(image.imageId);
  std::free(image.colourMap);
  GiveBackBlock(image.pixels, image.pixels ? PixelBlockBytes(image) : 0);
  image.imageId = image.colourMap = image.pixels = nullptr;
}

bool LoadTargaInto(PixelBuffer* buffer, const char* fileName) {
  TargaArea whole{0, 0, INT32_MAX, INT32_MAX};
  return LoadTargaAreaInto(buffer, fileName, whole);
}

bool StoreTargaInto(PixelBuffer* buffer, TargaImage& image) {
  TargaArea whole{0, 0, INT32_MAX, INT32_MAX};
  return StoreTargaAreaInto(buffer, image, whole);
}

bool LoadTargaAreaInto(PixelBuffer* buffer, const char* fileName, TargaArea& area) {
  if (!buffer || !fileName) return false;
  TargaImage image;
  if (ReadTarga(image, fileName) != kTargaOk) return false;
  return StoreTargaAreaInto(buffer, image, area);
}

namespace {

// The part of `area` inside a picture of w x h (empty when there is none), computed in 64 bits:
// an area may reach past either end of the 32-bit range.
TargaArea CutTo(const TargaArea& area, int64_t w, int64_t h) {
  const int64_t left = std::max<int64_t>(area.left, 0), top = std::max<int64_t>(area.top, 0);
  const int64_t right = std::min<int64_t>(int64_t{area.left} + area.width, w);
  const int64_t bottom = std::min<int64_t>(int64_t{area.top} + area.height, h);
  if (right <= left || bottom <= top) return {};
  return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
          static_cast<int32_t>(bottom - top)};
}

}  // namespace

bool StoreTargaAreaInto(PixelBuffer* buffer, TargaImage& image, TargaArea& area) {
  if (!buffer || !image.pixels || !IsWholeBytes(image.pixelDepth) ||
      (IsColourMapped(image.imageType) && ExpandColourMap(image) != kTargaOk)) {
    ReleaseTarga(image);
    return false;
  }
  area = CutTo(area, image.width, image.height);
  if (area.width == 0 || area.height == 0) {
    ReleaseTarga(image);
    return true;
  }
  if (!buffer->Resize(area.width, area.height)) {
    ReleaseTarga(image);
    return false;
  }
  // A derived buffer may come out in another size than asked: what lies outside it is left out.
  const int32_t columns = std::min(area.width, buffer->BufferWidth());
  const int32_t rows = std::min(area.height, buffer->BufferHeight());
  for (int32_t y = 0; y < rows; ++y) {
    uint32_t* row = buffer->PixelAt(0, y);
    if (row) StoreRow(image, static_cast<uint32_t>(area.left), static_cast<uint32_t>(area.top + y), row, columns);
  }
  ReleaseTarga(image);
  return true;
}
