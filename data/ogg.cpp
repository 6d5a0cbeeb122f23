// The binding of the external OGG decoder "ogog.dll": loaded by name, both entry points or
// none, released after each clip.
#include "data/ogg.h"

#include "platform/dynlib.h"

namespace {

#ifdef _WIN32
#define OGG_CALL __stdcall
// The standard library search: the program's folder first, which is also the work folder.
constexpr const char* kLibraryName = "ogog.dll";
#else
#define OGG_CALL  // one calling convention only; the attribute would just warn
// dlopen never looks in the current folder for a bare name, only in the system's library
// folders. A name with a slash is opened as a path, so "./ogog.dll" finds the library in the
// work folder, where the Windows search finds it too, and lets a test put one there.
constexpr const char* kLibraryName = "./ogog.dll";
#endif

using GetVersionFunction = int(OGG_CALL*)(char* buffer);
using DecodeFileFunction = int(OGG_CALL*)(const char* oggPath, const char* wavPath);

constexpr int kVersionBufferSize = 81;

struct OggLibrary {
  platform::DynamicLibrary library;
  GetVersionFunction getVersion = nullptr;
  DecodeFileFunction decodeFile = nullptr;
  char versionText[kVersionBufferSize] = {};
  int version = 0;  // kept as the library reports it; nothing reads it
};

OggLibrary oggLibrary;

void ForgetLibrary() {
  oggLibrary.library.Free();
  oggLibrary.getVersion = nullptr;
  oggLibrary.decodeFile = nullptr;
}

}  // namespace

int LoadOggLibrary() {
  if (oggLibrary.library.IsLoaded()) return 0;
  if (!oggLibrary.library.Load(kLibraryName)) return -1;
  oggLibrary.getVersion =
      reinterpret_cast<GetVersionFunction>(oggLibrary.library.Symbol("OGG_GetVersion"));
  oggLibrary.decodeFile =
      reinterpret_cast<DecodeFileFunction>(oggLibrary.library.Symbol("OGG_DecodeFile"));
  if (!oggLibrary.getVersion || !oggLibrary.decodeFile) {
    ForgetLibrary();
    return -1;
  }
  oggLibrary.version = oggLibrary.getVersion(oggLibrary.versionText);
  return 0;
}

int DecodeOggFile(const std::string& oggPath, const std::string& wavPath) {
  if (!oggLibrary.decodeFile) return -1;
  return oggLibrary.decodeFile(oggPath.c_str(), wavPath.c_str());
}

int UnloadOggLibrary() {
  ForgetLibrary();
  return 0;
}
