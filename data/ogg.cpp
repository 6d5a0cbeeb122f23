// The binding of the external OGG decoder "ogog.dll": loaded by name, both entry points or
// none, released after each clip.
#include "data/ogg.h"

#include "platform/dynlib.h"

namespace {

using GetVersionFunction = int(LIBRARY_CALL*)(char* buffer);
using DecodeFileFunction = int(LIBRARY_CALL*)(const char* oggPath, const char* wavPath);

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
  void *getVersion = nullptr, *decodeFile = nullptr;
  if (!oggLibrary.library.LoadWith(platform::ShippedLibraryName("ogog.dll"),
                                   {{"OGG_GetVersion", &getVersion}, {"OGG_DecodeFile", &decodeFile}}))
    return -1;
  oggLibrary.getVersion = reinterpret_cast<GetVersionFunction>(getVersion);
  oggLibrary.decodeFile = reinterpret_cast<DecodeFileFunction>(decodeFile);
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
