// LoadTargaInto against stb_image's TGA loader on sprite-sheet-like files: 256 x 512, 32-bit,
// transparent background with soft-edged, cel-shaded figures, stored uncompressed and
// run-length encoded, each bottom-up (as most TGA writers and the game's sheets store them) and
// top-down. Each case runs our loader and then stb_image on the same file, so the two lines
// stand side by side. Both loaders read the file by name, so both pay for the same file access.
// Before timing, both loaders must give back the generated picture exactly.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

#include "image/pixel_buffer.h"
#include "image/targa.h"

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 512;

// Eight figures in two columns, each a body and a head with a two-pixel alpha ramp at the edge,
// on a fully transparent background. Inside, bands of flat colour (cel shading) alternate with
// bands shaded pixel by pixel, so that run-length encoding sees both long runs and raw stretches,
// as in drawn sprites.
std::vector<uint32_t> MakeSheet() {
  std::vector<uint32_t> sheet(kWidth * kHeight, 0);
  for (int figure = 0; figure < 8; ++figure) {
    const double cx = 64 + 128 * (figure % 2), top = 8 + 126 * (figure / 2);
    const uint32_t hue = 0x402010u * (figure + 1);
    for (int y = 0; y < 126; ++y) {
      for (int x = -56; x < 56; ++x) {
        const double dy = y < 34 ? (y - 17) / 17.0 : (y - 80) / 46.0;
        const double dx = y < 34 ? x / 17.0 : x / (30.0 + 8 * std::sin(y / 9.0));
        const double edge = (1.0 - std::sqrt(dx * dx + dy * dy)) * 17.0;  // pixels inside
        if (edge <= 0) continue;
        const uint32_t alpha = edge >= 2 ? 255 : static_cast<uint32_t>(edge * 127);
        const uint32_t band = (y / 12 + (x > 10 ? 1 : 0)) * 0x0C0C0C;
        const uint32_t shade = (y / 12) % 2 ? static_cast<uint32_t>(x + 56 + (x * y) % 7) : 0;
        const uint32_t colour = ((hue + band) & 0x7F7F7F) + 0x303030 + shade * 0x010101;
        sheet[(top + y) * kWidth + static_cast<int>(cx) + x] = alpha << 24 | colour;
      }
    }
  }
  return sheet;
}

void Put(std::vector<uint8_t>& out, uint32_t argb) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(argb >> shift));
}

// The file of a sheet in the given storage form, written into /tmp.
std::string WriteSheet(const std::vector<uint32_t>& sheet, bool rle, bool topDown) {
  std::vector<uint8_t> file = {0, 0, uint8_t(rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               kWidth & 0xFF, kWidth >> 8, kHeight & 0xFF, kHeight >> 8, 32,
                               uint8_t(topDown ? 0x28 : 0x08)};
  std::vector<uint32_t> stored;
  for (int i = 0; i < kHeight; ++i) {
    const int row = topDown ? i : kHeight - 1 - i;
    stored.insert(stored.end(), sheet.begin() + row * kWidth, sheet.begin() + (row + 1) * kWidth);
  }
  for (size_t i = 0; i < stored.size();) {
    if (!rle) {
      Put(file, stored[i++]);
      continue;
    }
    size_t run = 1;
    while (i + run < stored.size() && run < 128 && stored[i + run] == stored[i]) ++run;
    if (run > 1) {
      file.push_back(uint8_t(0x80 | (run - 1)));
      Put(file, stored[i]);
      i += run;
      continue;
    }
    size_t raw = 1;
    while (i + raw < stored.size() && raw < 128 &&
           !(i + raw + 1 < stored.size() && stored[i + raw] == stored[i + raw + 1]))
      ++raw;
    file.push_back(uint8_t(raw - 1));
    for (size_t k = 0; k < raw; ++k) Put(file, stored[i + k]);
    i += raw;
  }
  const std::string path = "/tmp/m2k-targa-bench-" + std::to_string(getpid()) +
                           (rle ? "-rle" : "-raw") + (topDown ? "-topdown.tga" : "-bottomup.tga");
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size()) std::abort();
  std::fclose(out);
  return path;
}

struct Case {
  std::string name;
  bool rle, topDown;
  std::string path;
};

struct Sheets {
  Sheets() : picture(MakeSheet()) {
    for (bool rle : {false, true})
      for (bool topDown : {false, true}) {
        const std::string name =
            std::string(rle ? "rle" : "uncompressed") + (topDown ? "/top-down" : "/bottom-up");
        cases.push_back({name, rle, topDown, WriteSheet(picture, rle, topDown)});
      }
  }
  ~Sheets() {
    for (const Case& c : cases) std::remove(c.path.c_str());
  }
  std::vector<uint32_t> picture;
  std::vector<Case> cases;
};

const Sheets& TheSheets() {
  static const Sheets sheets;
  return sheets;
}

bool OursMatches(const std::string& path) {
  PixelBuffer buffer;
  if (!LoadTargaInto(&buffer, path.c_str()) || buffer.BufferWidth() != kWidth ||
      buffer.BufferHeight() != kHeight)
    return false;
  return std::memcmp(buffer.PixelAt(0, 0), TheSheets().picture.data(), kWidth * kHeight * 4) == 0;
}

// stb_image gives R, G, B, A bytes, top row first.
bool StbMatches(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
  bool same = pixels && width == kWidth && height == kHeight;
  for (int i = 0; same && i < kWidth * kHeight; ++i) {
    const stbi_uc* p = pixels + 4 * i;
    same = (uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]) ==
           TheSheets().picture[i];
  }
  stbi_image_free(pixels);
  return same;
}

void BM_LoadTargaInto(benchmark::State& state, const Case* c) {
  if (!OursMatches(c->path)) state.SkipWithError("LoadTargaInto gives another picture");
  PixelBuffer buffer;
  for (auto _ : state) {
    if (!LoadTargaInto(&buffer, c->path.c_str())) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(buffer.PixelAt(0, 0));
  }
}

void BM_StbiLoad(benchmark::State& state, const Case* c) {
  if (!StbMatches(c->path)) state.SkipWithError("stb_image gives another picture");
  for (auto _ : state) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(c->path.c_str(), &width, &height, &channels, 4);
    if (!pixels) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (const Case& c : TheSheets().cases) {
    benchmark::RegisterBenchmark(("LoadTargaInto/" + c.name).c_str(), BM_LoadTargaInto, &c);
    benchmark::RegisterBenchmark(("stbi_load/" + c.name).c_str(), BM_StbiLoad, &c);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
