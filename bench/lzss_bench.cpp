// LzssDecode against a plain textbook decoder that works byte by byte on its 4096-byte ring,
// as the widely published reference does, on the demo sprite sheets packed by our encoder and
// on a synthetic sheet-like stream. Both decode the same streams into the same buffers; the
// counter "bytes_per_second" is output bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/lzss.h"
#include "tools/lzss/lzss_encode.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The textbook decoder: every byte through the ring, every input byte checked.
int32_t TextbookDecode(uint8_t* out, const uint8_t* in, int32_t inLength, int32_t expected) {
  static uint8_t ring[4096];
  std::memset(ring, ' ', 4078);
  uint32_t r = 4078;
  int32_t i = 0, produced = 0;
  unsigned flags = 0;
  for (;;) {
    if (((flags >>= 1) & 0x100) == 0) {
      if (i >= inLength) break;
      flags = in[i++] | 0xFF00u;
    }
    if (flags & 1) {
      if (i >= inLength) break;
      const uint8_t c = in[i++];
      if (produced == expected) return expected + 1;
      out[produced++] = c;
      ring[r++] = c;
      r &= 4095;
    } else {
      if (i + 1 >= inLength) break;
      const uint32_t position = in[i] | (in[i + 1] & 0xF0u) << 4;
      const int length = (in[i + 1] & 0x0F) + 3;
      i += 2;
      for (int k = 0; k < length; ++k) {
        const uint8_t c = ring[(position + k) & 4095];
        if (produced == expected) return expected + 1;
        out[produced++] = c;
        ring[r++] = c;
        r &= 4095;
      }
    }
  }
  return produced;
}

struct Stream {
  Bytes packed;
  int32_t size;
};

// All sixteen demo sheets, packed.
const std::vector<Stream>& DemoStreams() {
  static const std::vector<Stream> streams = [] {
    std::vector<Stream> all;
    const auto folder = std::filesystem::path(M2K_SOURCE_DIR) / "resources" / "demo_sprites";
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
      const std::string extension = item.path().extension().string();
      if (extension != ".tga" && extension != ".tg2") continue;
      std::ifstream in(item.path(), std::ios::binary);
      const Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      all.push_back({LzssEncode(data.data(), data.size()), static_cast<int32_t>(data.size())});
    }
    return all;
  }();
  return streams;
}

// A 1 MiB sheet-like picture: transparent runs, flat bands and shaded stretches.
const std::vector<Stream>& SyntheticStreams() {
  static const std::vector<Stream> streams = [] {
    Bytes data(1 << 20);
    uint32_t seed = 12345;
    for (size_t k = 0; k < data.size(); k += 4) {
      seed = seed * 1103515245u + 12345u;
      const size_t x = (k / 4) % 256, y = (k / 4) / 256;
      const bool inside = (x + y / 3) % 128 > 40 && (x + y / 3) % 128 < 100;
      const uint8_t shade = static_cast<uint8_t>((y / 12) % 2 ? x + (seed >> 28) : (y / 12) * 16);
      const uint8_t pixel[4] = {shade, static_cast<uint8_t>(shade / 2), 0x60, inside ? uint8_t{255} : uint8_t{0}};
      for (int c = 0; c < 4; ++c) data[k + c] = inside ? pixel[c] : 0;
    }
    return std::vector<Stream>{{LzssEncode(data.data(), data.size()), static_cast<int32_t>(data.size())}};
  }();
  return streams;
}

template <int32_t (*Decode)(uint8_t*, const uint8_t*, int32_t, int32_t)>
void Run(benchmark::State& state, const std::vector<Stream>& streams) {
  int64_t largest = 0, total = 0;
  for (const Stream& s : streams) {
    largest = std::max<int64_t>(largest, s.size);
    total += s.size;
  }
  Bytes out(static_cast<size_t>(largest));
  for (auto _ : state) {
    for (const Stream& s : streams) {
      const int32_t got = Decode(out.data(), s.packed.data(), static_cast<int32_t>(s.packed.size()), s.size);
      if (got != s.size) state.SkipWithError("wrong length");
      benchmark::DoNotOptimize(out.data());
      benchmark::ClobberMemory();
    }
  }
  state.SetBytesProcessed(state.iterations() * total);
}

// Ours, through one window kept from call to call as the sheets' extraction keeps it.
int32_t OursDecode(uint8_t* out, const uint8_t* in, int32_t inLength, int32_t expected) {
  static LzssCarry carry;
  return LzssDecode(out, in, inLength, expected, carry);
}

void BM_Lzss_DemoSheets(benchmark::State& state) { Run<OursDecode>(state, DemoStreams()); }
void BM_Textbook_DemoSheets(benchmark::State& state) { Run<TextbookDecode>(state, DemoStreams()); }
void BM_Lzss_Synthetic1MiB(benchmark::State& state) { Run<OursDecode>(state, SyntheticStreams()); }
void BM_Textbook_Synthetic1MiB(benchmark::State& state) { Run<TextbookDecode>(state, SyntheticStreams()); }

BENCHMARK(BM_Lzss_DemoSheets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Textbook_DemoSheets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lzss_Synthetic1MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Textbook_Synthetic1MiB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
