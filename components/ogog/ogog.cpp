// ogog.dll: OGG Vorbis to 16-bit PCM WAV on top of stb_vorbis. The samples are decoded and
// written a chunk at a time, so memory use does not grow with the length of the clip.
#include "components/ogog/ogog.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include "platform/win32/shift_jis.h"
#else
#include "platform/sjis.h"
#endif

#define STB_VORBIS_HEADER_ONLY
#include "stb_vorbis.h"

namespace {

static_assert(std::endian::native == std::endian::little,
              "samples go to the file as they lie in memory, and WAV is little-endian");

constexpr char kVersionText[] = "ogog 1.0 (stb_vorbis)";
constexpr int kVersionNumber = 100;

constexpr uint32_t kHeaderBytes = 44;
// The RIFF size field counts everything after itself and must still fit in 32 bits.
constexpr uint32_t kMaxDataBytes = UINT32_MAX - (kHeaderBytes - 8);
constexpr int kChunkShorts = 8192;

class HeaderWriter {
 public:
  explicit HeaderWriter(unsigned char* at) : at_(at) {}
  void Tag(const char* tag) {
    std::memcpy(at_, tag, 4);
    at_ += 4;
  }
  void U16(uint16_t value) {
    for (int i = 0; i < 2; ++i) *at_++ = static_cast<unsigned char>(value >> (8 * i));
  }
  void U32(uint32_t value) {
    for (int i = 0; i < 4; ++i) *at_++ = static_cast<unsigned char>(value >> (8 * i));
  }

 private:
  unsigned char* at_;
};

// RIFF/WAVE with a 16-byte PCM "fmt " chunk, then the "data" chunk header.
void FillHeader(unsigned char (&header)[kHeaderBytes], int channels, uint32_t rate,
                uint32_t dataBytes) {
  const uint16_t blockAlign = static_cast<uint16_t>(channels * sizeof(int16_t));
  HeaderWriter out(header);
  out.Tag("RIFF");
  out.U32(kHeaderBytes - 8 + dataBytes);
  out.Tag("WAVE");
  out.Tag("fmt ");
  out.U32(16);
  out.U16(1);  // PCM
  out.U16(static_cast<uint16_t>(channels));
  out.U32(rate);
  out.U32(rate * blockAlign);
  out.U16(blockAlign);
  out.U16(16);
  out.Tag("data");
  out.U32(dataBytes);
}

// Appends every sample of the stream to the file; counts the bytes written in dataBytes.
int WriteSamples(stb_vorbis* vorbis, int channels, FILE* out, uint32_t& dataBytes) {
  short chunk[kChunkShorts];
  const int chunkShorts = kChunkShorts / channels * channels;
  dataBytes = 0;
  for (;;) {
    const int frames = stb_vorbis_get_samples_short_interleaved(vorbis, channels, chunk, chunkShorts);
    if (frames <= 0) break;
    const size_t bytes = static_cast<size_t>(frames) * channels * sizeof(short);
    if (bytes > kMaxDataBytes - dataBytes) return kOgogCannotWriteWav;
    if (std::fwrite(chunk, 1, bytes, out) != bytes) return kOgogCannotWriteWav;
    dataBytes += static_cast<uint32_t>(bytes);
  }
  return stb_vorbis_get_error(vorbis) == VORBIS__no_error ? kOgogOk : kOgogBrokenStream;
}

// The header goes first as a placeholder and is written again once the data size is known.
int WriteWave(stb_vorbis* vorbis, FILE* out) {
  const stb_vorbis_info info = stb_vorbis_get_info(vorbis);
  unsigned char header[kHeaderBytes] = {};
  if (std::fwrite(header, 1, kHeaderBytes, out) != kHeaderBytes) return kOgogCannotWriteWav;
  uint32_t dataBytes = 0;
  const int result = WriteSamples(vorbis, info.channels, out, dataBytes);
  if (result != kOgogOk) return result;
  FillHeader(header, info.channels, info.sample_rate, dataBytes);
  if (std::fseek(out, 0, SEEK_SET) != 0) return kOgogCannotWriteWav;
  if (std::fwrite(header, 1, kHeaderBytes, out) != kHeaderBytes) return kOgogCannotWriteWav;
  return kOgogOk;
}

#ifdef _WIN32
// The paths are Shift-JIS whatever the system's code page: opened by their UTF-16 names.
FILE* OpenFile(const char* path, const wchar_t* mode) { return _wfopen(platform::win32::Wide(path).c_str(), mode); }
void RemoveFile(const char* path) { _wremove(platform::win32::Wide(path).c_str()); }
#else
// The callers are Windows programs: their paths use backslashes between Shift-JIS names, where
// a backslash byte may also be the second half of a double-byte character.
std::string FilePath(const char* windowsPath) {
  std::string path(windowsPath);
  for (size_t i = 0; i < path.size(); ++i) {
    if (platform::IsSjisLeadByte(static_cast<unsigned char>(path[i]))) {
      ++i;  // the pair's second byte is part of the name
    } else if (path[i] == '\\') {
      path[i] = '/';
    }
  }
  return path;
}

FILE* OpenFile(const char* path, const wchar_t* mode) {
  return std::fopen(FilePath(path).c_str(), mode[0] == L'r' ? "rb" : "wb");
}
void RemoveFile(const char* path) { std::remove(FilePath(path).c_str()); }
#endif

int DecodeInto(stb_vorbis* vorbis, const char* wavPath) {
  FILE* out = OpenFile(wavPath, L"wb");
  if (!out) return kOgogCannotWriteWav;
  int result = WriteWave(vorbis, out);
  if (std::fclose(out) != 0 && result == kOgogOk) result = kOgogCannotWriteWav;
  if (result != kOgogOk) RemoveFile(wavPath);
  return result;
}

}  // namespace

extern "C" {

int OGOG_CALL OGG_GetVersion(char* buffer) {
  if (buffer) std::snprintf(buffer, kOgogVersionBufferSize, "%s", kVersionText);
  return kVersionNumber;
}

int OGOG_CALL OGG_DecodeFile(const char* oggPath, const char* wavPath) {
  if (!oggPath || !wavPath) return kOgogCannotOpenOgg;
  FILE* in = OpenFile(oggPath, L"rb");
  if (!in) return kOgogCannotOpenOgg;
  int error = VORBIS__no_error;
  // The decoder closes the file when it is done with it, or at once when it fails.
  stb_vorbis* vorbis = stb_vorbis_open_file(in, 1, &error, nullptr);
  if (!vorbis) return kOgogNotVorbis;
  const int result = DecodeInto(vorbis, wavPath);
  stb_vorbis_close(vorbis);
  return result;
}

}  // extern "C"
