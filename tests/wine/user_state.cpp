#include "tests/wine/user_state.h"

#include <windows.h>

#include "platform/files.h"
#include "tests/wine/sjis_calls.h"

namespace wine_test {

namespace {

// The programs and libraries of the folder are larger than this and are never written by a
// test: they are known by name only.
constexpr DWORD kLargestKept = 1 << 20;
const char kNotKept[] = "\x01not kept";

std::map<std::string, std::string> FilesIn(const std::string& folder) {
  std::map<std::string, std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE search = sjis::FindFirstFile((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string bytes = kNotKept;
    if (found.nFileSizeHigh == 0 && found.nFileSizeLow <= kLargestKept) platform::ReadWholeFile(folder + found.cFileName, bytes);
    files[found.cFileName] = std::move(bytes);
  } while (sjis::FindNextFile(search, &found));
  FindClose(search);
  return files;
}

const char* const kKeptKeys[] = {
    "\\Software\\Zorve",
    "\\Software\\Vant",
    "\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current",
    "\\AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current",
};

}  // namespace

FolderSnapshot::FolderSnapshot(const std::string& folder) : folder_(folder), files_(FilesIn(folder)) {}

FolderSnapshot::~FolderSnapshot() {
  for (const auto& [name, bytes] : FilesIn(folder_)) {
    const auto kept = files_.find(name);
    if (kept == files_.end()) {
      sjis::SetFileAttributes((folder_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      sjis::DeleteFile((folder_ + name).c_str());
    }
  }
  const std::map<std::string, std::string> now = FilesIn(folder_);
  for (const auto& [name, bytes] : files_) {
    const auto found = now.find(name);
    if (bytes == kNotKept || (found != now.end() && found->second == bytes)) continue;
    const std::string path = folder_ + name;
    const DWORD attributes = sjis::GetFileAttributes(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) sjis::SetFileAttributes(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    platform::WriteWholeFile(path, bytes);
    if (attributes != INVALID_FILE_ATTRIBUTES) sjis::SetFileAttributes(path.c_str(), attributes);
  }
}

UserStateGuard::UserStateGuard() : folder_(BinFolder()) {
  for (const char* key : kKeptKeys) keys_.push_back(std::make_unique<KeyBackup>(key));
}

}  // namespace wine_test
