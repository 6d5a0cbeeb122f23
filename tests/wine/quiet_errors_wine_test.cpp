// No look at the file system may make Windows ask for a missing medium in a box of its own (a
// game folder stored on a CD that is out): every call that looks at a path runs with critical
// errors failed quietly, for the calling thread only. The calls are watched through this
// program's import table, which the platform code, linked in, calls through.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/files.h"
#include "tests/wine/sjis_calls.h"

namespace {

std::atomic<int> watched{0}, loud{0}, processWide{0};
UINT processModeBefore = 0;

void Note() {
  ++watched;
  if (!(GetThreadErrorMode() & SEM_FAILCRITICALERRORS)) ++loud;
  // Set for the whole process, it would silence another thread's own boxes too.
  if ((GetErrorMode() & SEM_FAILCRITICALERRORS) && !(processModeBefore & SEM_FAILCRITICALERRORS)) ++processWide;
}

decltype(&GetFileAttributesW) realAttributes = nullptr;
decltype(&CreateFileW) realCreateFile = nullptr;
decltype(&FindFirstFileW) realFindFirst = nullptr;

DWORD WINAPI WatchedAttributes(LPCWSTR path) {
  Note();
  return realAttributes(path);
}
HANDLE WINAPI WatchedCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD creation, DWORD flags, HANDLE model) {
  Note();
  return realCreateFile(path, access, share, security, creation, flags, model);
}
HANDLE WINAPI WatchedFindFirst(LPCWSTR pattern, LPWIN32_FIND_DATAW found) {
  Note();
  return realFindFirst(pattern, found);
}

// Puts `replacement` in this program's import slot of kernel32's `name`; the old entry, or null
// when there is no such import.
void* PatchImport(const char* name, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name;
       ++library) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + library->Name), "kernel32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
      DWORD protection = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
      void* previous = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return previous;
    }
  }
  return nullptr;
}

class Watch {
 public:
  Watch() {
    realAttributes = reinterpret_cast<decltype(realAttributes)>(
        PatchImport("GetFileAttributesW", reinterpret_cast<void*>(&WatchedAttributes)));
    realCreateFile = reinterpret_cast<decltype(realCreateFile)>(
        PatchImport("CreateFileW", reinterpret_cast<void*>(&WatchedCreateFile)));
    realFindFirst = reinterpret_cast<decltype(realFindFirst)>(
        PatchImport("FindFirstFileW", reinterpret_cast<void*>(&WatchedFindFirst)));
  }
  ~Watch() {
    if (realAttributes) PatchImport("GetFileAttributesW", reinterpret_cast<void*>(realAttributes));
    if (realCreateFile) PatchImport("CreateFileW", reinterpret_cast<void*>(realCreateFile));
    if (realFindFirst) PatchImport("FindFirstFileW", reinterpret_cast<void*>(realFindFirst));
  }
  bool Installed() const { return realAttributes && realCreateFile && realFindFirst; }
};

std::string Variable(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD length = sjis::GetEnvironmentVariable(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(value) : std::string();
}

TEST(QuietErrorsWine, EveryLookAtAPathFailsCriticalErrorsQuietlyOnItsOwnThread) {
  const std::string noMedium = Variable("M2K_NO_MEDIUM_DRIVE");
  ASSERT_FALSE(noMedium.empty()) << "run through tests/wine/test_drives.sh (make test-wine)";
  const std::string folder = noMedium + "\\Games\\Marivel2\\";
  processModeBefore = GetErrorMode();
  const UINT threadModeBefore = GetThreadErrorMode();
  watched = loud = processWide = 0;
  {
    Watch watch;
    ASSERT_TRUE(watch.Installed()) << "the program's imports could not be watched";
    std::string bytes;
    std::vector<std::string> names;
    platform::File file;
    EXPECT_FALSE(platform::FolderExists(folder));
    EXPECT_FALSE(platform::FileExists(folder + "Marivel2.exe"));
    EXPECT_FALSE(platform::IsHidden(folder + "grp.pak"));
    EXPECT_FALSE(platform::ReadWholeFile(folder + "STARTHUB", bytes));
    EXPECT_FALSE(platform::WriteWholeFile(folder + "STARTHUB", "x"));
    EXPECT_FALSE(platform::ReplaceWholeFile(folder + "STARTHUB", "x"));
    EXPECT_FALSE(file.OpenShared(folder + "grp.pak"));
    EXPECT_TRUE(platform::FilesMatching(folder + "*").empty());
    platform::RemoveMatching(folder + "*.TGA");
    EXPECT_FALSE(platform::DriveReadable(noMedium[0]));
    EXPECT_FALSE(platform::SubFolders(folder, names));
    platform::Drives();
  }
  EXPECT_GT(watched.load(), 10) << "the calls were not seen";
  EXPECT_EQ(0, loud.load()) << "looks at the file system that could raise the system's box";
  EXPECT_EQ(0, processWide.load()) << "the process-wide error mode was changed";
  EXPECT_EQ(threadModeBefore, GetThreadErrorMode()) << "the thread's error mode was not given back";
  EXPECT_EQ(processModeBefore, GetErrorMode());
}

}  // namespace
