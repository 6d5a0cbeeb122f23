// The OGG decoder library and its binding: the library is found in the work folder, is kept
// only with both entry points, and writes WAV files that our own reading, sox and oggdec agree
// on. The fixtures are tones made by tools/make_ogg_fixtures.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "components/ogog/ogog.h"
#include "data/ogg.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "tests/native/native_support.h"

namespace {

using native_support::CurrentFolderGuard;
using native_support::Exists;
using native_support::MakeFile;
using native_support::TempFolder;

std::string Fixture(const std::string& name) { return std::string(M2K_OGG_FIXTURES) + "/" + name; }

std::string ReadBytes(const std::string& posixPath) {
  std::string bytes;
  platform::ReadWholeFile(posixPath, bytes);
  return bytes;
}

uint32_t U16(const std::string& bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8;
}
uint32_t U32(const std::string& bytes, size_t at) { return U16(bytes, at) | U16(bytes, at + 2) << 16; }

struct Chunk {
  std::string id;
  std::string body;
};

// The chunks of a RIFF/WAVE file, in file order; nothing when the outer header does not state
// the file's real size or a chunk runs past the end.
std::optional<std::vector<Chunk>> ReadWaveChunks(const std::string& bytes) {
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
    return std::nullopt;
  if (U32(bytes, 4) != bytes.size() - 8) return std::nullopt;
  std::vector<Chunk> chunks;
  for (size_t at = 12; at < bytes.size();) {
    if (bytes.size() - at < 8) return std::nullopt;
    const uint32_t size = U32(bytes, at + 4);
    if (size > bytes.size() - at - 8) return std::nullopt;
    chunks.push_back({bytes.substr(at, 4), bytes.substr(at + 8, size)});
    at += 8 + size + (size & 1);
  }
  return chunks;
}

const Chunk* FindChunk(const std::vector<Chunk>& chunks, const std::string& id) {
  for (const Chunk& chunk : chunks)
    if (chunk.id == id) return &chunk;
  return nullptr;
}

std::vector<int16_t> Samples(const std::string& data) {
  std::vector<int16_t> samples(data.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(U16(data, 2 * i));
  return samples;
}

bool ToolPresent(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The trimmed output of a shell command, or nothing when it fails.
std::optional<std::string> RunCommand(const std::string& command) {
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string output;
  char buffer[256];
  while (size_t got = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
  if (pclose(pipe) != 0) return std::nullopt;
  while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
  return output;
}

// One field of `sox --i`: -c channels, -r rate, -b bits per sample, -e encoding, -s samples per
// channel, -t file type.
std::string SoxInfo(const std::string& flag, const std::string& path) {
  return RunCommand("sox --i " + flag + " '" + path + "'").value_or("(sox failed)");
}

// The current folder is a fresh work folder, where the binding looks for "ogog.dll".
class OggWorkFolder : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(work_.Made());
    std::filesystem::current_path(work_.Posix());
  }
  void TearDown() override { UnloadOggLibrary(); }

  // A loaded library must not be overwritten in place: the old file goes, a new one comes.
  void InstallLibrary(const char* builtLibrary) {
    std::filesystem::remove(work_.Child("ogog.dll"));
    std::filesystem::copy_file(builtLibrary, work_.Child("ogog.dll"));
  }
  void CopyFixture(const std::string& name, const std::string& as) {
    std::filesystem::copy_file(Fixture(name), work_.Child(as));
  }

  TempFolder work_;
  CurrentFolderGuard restoreFolder_;
};

TEST_F(OggWorkFolder, WithoutALibraryNothingIsDecoded) {
  CopyFixture("tone-mono-22050.ogg", "clip.OGG");
  EXPECT_EQ(-1, LoadOggLibrary());
  EXPECT_EQ(-1, DecodeOggFile(".\\clip.OGG", ".\\clip.OGG.wav"));
  EXPECT_FALSE(Exists(work_.Child("clip.OGG.wav")));
  EXPECT_EQ(0, UnloadOggLibrary());
}

TEST_F(OggWorkFolder, ALibraryLackingAnEntryPointIsReleasedAndForgotten) {
  CopyFixture("tone-mono-22050.ogg", "clip.OGG");
  for (const char* halfLibrary : {M2K_OGOG_ONLY_GETVERSION, M2K_OGOG_ONLY_DECODEFILE}) {
    SCOPED_TRACE(halfLibrary);
    InstallLibrary(halfLibrary);
    EXPECT_EQ(-1, LoadOggLibrary());
    EXPECT_EQ(-1, DecodeOggFile(".\\clip.OGG", ".\\clip.OGG.wav"));
    EXPECT_FALSE(Exists(work_.Child("clip.OGG.wav")));

    // Had the half library been kept, this load would report it as already loaded and the
    // decode would reach it instead of the real one.
    InstallLibrary(M2K_OGOG_LIBRARY);
    EXPECT_EQ(0, LoadOggLibrary());
    EXPECT_EQ(kOgogOk, DecodeOggFile(".\\clip.OGG", ".\\clip.OGG.wav"));
    EXPECT_TRUE(Exists(work_.Child("clip.OGG.wav")));
    UnloadOggLibrary();
    std::filesystem::remove(work_.Child("clip.OGG.wav"));
  }
}

TEST_F(OggWorkFolder, TheLibraryStaysLoadedUntilUnloaded) {
  CopyFixture("tone-mono-22050.ogg", "clip.OGG");
  InstallLibrary(M2K_OGOG_LIBRARY);
  ASSERT_EQ(0, LoadOggLibrary());
  std::filesystem::remove(work_.Child("ogog.dll"));
  EXPECT_EQ(0, LoadOggLibrary()) << "a second load finds the library already loaded";
  EXPECT_EQ(kOgogOk, DecodeOggFile(".\\clip.OGG", ".\\first.wav"));
  EXPECT_TRUE(Exists(work_.Child("first.wav")));

  EXPECT_EQ(0, UnloadOggLibrary());
  EXPECT_EQ(-1, DecodeOggFile(".\\clip.OGG", ".\\second.wav"));
  EXPECT_FALSE(Exists(work_.Child("second.wav")));
  EXPECT_EQ(-1, LoadOggLibrary()) << "released, so the removed file is looked for again";
}

TEST_F(OggWorkFolder, ShiftJisNamesWithABackslashByteAreOneName) {
  // The second byte of "ソ" in Shift-JIS is 0x5C, the backslash.
  const std::string ogg = ".\\\x83\x5C.OGG";
  CopyFixture("tone-mono-22050.ogg", "\x83\x5C.OGG");
  InstallLibrary(M2K_OGOG_LIBRARY);
  ASSERT_EQ(0, LoadOggLibrary());
  EXPECT_EQ(kOgogOk, DecodeOggFile(ogg, ogg + ".wav"));
  EXPECT_TRUE(Exists(work_.Child("\x83\x5C.OGG.wav")));
}

TEST_F(OggWorkFolder, FailedDecodesReportTheLibrarysResultAndLeaveNoWave) {
  const std::string good = ReadBytes(Fixture("tone-stereo-44100.ogg"));
  std::string badMagic = good, badIdentification = good;
  badMagic[0] = 'X';
  badIdentification[29] = 'X';  // "\x01vorbis" starts the first packet, at byte 28
  MakeFile(work_.Child("text.ogg"), "this is not an OGG file\n");
  MakeFile(work_.Child("empty.ogg"), "");
  MakeFile(work_.Child("header-cut.ogg"), good.substr(0, 200));
  MakeFile(work_.Child("bad-magic.ogg"), badMagic);
  MakeFile(work_.Child("bad-identification.ogg"), badIdentification);
  MakeFile(work_.Child("good.ogg"), good);
  struct Case {
    const char* ogg;
    const char* wav;
    int result;
  } const cases[] = {
      {"missing.ogg", "out.wav", kOgogCannotOpenOgg},
      {"text.ogg", "out.wav", kOgogNotVorbis},
      {"empty.ogg", "out.wav", kOgogNotVorbis},
      {"header-cut.ogg", "out.wav", kOgogNotVorbis},
      {"bad-magic.ogg", "out.wav", kOgogNotVorbis},
      {"bad-identification.ogg", "out.wav", kOgogNotVorbis},
      {"good.ogg", "no-such-folder\\out.wav", kOgogCannotWriteWav},
  };
  InstallLibrary(M2K_OGOG_LIBRARY);
  ASSERT_EQ(0, LoadOggLibrary());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ogg);
    EXPECT_EQ(c.result, DecodeOggFile(c.ogg, c.wav));
    EXPECT_FALSE(Exists(work_.Child("out.wav")));
  }
  EXPECT_FALSE(Exists(work_.Child("no-such-folder")));
}

TEST(OggVersion, FitsTheCallersBufferWithItsTerminator) {
  platform::DynamicLibrary library;
  ASSERT_TRUE(library.Load(M2K_OGOG_LIBRARY));
  auto getVersion = reinterpret_cast<int (*)(char*)>(library.Symbol("OGG_GetVersion"));
  ASSERT_NE(nullptr, getVersion);
  std::string buffer(200, '#');
  getVersion(buffer.data());
  const size_t length = buffer.find('\0');
  ASSERT_LT(length, 81u);
  EXPECT_GT(length, 0u);
  EXPECT_EQ(std::string(200 - 81, '#'), buffer.substr(81)) << "wrote past the 81-byte buffer";
}

struct Tone {
  const char* fixture;
  uint32_t channels;
  uint32_t rate;
};

std::ostream& operator<<(std::ostream& out, const Tone& tone) { return out << tone.fixture; }

// Each fixture decoded once through the binding into a work folder.
class DecodedTone : public OggWorkFolder, public testing::WithParamInterface<Tone> {
 protected:
  void SetUp() override {
    OggWorkFolder::SetUp();
    CopyFixture(GetParam().fixture, "clip.OGG");
    InstallLibrary(M2K_OGOG_LIBRARY);
    ASSERT_EQ(0, LoadOggLibrary());
    ASSERT_EQ(kOgogOk, DecodeOggFile(".\\clip.OGG", ".\\clip.OGG.wav"));
    wavPath_ = work_.Child("clip.OGG.wav");
  }
  std::string wavPath_;
};

TEST_P(DecodedTone, IsAPlainPcmWaveOfTheStreamsFormat) {
  const Tone tone = GetParam();
  const std::string bytes = ReadBytes(wavPath_);
  const auto chunks = ReadWaveChunks(bytes);
  ASSERT_TRUE(chunks.has_value()) << "RIFF header or chunk sizes do not match the file";
  ASSERT_EQ(2u, chunks->size());
  const Chunk& format = (*chunks)[0];
  const Chunk& data = (*chunks)[1];
  ASSERT_EQ("fmt ", format.id);
  ASSERT_EQ(16u, format.body.size());
  EXPECT_EQ(1u, U16(format.body, 0)) << "PCM";
  EXPECT_EQ(tone.channels, U16(format.body, 2));
  EXPECT_EQ(tone.rate, U32(format.body, 4));
  EXPECT_EQ(tone.rate * tone.channels * 2, U32(format.body, 8)) << "bytes per second";
  EXPECT_EQ(tone.channels * 2, U16(format.body, 12)) << "block align";
  EXPECT_EQ(16u, U16(format.body, 14)) << "bits per sample";
  ASSERT_EQ("data", data.id);
  EXPECT_GT(data.body.size(), 0u);
  EXPECT_EQ(0u, data.body.size() % (tone.channels * 2)) << "whole sample frames";
}

TEST_P(DecodedTone, SoxReadsTheFormatAndLengthWeWrote) {
  // The prerequisites install sox: without it this check would silently not happen.
  ASSERT_TRUE(ToolPresent("sox")) << "sox is missing; tools/install-prereqs.sh installs it";
  const Tone tone = GetParam();
  const auto chunks = ReadWaveChunks(ReadBytes(wavPath_));
  ASSERT_TRUE(chunks.has_value());
  const Chunk* data = FindChunk(*chunks, "data");
  ASSERT_NE(nullptr, data);
  EXPECT_EQ("wav", SoxInfo("-t", wavPath_));
  EXPECT_EQ(std::to_string(tone.channels), SoxInfo("-c", wavPath_));
  EXPECT_EQ(std::to_string(tone.rate), SoxInfo("-r", wavPath_));
  EXPECT_EQ("16", SoxInfo("-b", wavPath_));
  EXPECT_EQ("Signed Integer PCM", SoxInfo("-e", wavPath_));
  EXPECT_EQ(std::to_string(data->body.size() / (2 * tone.channels)), SoxInfo("-s", wavPath_));
}

TEST_P(DecodedTone, AgreesWithOggdecOnFormatLengthAndSamples) {
  // The only comparison with an independent decoder: a missing tool is a broken setup.
  ASSERT_TRUE(ToolPresent("sox")) << "sox is missing; tools/install-prereqs.sh installs it";
  ASSERT_TRUE(ToolPresent("oggdec")) << "oggdec is missing; tools/install-prereqs.sh installs vorbis-tools";
  const std::string reference = work_.Child("oggdec.wav");
  ASSERT_TRUE(RunCommand("oggdec -Q -o '" + reference + "' '" + Fixture(GetParam().fixture) + "'"));
  for (const char* flag : {"-c", "-r", "-b", "-e", "-s"}) {
    SCOPED_TRACE(flag);
    EXPECT_EQ(SoxInfo(flag, reference), SoxInfo(flag, wavPath_));
  }

  // Two Vorbis decoders may round a sample differently, never by more than a step or two.
  const auto ours = ReadWaveChunks(ReadBytes(wavPath_));
  const auto theirs = ReadWaveChunks(ReadBytes(reference));
  ASSERT_TRUE(ours && theirs);
  ASSERT_TRUE(FindChunk(*ours, "data") && FindChunk(*theirs, "data"));
  const std::vector<int16_t> a = Samples(FindChunk(*ours, "data")->body);
  const std::vector<int16_t> b = Samples(FindChunk(*theirs, "data")->body);
  ASSERT_EQ(b.size(), a.size());
  int largestDifference = 0, loudest = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    largestDifference = std::max(largestDifference, std::abs(a[i] - b[i]));
    loudest = std::max(loudest, std::abs(int{b[i]}));
  }
  EXPECT_LE(largestDifference, 2);
  EXPECT_GT(loudest, 8000) << "the tone is there, so agreeing means something";
}

INSTANTIATE_TEST_SUITE_P(Tones, DecodedTone,
                         testing::Values(Tone{"tone-mono-22050.ogg", 1, 22050},
                                         Tone{"tone-stereo-44100.ogg", 2, 44100},
                                         Tone{"tone-stereo-22050.ogg", 2, 22050}),
                         [](const testing::TestParamInfo<Tone>& info) {
                           std::string name = info.param.fixture;
                           name = name.substr(0, name.find('.'));
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

}  // namespace
