#pragma once
// ogog.dll: turns an OGG Vorbis file into a 16-bit PCM WAV file. Paths are Shift-JIS (code page
// 932) whatever the system's code page is, and are opened by their UTF-16 names. Both entry
// points use the Windows standard calling convention, so any Windows program can bind them by
// name with GetProcAddress.
#ifdef _WIN32
#define OGOG_CALL __stdcall
#define OGOG_EXPORT  // the export names are fixed by ogog.def
#else
#define OGOG_CALL  // one calling convention only; the attribute would just warn
#define OGOG_EXPORT __attribute__((visibility("default")))
#endif

// Results of OGG_DecodeFile. -1 is left out: callers that bind the library use it for "not
// loaded", and a decoder failure should stay distinguishable from that.
enum OgogResult {
  kOgogOk = 0,
  kOgogCannotOpenOgg = -2,
  kOgogNotVorbis = -3,
  kOgogCannotWriteWav = -4,
  kOgogBrokenStream = -5,
};

// The version text's buffer holds 80 characters and the terminating zero.
constexpr int kOgogVersionBufferSize = 81;

extern "C" {
// Writes the version text into the buffer; returns the version as major * 100 + minor.
OGOG_EXPORT int OGOG_CALL OGG_GetVersion(char* buffer);
// Decodes the whole OGG file into a new WAV file. On failure no WAV file is left at wavPath.
OGOG_EXPORT int OGOG_CALL OGG_DecodeFile(const char* oggPath, const char* wavPath);
}
