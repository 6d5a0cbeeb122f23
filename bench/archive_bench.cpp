// First-run extraction of every sheet (ExtractImages with an empty work folder) from a
// synthetic grp.pak of 2,000 entries and 80 MB, against a raw read of the bytes that the
// extraction needs: the header, the directory up to each sheet's entry and each sheet's
// stored bytes, read with one open and plain block reads, nothing decoded, nothing written;
// and, for scale, that read plus writing each unpacked sheet to a new file.
// The sixteen sheets are the demo sprite sheets, stored unpacked in one archive and packed by
// our encoder in another; the other 1,984 entries are 40 KB of filler each. The archives live
// in a temporary folder (in the page cache once written).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/Untdata.h"
#include "data/sprites.h"
#include "platform/files.h"
#include "tests/common/archive_writer.h"
#include "tools/lzss/lzss_encode.h"

namespace {

constexpr int kEntries = 2000;
constexpr size_t kFiller = 40 * 1024;

std::vector<std::string> SheetNames() {
  std::vector<std::string> names;
  for (int c = 0; c < kRosterSize; ++c)
    for (int v = 0; v < kVariants && SpriteFiles[c][v]; ++v)
      if (std::find(names.begin(), names.end(), SpriteFiles[c][v]) == names.end()) names.push_back(SpriteFiles[c][v]);
  return names;
}

struct Needed {
  int64_t directoryBytes = 0;  // header and directory up to the last sheet's entry
  std::vector<std::pair<int64_t, int64_t>> blocks;  // offset, size of each sheet's data
};

class Fixture {
 public:
  Fixture() {
    char pattern[] = "/tmp/m2k-archive-bench-XXXXXX";
    root_ = mkdtemp(pattern);
    std::filesystem::create_directories(root_ + "/work");
    std::filesystem::create_directories(root_ + "/plain");
    std::filesystem::create_directories(root_ + "/packed");
    Write(false, plain_);
    Write(true, packed_);
  }
  ~Fixture() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  std::string Folder(bool packed) const { return root_ + (packed ? "/packed" : "/plain"); }
  std::string Work() const { return root_ + "/work"; }
  const Needed& Need(bool packed) const { return packed ? packed_ : plain_; }

 private:
  // The sheets spread evenly through the directory, filler everywhere else.
  void Write(bool packSheets, Needed& needed) {
    const std::vector<std::string> names = SheetNames();
    const auto sprites = std::filesystem::path(M2K_SOURCE_DIR) / "resources" / "demo_sprites";
    std::vector<std::string> entryNames(kEntries), entryData(kEntries);
    std::vector<bool> packed(kEntries, false);
    std::string filler(kFiller, '\0');
    for (size_t k = 0; k < filler.size(); ++k) filler[k] = static_cast<char>((k * 7919) >> 5);
    for (int k = 0; k < kEntries; ++k) {
      entryNames[k] = "fill" + std::to_string(k) + ".bmp";
      entryData[k] = filler;
    }
    int lastSheet = 0;
    for (size_t s = 0; s < names.size(); ++s) {
      const int at = static_cast<int>((s * 2 + 1) * kEntries / (names.size() * 2));
      std::ifstream in(sprites / names[s], std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      entryNames[at] = names[s];
      entryData[at] = packSheets ? LzssPackEntry(bytes) : bytes;
      packed[at] = packSheets;
      lastSheet = std::max(lastSheet, at);
    }
    std::vector<test_fixtures::PakEntry> entries;
    int64_t offset = 8 + 36 * kEntries;
    for (int k = 0; k < kEntries; ++k) {
      entries.push_back({.name = entryNames[k], .data = entryData[k], .packedFlag = packed[k] ? 1u : 0u});
      if (entryNames[k].rfind("mapc", 0) == 0) needed.blocks.emplace_back(offset, static_cast<int64_t>(entryData[k].size()));
      offset += static_cast<int64_t>(entryData[k].size());
    }
    needed.directoryBytes = 8 + 36 * (lastSheet + 1);
    std::ofstream out(Folder(packSheets) + "/grp.pak", std::ios::binary);
    out << test_fixtures::ImagePak(entries);
  }

  std::string root_;
  Needed plain_, packed_;
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

void Extract(benchmark::State& state, bool packed) {
  Fixture& f = TheFixture();
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(f.Work());
  TfrmData data;
  data.counterSettings.dirwave = f.Folder(packed) + "\\";
  const std::vector<std::string> names = SheetNames();
  int64_t written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (const std::string& name : names) platform::RemoveFile(name);
    state.ResumeTiming();
    if (!data.ExtractImages()) state.SkipWithError("extraction failed");
  }
  for (const std::string& name : names) written += std::filesystem::file_size(f.Work() + "/" + name);
  state.counters["sheet_bytes"] = static_cast<double>(written);
  for (const std::string& name : names) platform::RemoveFile(name);
  std::filesystem::current_path(saved);
}

void RawRead(benchmark::State& state, bool packed) {
  Fixture& f = TheFixture();
  const Needed& need = f.Need(packed);
  const std::string path = f.Folder(packed) + "/grp.pak";
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    const int fd = open(path.c_str(), O_RDONLY);
    int64_t got = 0;
    for (int64_t at = 0; at < need.directoryBytes; at += static_cast<int64_t>(buffer.size()))
      got += pread(fd, buffer.data(), std::min<int64_t>(static_cast<int64_t>(buffer.size()), need.directoryBytes - at), at);
    for (const auto& [offset, size] : need.blocks)
      for (int64_t at = 0; at < size; at += static_cast<int64_t>(buffer.size()))
        got += pread(fd, buffer.data(), std::min<int64_t>(static_cast<int64_t>(buffer.size()), size - at), offset + at);
    close(fd);
    benchmark::DoNotOptimize(got);
  }
}

// For scale: the raw read plus writing each sheet's stored bytes to a new file of its own, the
// least that any extraction of the unpacked archive has to do.
void RawCopy(benchmark::State& state, bool packed) {
  Fixture& f = TheFixture();
  const Needed& need = f.Need(packed);
  const std::string path = f.Folder(packed) + "/grp.pak";
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    state.PauseTiming();
    for (size_t s = 0; s < need.blocks.size(); ++s) unlink((f.Work() + "/copy" + std::to_string(s)).c_str());
    state.ResumeTiming();
    const int fd = open(path.c_str(), O_RDONLY);
    for (int64_t at = 0; at < need.directoryBytes; at += static_cast<int64_t>(buffer.size()))
      benchmark::DoNotOptimize(pread(fd, buffer.data(), std::min<int64_t>(static_cast<int64_t>(buffer.size()), need.directoryBytes - at), at));
    for (size_t s = 0; s < need.blocks.size(); ++s) {
      const auto [offset, size] = need.blocks[s];
      const int out = open((f.Work() + "/copy" + std::to_string(s)).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      for (int64_t at = 0; at < size; at += static_cast<int64_t>(buffer.size())) {
        const int64_t n = pread(fd, buffer.data(), std::min<int64_t>(static_cast<int64_t>(buffer.size()), size - at), offset + at);
        benchmark::DoNotOptimize(write(out, buffer.data(), static_cast<size_t>(n)));
      }
      close(out);
    }
    close(fd);
  }
  for (size_t s = 0; s < need.blocks.size(); ++s) unlink((f.Work() + "/copy" + std::to_string(s)).c_str());
}

void BM_ExtractImages_FirstRun_Unpacked(benchmark::State& state) { Extract(state, false); }
void BM_RawReadOfNeededBytes_Unpacked(benchmark::State& state) { RawRead(state, false); }
void BM_RawCopyOfNeededBytes_Unpacked(benchmark::State& state) { RawCopy(state, false); }
void BM_ExtractImages_FirstRun_Packed(benchmark::State& state) { Extract(state, true); }
void BM_RawReadOfNeededBytes_Packed(benchmark::State& state) { RawRead(state, true); }

BENCHMARK(BM_ExtractImages_FirstRun_Unpacked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawReadOfNeededBytes_Unpacked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawCopyOfNeededBytes_Unpacked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractImages_FirstRun_Packed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawReadOfNeededBytes_Packed)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
