#include "platform/files.h"

#include <windows.h>

#include <algorithm>

#include "platform/sjis.h"

namespace platform {
namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// The folder part of a pattern, with its trailing backslash ("" when there is none).
std::string FolderOf(const std::string& pattern) {
  size_t cut = std::string::npos;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (IsSjisLeadByte(static_cast<unsigned char>(pattern[i]))) {
      ++i;
      continue;
    }
    if (pattern[i] == '\\' || pattern[i] == '/') cut = i;
  }
  return cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
}

}  // namespace

bool FileExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF;
  if (ok) {
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    ok = bytes.empty() || (ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read,
                                    nullptr) && read == bytes.size());
  }
  CloseHandle(file);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  // Keep a hidden file hidden: CREATE_ALWAYS refuses to open one without the attribute.
  const DWORD existing = Attributes(path);
  const DWORD flags = (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_HIDDEN))
                          ? FILE_ATTRIBUTE_HIDDEN
                          : FILE_ATTRIBUTE_NORMAL;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                              &written, nullptr) && written == bytes.size());
  CloseHandle(file);
  return ok;
}

namespace {

bool WriteAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                     nullptr) && written == bytes.size());
}

// Overwrites an existing file from its start and cuts it to the new length, sharing reading and
// writing with whoever holds it open.
bool RewriteInPlace(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = WriteAll(file, bytes) && SetEndOfFile(file) && FlushFileBuffers(file);
  CloseHandle(file);
  return ok;
}

}  // namespace

bool ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  // A read-only target refuses a plain write too; it stays as it is.
  const DWORD existing = Attributes(path);
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) return false;
  // The replacement takes the attributes of the file it replaces: a hidden file stays hidden.
  const DWORD kept = existing == INVALID_FILE_ATTRIBUTES
                         ? 0
                         : existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  const std::string temporary = path + ".tmp";
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return RewriteInPlace(path, bytes);
  const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
  CloseHandle(file);
  if (written && MoveFileExA(temporary.c_str(), path.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileA(temporary.c_str());
  // A write that failed (a full disk) would fail in place as well, and tear the file.
  return written && RewriteInPlace(path, bytes);
}

bool SetHidden(const std::string& path, bool hidden) {
  const DWORD a = Attributes(path);
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD next = hidden ? (a | FILE_ATTRIBUTE_HIDDEN) : (a & ~DWORD(FILE_ATTRIBUTE_HIDDEN));
  return SetFileAttributesA(path.c_str(), next ? next : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool IsHidden(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_HIDDEN);
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool MakeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

void RemoveMatching(const std::string& pattern) {
  const std::string folder = FolderOf(pattern);
  const std::string mask = pattern.substr(folder.size());
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveMatching(path + "\\" + mask);
      RemoveDirectoryA(path.c_str());  // fails, as wanted, while anything is left inside
    } else {
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

std::vector<std::string> FilesMatching(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

bool File::OpenShared(const std::string& path) {
  Close();
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  // Write access is refused for a read-only file (ERROR_ACCESS_DENIED), on a read-only medium
  // such as a CD (ERROR_WRITE_PROTECT, ERROR_ACCESS_DENIED) and while another opener shares
  // reading only (ERROR_SHARING_VIOLATION); reading alone then still works. A file that is not
  // there fails both ways.
  if (file == INVALID_HANDLE_VALUE)
    file = CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<intptr_t>(file);
  return true;
}

bool File::CreateExclusive(const std::string& path, bool hidden) {
  Close();
  // As in WriteWholeFile: CREATE_ALWAYS refuses a hidden file unless asked to keep it hidden.
  const DWORD existing = Attributes(path);
  const bool keepHidden = existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_HIDDEN);
  const DWORD flags = (hidden || keepHidden) ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<intptr_t>(file);
  return true;
}

void File::Close() {
  if (handle_ != kClosed) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kClosed;
}

int64_t File::Size() const {
  LARGE_INTEGER size{};
  if (handle_ == kClosed || !GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &size)) return -1;
  return size.QuadPart;
}

int64_t File::ReadAt(int64_t offset, void* buffer, size_t count) {
  if (handle_ == kClosed || offset < 0) return -1;
  size_t done = 0;
  while (done < count) {
    const uint64_t at = static_cast<uint64_t>(offset) + done;
    OVERLAPPED where{};  // a synchronous handle reads at the offset it gives
    where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), static_cast<char*>(buffer) + done, chunk,
                  &got, &where)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return -1;
    }
    if (got == 0) break;  // end of file
    done += got;
  }
  return static_cast<int64_t>(done);
}

bool File::Write(const void* data, size_t count) {
  if (handle_ == kClosed) return false;
  size_t done = 0;
  while (done < count) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(reinterpret_cast<HANDLE>(handle_), static_cast<const char*>(data) + done,
                   chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

std::string ProgramFolder() { return FolderOf(ProgramPath()); }

std::string ProgramPath() {
  char path[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, length);
}

std::string CurrentFolder() {
  char path[MAX_PATH * 2] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof path, path);
  return std::string(path, length);
}

bool SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

}  // namespace platform
