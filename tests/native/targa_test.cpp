// The TGA reader: files written here byte by byte for every storage form it accepts, every
// fault it reports, and files written by ImageMagick, an independent TGA writer.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <climits>
#include <iterator>
#include <map>
#include <tuple>
#include <string>
#include <vector>

#include "image/pixel_buffer.h"
#include "image/targa.h"
#include "tests/native/native_support.h"

namespace {

using native_support::TempFolder;
using Bytes = std::vector<uint8_t>;

// ---- A TGA writer of the tests' own ----------------------------------------------------------

// How a picture is stored. depth is the pixel depth of true-colour and grey files and the entry
// depth of colour-mapped ones (whose pixels are 8-bit indexes).
struct Layout {
  uint8_t imageType;
  uint8_t depth;
  bool topDown = false;
  bool rightToLeft = false;
  uint16_t mapOrigin = 0;
  uint16_t width = 7;
  uint16_t height = 5;
  std::string id = "";
  bool footer = false;  // TGA 2.0 footer after the pixels, which the reader must not need
};

bool IsMapped(const Layout& l) { return l.imageType == 1 || l.imageType == 9; }
bool IsGrey(const Layout& l) { return l.imageType == 3 || l.imageType == 11; }
bool IsRle(const Layout& l) { return l.imageType >= 9; }

// A picture of 32-bit A<<24 | R<<16 | G<<8 | B values, top row first, that the layout can hold
// exactly: grey for 8-bit pixels, 5-bit channels for 16-bit ones. Neighbours differ, so raw
// packets form, except for one stretch of a single colour spanning several rows, long enough
// in wide pictures to need more than one 128-pixel run packet.
std::vector<uint32_t> MakePicture(const Layout& l) {
  const int count = l.width * l.height;
  std::vector<uint32_t> picture(count);
  for (int i = 0; i < count; ++i) {
    const int x = i % l.width, y = i / l.width;
    const bool inRun = i >= count / 3 && i < 2 * count / 3 + 3;
    const uint32_t k = inRun ? 200 : (x * 7 + y * 13) % 97;
    uint32_t r = k * 37 % 256, g = (k * 91 + 20) % 256, b = (k * 53 + 90) % 256;
    const uint32_t a = (k * 29 + 3) % 256;
    if (IsGrey(l) || (!IsMapped(l) && l.depth == 8)) g = b = r;
    if (l.depth == 16) r &= 0xF8, g &= 0xF8, b &= 0xF8;
    picture[i] = a << 24 | r << 16 | g << 8 | b;
  }
  return picture;
}

// What the buffer must hold for a picture pixel: alpha survives only in 32-bit data.
uint32_t Expected(const Layout& l, uint32_t colour) {
  return l.depth == 32 ? colour : colour | 0xFF000000u;
}

void PutWord(Bytes& out, unsigned value) {
  out.push_back(value & 0xFF);
  out.push_back(value >> 8 & 0xFF);
}

// One colour as the file stores it. The 16-bit attribute bit follows the top alpha bit, so
// files carry both values of it and the reader must ignore it.
void PutColour(Bytes& out, uint32_t c, uint8_t depth) {
  const uint8_t a = c >> 24, r = c >> 16, g = c >> 8, b = c;
  switch (depth) {
    case 8: out.push_back(r); break;
    case 16: PutWord(out, (a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3); break;
    case 24: out.insert(out.end(), {b, g, r}); break;
    case 32: out.insert(out.end(), {b, g, r, a}); break;
  }
}

Bytes Header(uint8_t idLength, uint8_t mapType, uint8_t imageType, uint16_t origin,
             uint16_t length, uint8_t mapDepth, uint16_t width, uint16_t height,
             uint8_t depth, uint8_t descriptor) {
  Bytes h = {idLength, mapType, imageType};
  PutWord(h, origin);
  PutWord(h, length);
  h.push_back(mapDepth);
  PutWord(h, 0);
  PutWord(h, 0);
  PutWord(h, width);
  PutWord(h, height);
  h.push_back(depth);
  h.push_back(descriptor);
  return h;
}

// Greedy run-length encoding of a flat sequence of stored pixels: runs of two or more equal
// pixels become run packets, everything else raw packets, each at most 128 pixels long, with
// no regard for rows.
Bytes EncodeRle(const Bytes& stored, size_t pixelBytes) {
  const size_t count = stored.size() / pixelBytes;
  auto same = [&](size_t i, size_t j) {
    return std::memcmp(&stored[i * pixelBytes], &stored[j * pixelBytes], pixelBytes) == 0;
  };
  Bytes out;
  size_t i = 0;
  while (i < count) {
    size_t run = 1;
    while (i + run < count && run < 128 && same(i, i + run)) ++run;
    if (run >= 2) {
      out.push_back(0x80 | (run - 1));
      out.insert(out.end(), stored.begin() + i * pixelBytes, stored.begin() + (i + 1) * pixelBytes);
      i += run;
      continue;
    }
    size_t raw = 1;
    while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1)))
      ++raw;
    out.push_back(raw - 1);
    out.insert(out.end(), stored.begin() + i * pixelBytes,
               stored.begin() + (i + raw) * pixelBytes);
    i += raw;
  }
  return out;
}

// The whole file for a picture in the given layout.
Bytes WriteTarga(const Layout& l, const std::vector<uint32_t>& picture) {
  std::vector<uint32_t> palette;
  std::map<uint32_t, uint8_t> indexOf;
  if (IsMapped(l)) {
    for (uint32_t c : picture)
      if (indexOf.emplace(c, l.mapOrigin + palette.size()).second) palette.push_back(c);
  }
  const uint8_t pixelDepth = IsMapped(l) ? 8 : l.depth;
  const uint8_t descriptor = (l.topDown ? 0x20 : 0) | (l.rightToLeft ? 0x10 : 0);
  Bytes file = Header(l.id.size(), IsMapped(l) ? 1 : 0, l.imageType, IsMapped(l) ? l.mapOrigin : 0,
                      palette.size(), IsMapped(l) ? l.depth : 0, l.width, l.height, pixelDepth,
                      descriptor);
  file.insert(file.end(), l.id.begin(), l.id.end());
  for (uint32_t c : palette) PutColour(file, c, l.depth);

  Bytes stored;
  for (int row = 0; row < l.height; ++row) {
    const int y = l.topDown ? row : l.height - 1 - row;
    for (int column = 0; column < l.width; ++column) {
      const int x = l.rightToLeft ? l.width - 1 - column : column;
      const uint32_t c = picture[y * l.width + x];
      if (IsMapped(l)) stored.push_back(indexOf[c]);
      else PutColour(stored, c, pixelDepth);
    }
  }
  const Bytes data = IsRle(l) ? EncodeRle(stored, pixelDepth / 8) : stored;
  file.insert(file.end(), data.begin(), data.end());
  if (l.footer) {
    const char footer[] = "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.";
    file.insert(file.end(), footer, footer + sizeof footer);
  }
  return file;
}

class TargaFiles : public ::testing::Test {
 protected:
  std::string Write(const Bytes& bytes, const std::string& name = "picture.tga") {
    const std::string path = folder_.Child(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                bytes.size());
    return path;
  }
  TempFolder folder_;
};

std::vector<uint32_t> BufferPixels(const PixelBuffer& buffer) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < buffer.BufferHeight(); ++y)
    for (int x = 0; x < buffer.BufferWidth(); ++x) pixels.push_back(*buffer.PixelAt(x, y));
  return pixels;
}

constexpr uint32_t kSentinel = 0x12345678;

// ---- Decoding every storage form -------------------------------------------------------------

struct DecodeCase {
  const char* name;
  Layout layout;
};

const DecodeCase kDecodeCases[] = {
    {"TrueColour32BottomUp", {.imageType = 2, .depth = 32}},
    {"TrueColour32TopDown", {.imageType = 2, .depth = 32, .topDown = true}},
    {"TrueColour32RightToLeft", {.imageType = 2, .depth = 32, .rightToLeft = true}},
    {"TrueColour32TopDownRightToLeft",
     {.imageType = 2, .depth = 32, .topDown = true, .rightToLeft = true}},
    {"TrueColour24", {.imageType = 2, .depth = 24}},
    {"TrueColour24RightToLeft", {.imageType = 2, .depth = 24, .rightToLeft = true}},
    {"TrueColour16", {.imageType = 2, .depth = 16, .topDown = true}},
    {"TrueColour16RightToLeft", {.imageType = 2, .depth = 16, .rightToLeft = true}},
    {"TrueColourType8Bit", {.imageType = 2, .depth = 8, .topDown = true}},
    {"Grey", {.imageType = 3, .depth = 8}},
    {"GreyRightToLeft", {.imageType = 3, .depth = 8, .rightToLeft = true}},
    {"WithIdAndFooter", {.imageType = 2, .depth = 24, .id = "sheet 7", .footer = true}},
    {"Rle32", {.imageType = 10, .depth = 32}},
    {"Rle32TopDown", {.imageType = 10, .depth = 32, .topDown = true}},
    {"Rle32TopDownRightToLeft",
     {.imageType = 10, .depth = 32, .topDown = true, .rightToLeft = true}},
    {"Rle24", {.imageType = 10, .depth = 24, .topDown = true}},
    {"Rle16", {.imageType = 10, .depth = 16, .topDown = true}},
    {"RleGrey", {.imageType = 11, .depth = 8, .topDown = true}},
    {"Rle32LongPackets",
     {.imageType = 10, .depth = 32, .topDown = true, .width = 140, .height = 3}},
    {"RleBottomUpLongPackets", {.imageType = 10, .depth = 24, .width = 140, .height = 3}},
    // Tens of kilobytes of packets: the reader takes them in blocks, and packets straddle them.
    {"RleManyPackets", {.imageType = 10, .depth = 32, .width = 300, .height = 41}},
    {"RleManyPackets24RightToLeft",
     {.imageType = 10, .depth = 24, .rightToLeft = true, .width = 301, .height = 40}},
    {"Mapped24", {.imageType = 1, .depth = 24}},
    {"Mapped16", {.imageType = 1, .depth = 16}},
    {"Mapped32KeepsAlpha", {.imageType = 1, .depth = 32, .topDown = true}},
    {"Mapped24Origin16", {.imageType = 1, .depth = 24, .mapOrigin = 16}},
    {"MappedOrigin200RightToLeft",
     {.imageType = 1, .depth = 32, .rightToLeft = true, .mapOrigin = 200}},
    {"MappedRle24", {.imageType = 9, .depth = 24, .topDown = true}},
    {"MappedRle32Origin16LongPackets",
     {.imageType = 9, .depth = 32, .mapOrigin = 16, .width = 140, .height = 3}},
    {"OnePixel", {.imageType = 10, .depth = 32, .width = 1, .height = 1}},
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class TargaDecode : public TargaFiles, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(TargaDecode, LoadsThePictureTopRowFirst) {
  const Layout& l = GetParam().layout;
  const std::vector<uint32_t> picture = MakePicture(l);
  PixelBuffer buffer;
  ASSERT_TRUE(LoadTargaInto(&buffer, Write(WriteTarga(l, picture)).c_str()));
  ASSERT_EQ(buffer.BufferWidth(), l.width);
  ASSERT_EQ(buffer.BufferHeight(), l.height);
  std::vector<uint32_t> expected;
  for (uint32_t c : picture) expected.push_back(Expected(l, c));
  EXPECT_EQ(BufferPixels(buffer), expected);
}

// A part of the picture: the buffer holds exactly the pixels of the area that lie in the
// picture, whatever the storage order, and the area comes back cut to them.
TEST_P(TargaDecode, AreaLoadsThatPartOfThePicture) {
  const Layout& l = GetParam().layout;
  const int32_t w = l.width, h = l.height;
  const std::vector<uint32_t> picture = MakePicture(l);
  const std::string path = Write(WriteTarga(l, picture));
  struct Case {
    TargaArea asked, cut;
  };
  const Case cases[] = {
      {{0, 0, w, h}, {0, 0, w, h}},
      {{w / 2, h / 2, 1, 1}, {w / 2, h / 2, 1, 1}},
      {{-1, -2, 3, 4}, {0, 0, std::min(2, w), std::min(2, h)}},          // over the top-left corner
      {{w - 1, h - 1, 5, 5}, {w - 1, h - 1, 1, 1}},                      // over the bottom-right one
      {{-7, -7, INT32_MAX, INT32_MAX}, {0, 0, w, h}},                    // far past both ends
      {{INT32_MAX - 1, 0, INT32_MAX, 1}, {0, 0, 0, 0}},                  // wholly outside
      {{0, h, w, 3}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "area " << c.asked.left << "," << c.asked.top << " "
                                      << c.asked.width << "x" << c.asked.height);
    PixelBuffer buffer;
    ASSERT_TRUE(buffer.Resize(2, 1));
    *buffer.PixelAt(0, 0) = *buffer.PixelAt(1, 0) = kSentinel;
    TargaArea area = c.asked;
    ASSERT_TRUE(LoadTargaAreaInto(&buffer, path.c_str(), area));
    EXPECT_EQ(std::tie(area.left, area.top, area.width, area.height),
              std::tie(c.cut.left, c.cut.top, c.cut.width, c.cut.height));
    std::vector<uint32_t> expected;
    for (int32_t y = c.cut.top; y < c.cut.top + c.cut.height; ++y)
      for (int32_t x = c.cut.left; x < c.cut.left + c.cut.width; ++x)
        expected.push_back(Expected(l, picture[y * w + x]));
    if (expected.empty()) expected = {kSentinel, kSentinel};  // nothing stored: the buffer as it was
    EXPECT_EQ(BufferPixels(buffer), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, TargaDecode, ::testing::ValuesIn(kDecodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Whatever the reader takes in ahead of need, the stream is left right after the pixel data, so
// what follows the picture in the stream is still there to read.
TEST_F(TargaFiles, StreamStopsAfterThePixelData) {
  for (const Layout& l : {Layout{.imageType = 10, .depth = 32, .width = 300, .height = 41},
                          Layout{.imageType = 2, .depth = 24, .id = "id"}}) {
    SCOPED_TRACE(int(l.imageType));
    Layout withFooter = l;
    withFooter.footer = true;
    const Bytes bare = WriteTarga(l, MakePicture(l));
    std::FILE* stream = std::fopen(Write(WriteTarga(withFooter, MakePicture(l))).c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    TargaImage image;
    EXPECT_EQ(ReadTargaFromStream(image, stream), kTargaOk);
    EXPECT_EQ(std::ftell(stream), long(bare.size()));
    std::fclose(stream);
    ReleaseTarga(image);
  }
}

// A buffer made in a size of its own rather than the size asked for, every pixel kUnwritten.
constexpr uint32_t kUnwritten = 0x5A5A5A5A;
class FixedSizeBuffer : public PixelBuffer {
 public:
  FixedSizeBuffer(int32_t width, int32_t height) : width(width), height(height) {}
  bool Resize(int32_t, int32_t) override {
    if (!PixelBuffer::Resize(width, height)) return false;
    std::fill(pixels_, pixels_ + width * height, kUnwritten);
    return true;
  }
  const int32_t width, height;
};

// The reader writes only inside the buffer, as if pixel by pixel with positions outside ignored:
// a smaller buffer gets the picture's top-left corner, a larger one the picture in its top-left
// corner and nothing elsewhere.
TEST_F(TargaFiles, PixelsOutsideTheBufferAreLeftOut) {
  const Layout layouts[] = {{.imageType = 2, .depth = 32},
                            {.imageType = 10, .depth = 24, .topDown = true, .rightToLeft = true}};
  const std::pair<int32_t, int32_t> sizes[] = {{4, 3}, {10, 8}, {7, 2}, {3, 5}};
  for (const Layout& l : layouts) {
    const std::vector<uint32_t> picture = MakePicture(l);
    const std::string path = Write(WriteTarga(l, picture));
    for (const auto& [width, height] : sizes) {
      SCOPED_TRACE(::testing::Message() << int(l.imageType) << " into " << width << "x" << height);
      FixedSizeBuffer buffer(width, height);
      ASSERT_TRUE(LoadTargaInto(&buffer, path.c_str()));
      std::vector<uint32_t> expected;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          expected.push_back(x < l.width && y < l.height ? Expected(l, picture[y * l.width + x])
                                                         : kUnwritten);
      EXPECT_EQ(BufferPixels(buffer), expected);
    }
  }
}

// ---- Faults ----------------------------------------------------------------------------------

// A small valid file of each kind for the fault cases to damage.
Bytes TrueColourFile() {
  const Layout l{.imageType = 2, .depth = 24, .id = "id"};
  return WriteTarga(l, MakePicture(l));
}
Bytes MappedFile() {
  const Layout l{.imageType = 1, .depth = 24, .id = "id"};
  return WriteTarga(l, MakePicture(l));
}
Bytes RleFile() {
  const Layout l{.imageType = 10, .depth = 32, .topDown = true};
  return WriteTarga(l, MakePicture(l));
}

// 4 x 1 pixels, 32-bit, run-length encoded, with the packets given.
Bytes Rle4x1(const Bytes& packets) {
  Bytes file = Header(0, 0, 10, 0, 0, 0, 4, 1, 32, 0);
  file.insert(file.end(), packets.begin(), packets.end());
  return file;
}

Bytes With(Bytes file, size_t at, uint8_t value) {
  file[at] = value;
  return file;
}
Bytes Cut(Bytes file, size_t size) {
  file.resize(size);
  return file;
}

struct FaultCase {
  const char* name;
  Bytes file;
  uint8_t code;
};

// Header offsets: 0 id length, 1 map type, 2 image type, 5-6 map length, 7 map depth,
// 12-13 width, 14-15 height, 16 pixel depth, 17 descriptor.
std::vector<FaultCase> FaultCases() {
  const Bytes tc = TrueColourFile(), mapped = MappedFile(), rle = RleFile();
  const size_t mapEnd = 18 + 2 + mapped[5] * 3;  // after header, id and 24-bit map
  const Bytes p1 = {1, 2, 3, 4}, p2 = {5, 6, 7, 8};
  auto cat = [](std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  return {
      {"ColourMapType2", With(tc, 1, 2), kTargaBadColourMapType},
      {"ColourMapTypeBeforeImageType", With(With(tc, 1, 2), 2, 0), kTargaBadColourMapType},
      {"ColourMapTypeInTwoByteFile", Bytes{0, 2}, kTargaBadColourMapType},
      {"ImageType0", With(tc, 2, 0), kTargaNoImageData},
      {"ImageType4", With(tc, 2, 4), kTargaBadImageType},
      {"ImageType8", With(tc, 2, 8), kTargaBadImageType},
      {"ImageTypeBeforeMapPresence", With(With(tc, 2, 4), 1, 1), kTargaBadImageType},
      {"MappedWithoutMap", With(mapped, 1, 0), kTargaMissingColourMap},
      {"RleMappedWithoutMap", With(With(mapped, 2, 9), 1, 0), kTargaMissingColourMap},
      {"TrueColourWithMap", With(tc, 1, 1), kTargaExtraneousColourMap},
      {"GreyWithMap", With(With(tc, 2, 3), 1, 1), kTargaExtraneousColourMap},
      {"MapLengthZero", With(With(mapped, 5, 0), 6, 0), kTargaEmptyColourMap},
      {"MapDepth8", With(mapped, 7, 8), kTargaBadColourMapDepth},
      {"MapDepth15", With(mapped, 7, 15), kTargaBadColourMapDepth},
      {"WidthZero", With(With(tc, 12, 0), 13, 0), kTargaZeroSize},
      {"HeightZero", With(With(tc, 14, 0), 15, 0), kTargaZeroSize},
      {"PixelDepth15", With(tc, 16, 15), kTargaBadPixelDepth},
      {"PixelDepth0", With(tc, 16, 0), kTargaBadPixelDepth},
      {"MappedWith16BitIndexes", With(mapped, 16, 16), kTargaBadPixelDepth},
      {"EmptyFile", Bytes{}, kTargaEndOfFile},
      {"OneByte", Cut(tc, 1), kTargaEndOfFile},
      {"HeaderWithoutDescriptor", Cut(tc, 17), kTargaEndOfFile},
      {"HeaderOnly", Cut(tc, 18), kTargaEndOfFile},
      {"InsideId", Cut(tc, 19), kTargaEndOfFile},
      {"InsideColourMap", Cut(mapped, mapEnd - 1), kTargaEndOfFile},
      {"MapWithoutPixels", Cut(mapped, mapEnd), kTargaEndOfFile},
      {"LastPixelByteMissing", Cut(tc, tc.size() - 1), kTargaEndOfFile},
      {"RleLastByteMissing", Cut(rle, rle.size() - 1), kTargaEndOfFile},
      {"RleInsideRunValue", Rle4x1(cat({{0x80}, {1, 2}})), kTargaEndOfFile},
      {"RleInsideRawPacket", Rle4x1(cat({{0x80}, p1, {0x02}, p2, {1, 2}})), kTargaEndOfFile},
      {"RleAtPacketBoundary", Rle4x1(cat({{0x80}, p1, {0x01}, p1, p2})), kTargaEndOfFile},
      {"RleMissingFirstPacket", Rle4x1({}), kTargaEndOfFile},
      {"RleRunPastEnd", Rle4x1(cat({{0x84}, p1})), kTargaCorruptRle},
      {"RleRawPastEnd", Rle4x1(cat({{0x04}, p1, p2, p1, p2, p1})), kTargaCorruptRle},
      {"RleRawPastEndAfterRun", Rle4x1(cat({{0x82}, p1, {0x01}, p1, p2})), kTargaCorruptRle},
      {"RleRawPastEndWithoutItsData", Rle4x1(cat({{0x81}, p1, {0x02}})), kTargaCorruptRle},
      {"RleRunFillsExactly", Rle4x1(cat({{0x83}, p1})), kTargaOk},
      {"RleRunAndRawFillExactly", Rle4x1(cat({{0x81}, p1, {0x01}, p2, p1})), kTargaOk},
      // Headers that claim far more pixels than the file could hold are refused before any
      // allocation, with the answer a read to the end would give.
      {"HugeUncompressed", Header(0, 0, 2, 0, 0, 0, 65535, 65535, 32, 0), kTargaEndOfFile},
      {"HugeRle", cat({Header(0, 0, 10, 0, 0, 0, 65535, 65535, 32, 0), {0xFF}, p1}),
       kTargaEndOfFile},
      {"HugeMappedRle",
       cat({Header(0, 1, 9, 65535, 65535, 32, 65535, 65535, 8, 0), Bytes(65535 * 4, 0), {0xFF, 0}}),
       kTargaEndOfFile},
  };
}

class TargaFaults : public TargaFiles {};

TEST_F(TargaFaults, EachFaultHasItsCodeAndLeavesNoBlocks) {
  for (const FaultCase& c : FaultCases()) {
    SCOPED_TRACE(c.name);
    TargaImage image;
    EXPECT_EQ(ReadTarga(image, Write(c.file).c_str()), c.code);
    if (c.code == kTargaOk) {
      EXPECT_NE(image.pixels, nullptr);
      ReleaseTarga(image);
      continue;
    }
    EXPECT_EQ(image.imageId, nullptr);
    EXPECT_EQ(image.colourMap, nullptr);
    EXPECT_EQ(image.pixels, nullptr);
    PixelBuffer buffer;
    EXPECT_FALSE(LoadTargaInto(&buffer, Write(c.file).c_str()));
  }
}

TEST_F(TargaFaults, MissingFileIs1) {
  TargaImage image;
  EXPECT_EQ(ReadTarga(image, folder_.Child("absent.tga").c_str()), kTargaOpenFailed);
  EXPECT_EQ(image.pixels, nullptr);
  PixelBuffer buffer;
  EXPECT_FALSE(LoadTargaInto(&buffer, folder_.Child("absent.tga").c_str()));
}

// The densest possible run-length file, every packet a 128-pixel run, sits exactly on the
// limit the reader applies before allocating; one packet fewer is a truncated file.
TEST_F(TargaFaults, DensestRleFileIsAcceptedAndOnePacketShortIsTruncated) {
  const uint16_t width = 1024, height = 256;
  Bytes file = Header(0, 0, 10, 0, 0, 0, width, height, 32, 0x20);
  for (int packet = 0; packet < width * height / 128; ++packet)
    file.insert(file.end(), {0xFF, uint8_t(packet), 0x40, 0x80, 0xC0});
  TargaImage image;
  ASSERT_EQ(ReadTarga(image, Write(file).c_str()), kTargaOk);
  uint8_t blue = 0, alpha = 0;
  UnpackPixel(PixelAddress(image, width - 1, height - 1), 32, &blue, nullptr, nullptr, &alpha);
  EXPECT_EQ(blue, uint8_t(width * height / 128 - 1));
  EXPECT_EQ(alpha, 0xC0);
  ReleaseTarga(image);

  file.resize(file.size() - 5);
  EXPECT_EQ(ReadTarga(image, Write(file).c_str()), kTargaEndOfFile);
}

// Leaves 32 MiB of address space beyond what the process has, reads the file and exits with
// the result code.
[[noreturn]] void ReadWithLittleAddressSpace(const std::string& path) {
  long pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const rlim_t limit = rlim_t(pages) * sysconf(_SC_PAGESIZE) + (32 << 20);
  const rlimit space = {limit, limit};
  setrlimit(RLIMIT_AS, &space);
  TargaImage image;
  _exit(ReadTarga(image, path.c_str()));
}

// An allocation the machine refuses is reported, not fatal. The child process runs with an
// address space limit below the 128 MiB that this legitimate 1.3 MB file needs.
TEST_F(TargaFaults, AllocationFailureIs13) {
  const uint16_t width = 4096, height = 8192;
  Bytes file = Header(0, 0, 10, 0, 0, 0, width, height, 32, 0);
  for (int packet = 0; packet < width * height / 128; ++packet)
    file.insert(file.end(), {0xFF, 1, 2, 3, 4});
  const std::string path = Write(file);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ReadWithLittleAddressSpace(path), ::testing::ExitedWithCode(kTargaOutOfMemory), "");
}

// ---- Colour maps -------------------------------------------------------------------------------

// 4 x 1 pixels of the given indexes into a 24-bit map of `length` entries from `origin`, entry
// k holding blue k, green 0x40, red 0x80.
Bytes MappedRow(uint16_t origin, uint16_t length, const Bytes& indexes) {
  Bytes file = Header(0, 1, 1, origin, length, 24, 4, 1, 8, 0);
  for (int k = origin; k < origin + length; ++k) file.insert(file.end(), {uint8_t(k), 0x40, 0x80});
  file.insert(file.end(), indexes.begin(), indexes.end());
  return file;
}

TEST_F(TargaFiles, ColourMapCoversItsOriginToOriginPlusLength) {
  PixelBuffer buffer;
  ASSERT_TRUE(LoadTargaInto(&buffer, Write(MappedRow(16, 16, {16, 31, 20, 16})).c_str()));
  EXPECT_EQ(BufferPixels(buffer),
            (std::vector<uint32_t>{0xFF804010, 0xFF80401F, 0xFF804014, 0xFF804010}));

  // The entries below the origin are not in the file: they show as zero, never as stale memory.
  ASSERT_TRUE(LoadTargaInto(&buffer, Write(MappedRow(16, 16, {0, 15, 16, 16})).c_str()));
  EXPECT_EQ(BufferPixels(buffer),
            (std::vector<uint32_t>{0xFF000000, 0xFF000000, 0xFF804010, 0xFF804010}));
}

TEST_F(TargaFiles, IndexAtOriginPlusLengthFailsAndLeavesTheBufferAlone) {
  const std::string path = Write(MappedRow(16, 16, {16, 17, 32, 18}));
  TargaImage image;
  ASSERT_EQ(ReadTarga(image, path.c_str()), kTargaOk);
  EXPECT_EQ(ExpandColourMap(image), kTargaIndexOutOfRange);
  ReleaseTarga(image);
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(image.colourMap, nullptr);

  PixelBuffer buffer;
  ASSERT_TRUE(buffer.Resize(2, 1));
  buffer.SetPixel(0, 0, 0x12345678);
  buffer.SetPixel(1, 0, 0x9ABCDEF0);
  EXPECT_FALSE(LoadTargaInto(&buffer, path.c_str()));
  EXPECT_EQ(buffer.BufferWidth(), 2);
  EXPECT_EQ(BufferPixels(buffer), (std::vector<uint32_t>{0x12345678, 0x9ABCDEF0}));
}

TEST_F(TargaFiles, ExpansionMakesATrueColourImage) {
  TargaImage image;
  ASSERT_EQ(ReadTarga(image, Write(MappedRow(2, 3, {2, 3, 4, 4})).c_str()), kTargaOk);
  ASSERT_EQ(ExpandColourMap(image), kTargaOk);
  EXPECT_EQ(image.imageType, 2);
  EXPECT_EQ(image.pixelDepth, 24);
  EXPECT_EQ(image.colourMap, nullptr);
  EXPECT_EQ(image.colourMapType, 0);
  EXPECT_EQ(image.colourMapOrigin, 0);
  EXPECT_EQ(image.colourMapLength, 0);
  EXPECT_EQ(image.colourMapDepth, 0);
  const Bytes expanded(image.pixels, image.pixels + 12);
  EXPECT_EQ(expanded, (Bytes{2, 0x40, 0x80, 3, 0x40, 0x80, 4, 0x40, 0x80, 4, 0x40, 0x80}));
  EXPECT_EQ(ExpandColourMap(image), kTargaNotColourMapped);
  ReleaseTarga(image);
}

// ---- Header, addressing and pixel formats ------------------------------------------------------

TEST_F(TargaFiles, HeaderFieldsAreReadLittleEndianAndKept) {
  Bytes file = {3, 1, 9, 0x34, 0x12, 0x02, 0x00, 32, 0x78, 0x56, 0xBC, 0x9A,
                2, 0,  1, 0,    8,    0x25, 'a',  'b', 'c'};
  file.insert(file.end(), 2 * 4, 0);         // the two stored entries
  file.insert(file.end(), {0x81, 0x07});  // a run of two pixels of index 7
  TargaImage image;
  ASSERT_EQ(ReadTarga(image, Write(file).c_str()), kTargaOk);
  EXPECT_EQ(image.idLength, 3);
  EXPECT_EQ(image.colourMapType, 1);
  EXPECT_EQ(image.imageType, 9);
  EXPECT_EQ(image.colourMapOrigin, 0x1234);
  EXPECT_EQ(image.colourMapLength, 2);
  EXPECT_EQ(image.colourMapDepth, 32);
  EXPECT_EQ(image.xOrigin, 0x5678);
  EXPECT_EQ(image.yOrigin, 0x9ABC);
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 1);
  EXPECT_EQ(image.pixelDepth, 8);
  EXPECT_EQ(image.descriptor, 0x25);
  ASSERT_NE(image.imageId, nullptr);
  EXPECT_EQ(std::string(image.imageId, image.imageId + 3), "abc");
  ReleaseTarga(image);
}

TEST_F(TargaFiles, PixelAddressIsNoneOutsideThePicture) {
  TargaImage image;
  ASSERT_EQ(ReadTarga(image, Write(TrueColourFile()).c_str()), kTargaOk);
  EXPECT_NE(PixelAddress(image, 6, 4), nullptr);
  EXPECT_EQ(PixelAddress(image, 7, 0), nullptr);
  EXPECT_EQ(PixelAddress(image, 0, 5), nullptr);
  EXPECT_EQ(PixelAddress(image, 0xFFFFFFFFu, 0), nullptr);
  ReleaseTarga(image);
  EXPECT_EQ(PixelAddress(image, 0, 0), nullptr);
}

struct UnpackCase {
  uint8_t depth;
  Bytes pixel;
  uint8_t code, blue, green, red, alpha;
};

TEST(TargaUnpack, ChannelsOfEachDepth) {
  const UnpackCase cases[] = {
      {8, {0x5A}, kTargaOk, 0x5A, 0x5A, 0x5A, 0},
      {16, {0xFF, 0x7F}, kTargaOk, 248, 248, 248, 0},  // shifted, not scaled to 255
      {16, {0x00, 0x80}, kTargaOk, 0, 0, 0, 1},
      {16, {0x1F, 0x00}, kTargaOk, 248, 0, 0, 0},
      {16, {0xE0, 0x03}, kTargaOk, 0, 248, 0, 0},
      {16, {0x00, 0x7C}, kTargaOk, 0, 0, 248, 0},
      {16, {0x21, 0x84}, kTargaOk, 8, 8, 8, 1},
      {24, {1, 2, 3}, kTargaOk, 1, 2, 3, 0},
      {32, {1, 2, 3, 4}, kTargaOk, 1, 2, 3, 4},
      {15, {0xFF, 0x7F}, kTargaBadPixelDepth, 0xEE, 0xEE, 0xEE, 0xEE},
      {0, {0}, kTargaBadPixelDepth, 0xEE, 0xEE, 0xEE, 0xEE},
  };
  for (const UnpackCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << int(c.depth) << "-bit "
                                      << ::testing::PrintToString(c.pixel));
    uint8_t b = 0xEE, g = 0xEE, r = 0xEE, a = 0xEE;
    EXPECT_EQ(UnpackPixel(c.pixel.data(), c.depth, &b, &g, &r, &a), c.code);
    EXPECT_EQ((Bytes{b, g, r, a}), (Bytes{c.blue, c.green, c.red, c.alpha}));
  }
}

TEST_F(TargaFiles, SixteenBitPixelsLoadShiftedAndOpaque) {
  Bytes file = Header(0, 0, 2, 0, 0, 0, 2, 1, 16, 0);
  file.insert(file.end(), {0xFF, 0x7F, 0x00, 0x80});
  PixelBuffer buffer;
  ASSERT_TRUE(LoadTargaInto(&buffer, Write(file).c_str()));
  EXPECT_EQ(BufferPixels(buffer), (std::vector<uint32_t>{0xFFF8F8F8, 0xFF000000}));
}

// ---- The pixel buffer hand-over ----------------------------------------------------------------

// Records the resizes the reader asks for, and can refuse them.
class RecordingBuffer : public PixelBuffer {
 public:
  bool Resize(int32_t width, int32_t height) override {
    resizes.push_back({width, height});
    if (!refuse) return PixelBuffer::Resize(width, height);
    FreePixels();
    return false;
  }
  std::vector<std::pair<int32_t, int32_t>> resizes;
  bool refuse = false;
};

TEST_F(TargaFiles, LoadResizesThroughTheBufferAndNeedsBoth) {
  const std::string path = Write(TrueColourFile());
  RecordingBuffer buffer;
  buffer.resizes.clear();
  EXPECT_TRUE(LoadTargaInto(&buffer, path.c_str()));
  EXPECT_EQ(buffer.resizes, (std::vector<std::pair<int32_t, int32_t>>{{7, 5}}));

  buffer.resizes.clear();
  EXPECT_FALSE(LoadTargaInto(&buffer, Write(With(TrueColourFile(), 2, 4)).c_str()));
  EXPECT_TRUE(buffer.resizes.empty());

  buffer.refuse = true;
  EXPECT_FALSE(LoadTargaInto(&buffer, path.c_str()));

  EXPECT_FALSE(LoadTargaInto(nullptr, path.c_str()));
  PixelBuffer plain;
  EXPECT_FALSE(LoadTargaInto(&plain, nullptr));
}

// ---- Messages ----------------------------------------------------------------------------------

TEST(TargaMessages, EachCodeHasItsText) {
  const std::pair<int, const char*> texts[] = {
      {0, "no error"},
      {1, "error opening file"},
      {2, "premature end of file"},
      {3, "error writing to file"},
      {4, "invalid color map type"},
      {5, "invalid image type"},
      {6, "no image data included"},
      {7, "color-mapped image without color map"},
      {8, "non-color-mapped image with extraneous color map"},
      {9, "color map has zero length"},
      {10, "invalid color map depth"},
      {11, "the image dimensions are zero"},
      {12, "invalid pixel depth"},
      {13, "out of memory"},
      {14, "image is not color mapped"},
      {15, "RLE data is corrupt"},
      {16, "color map index out of range"},
      {17, "image is mono"},
      {18, "unknown error code"},
      {255, "unknown error code"},
  };
  for (const auto& [code, text] : texts) EXPECT_STREQ(TargaMessage(code), text) << code;
}

// ---- Files written by ImageMagick --------------------------------------------------------------

// tools/make_targa_fixtures.sh wrote each NAME.tga with ImageMagick and NAME.rgba from reading
// it back upright with ImageMagick: 7 x 5 pixels of R, G, B, A bytes, top row first.
struct Fixture {
  const char* name;
  uint8_t imageType, pixelDepth, mapDepth, descriptor;
};

const Fixture kFixtures[] = {
    {"truecolour32", 2, 32, 0, 0x08},
    {"truecolour32_rle", 10, 32, 0, 0x08},
    {"truecolour24", 2, 24, 0, 0x00},
    {"truecolour24_rle", 10, 24, 0, 0x00},
    {"truecolour16", 2, 16, 0, 0x00},
    {"truecolour16_rle", 10, 16, 0, 0x00},
    {"truecolour16_alphabit_rle", 10, 16, 0, 0x01},
    {"mapped24", 1, 8, 24, 0x00},
    {"mapped24_rle", 9, 8, 24, 0x00},
    {"mapped16", 1, 8, 16, 0x00},
    {"grey", 3, 8, 0, 0x00},
    {"grey_rle", 11, 8, 0, 0x00},
    {"topleft32", 2, 32, 0, 0x28},
    {"topright32", 2, 32, 0, 0x38},
    {"bottomright32", 2, 32, 0, 0x18},
    {"topright24_rle", 10, 24, 0, 0x30},
    {"topleft_mapped_rle", 9, 8, 24, 0x20},
};

void PrintTo(const Fixture& f, std::ostream* os) { *os << f.name; }

// ImageMagick scales 5-bit channels to the full 0..255 range where the reader shifts them;
// recover the 5-bit value from its rounding and shift it.
uint8_t Shifted5Bit(uint8_t scaled) { return uint8_t((scaled * 31 + 127) / 255 << 3); }

class TargaFixtures : public ::testing::TestWithParam<Fixture> {};

TEST_P(TargaFixtures, MatchesImageMagicksReading) {
  const Fixture& f = GetParam();
  const std::string base = std::string(M2K_SOURCE_DIR) + "/tests/fixtures/targa/" + f.name;
  std::ifstream in(base + ".rgba", std::ios::binary);
  const Bytes reference((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(reference.size(), 7u * 5u * 4u);

  TargaImage image;
  ASSERT_EQ(ReadTarga(image, (base + ".tga").c_str()), kTargaOk);
  EXPECT_EQ(image.imageType, f.imageType);
  EXPECT_EQ(image.pixelDepth, f.pixelDepth);
  EXPECT_EQ(image.colourMapDepth, f.mapDepth);
  EXPECT_EQ(image.descriptor, f.descriptor);
  ReleaseTarga(image);

  const uint8_t depth = f.mapDepth ? f.mapDepth : f.pixelDepth;
  std::vector<uint32_t> expected;
  for (size_t i = 0; i < reference.size(); i += 4) {
    uint8_t r = reference[i], g = reference[i + 1], b = reference[i + 2], a = reference[i + 3];
    if (depth == 16) r = Shifted5Bit(r), g = Shifted5Bit(g), b = Shifted5Bit(b);
    if (depth != 32) a = 255;
    expected.push_back(uint32_t{a} << 24 | uint32_t{r} << 16 | uint32_t{g} << 8 | b);
  }
  PixelBuffer buffer;
  ASSERT_TRUE(LoadTargaInto(&buffer, (base + ".tga").c_str()));
  ASSERT_EQ(buffer.BufferWidth(), 7);
  ASSERT_EQ(buffer.BufferHeight(), 5);
  EXPECT_EQ(BufferPixels(buffer), expected);
}

INSTANTIATE_TEST_SUITE_P(ImageMagick, TargaFixtures, ::testing::ValuesIn(kFixtures),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
