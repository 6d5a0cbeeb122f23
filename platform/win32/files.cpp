#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>

#include "platform/sjis.h"
#include "platform/win32/quiet_errors.h"
#include "platform/win32/shift_jis.h"

namespace platform {
namespace {

using win32::Wide;

// Every look at the file system goes through a quiet guard: a path on a drive without its medium
// fails like any missing path.
DWORD Attributes(const std::string& path) {
  win32::QuietErrors quiet;
  return GetFileAttributesW(Wide(path).c_str());
}

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
  win32::QuietErrors quiet;
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
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
  win32::QuietErrors quiet;
  // Keep a hidden file hidden: CREATE_ALWAYS refuses to open one without the attribute.
  const DWORD existing = Attributes(path);
  const DWORD flags = (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_HIDDEN))
                          ? FILE_ATTRIBUTE_HIDDEN
                          : FILE_ATTRIBUTE_NORMAL;
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, flags, nullptr);
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
  win32::QuietErrors quiet;
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = WriteAll(file, bytes) && SetEndOfFile(file) && FlushFileBuffers(file);
  CloseHandle(file);
  return ok;
}

}  // namespace

bool ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  win32::QuietErrors quiet;
  // A read-only target refuses a plain write too; it stays as it is.
  const DWORD existing = Attributes(path);
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) return false;
  // The replacement takes the attributes of the file it replaces: a hidden file stays hidden.
  const DWORD kept = existing == INVALID_FILE_ATTRIBUTES
                         ? 0
                         : existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  const std::string temporary = path + ".tmp";
  HANDLE file = CreateFileW(Wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return RewriteInPlace(path, bytes);
  const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
  CloseHandle(file);
  if (written && MoveFileExW(Wide(temporary).c_str(), Wide(path).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileW(Wide(temporary).c_str());
  // A write that failed (a full disk) would fail in place as well, and tear the file.
  return written && RewriteInPlace(path, bytes);
}

bool SetHidden(const std::string& path, bool hidden) {
  win32::QuietErrors quiet;
  const DWORD a = Attributes(path);
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD next = hidden ? (a | FILE_ATTRIBUTE_HIDDEN) : (a & ~DWORD(FILE_ATTRIBUTE_HIDDEN));
  return SetFileAttributesW(Wide(path).c_str(), next ? next : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool IsHidden(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_HIDDEN);
}

bool RemoveFile(const std::string& path) {
  win32::QuietErrors quiet;
  return DeleteFileW(Wide(path).c_str()) != 0;
}

bool MakeFolder(const std::string& path) {
  win32::QuietErrors quiet;
  return CreateDirectoryW(Wide(path).c_str(), nullptr) != 0;
}

namespace {

// Works on the names as the file system gives them: a file whose name has no Shift-JIS form is
// still removed by its own name.
void RemoveMatchingWide(const std::wstring& folder, const std::wstring& mask) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + mask).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveMatchingWide(path + L"\\", mask);
      RemoveDirectoryW(path.c_str());  // fails, as wanted, while anything is left inside
    } else {
      DeleteFileW(path.c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

void RemoveMatching(const std::string& pattern) {
  win32::QuietErrors quiet;
  const std::string folder = FolderOf(pattern);
  RemoveMatchingWide(Wide(folder), Wide(pattern.substr(folder.size())));
}

std::vector<std::string> FilesMatching(const std::string& pattern) {
  win32::QuietErrors quiet;
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  std::string name;
  do {
    // A name without a Shift-JIS form is none the program could ask for.
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && win32::ToShiftJis(found.cFileName, name))
      names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

bool File::OpenShared(const std::string& path) {
  win32::QuietErrors quiet;
  Close();
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  // Write access is refused for a read-only file (ERROR_ACCESS_DENIED), on a read-only medium
  // such as a CD (ERROR_WRITE_PROTECT, ERROR_ACCESS_DENIED) and while another opener shares
  // reading only (ERROR_SHARING_VIOLATION); reading alone then still works. A file that is not
  // there fails both ways.
  if (file == INVALID_HANDLE_VALUE)
    file = CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<intptr_t>(file);
  return true;
}

bool File::CreateExclusive(const std::string& path, bool hidden) {
  win32::QuietErrors quiet;
  Close();
  // As in WriteWholeFile: CREATE_ALWAYS refuses a hidden file unless asked to keep it hidden.
  const DWORD existing = Attributes(path);
  const bool keepHidden = existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_HIDDEN);
  const DWORD flags = (hidden || keepHidden) ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, flags, nullptr);
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

namespace {

std::wstring WideProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::string ProgramPath() { return win32::ShiftJisOrEmpty(WideProgramPath().c_str()); }

bool EnterProgramFolder() {
  win32::QuietErrors quiet;
  const std::wstring path = WideProgramPath();
  const size_t cut = path.find_last_of(L"\\/");
  return cut != std::wstring::npos && SetCurrentDirectoryW(path.substr(0, cut + 1).c_str()) != 0;
}

namespace {

// The lock's name: a hash of the file's upper-case full path, since one file has many names
// (relative, other case) and a mutex name may hold no backslash.
std::wstring LockName(const std::string& path) {
  const std::wstring given = Wide(path);
  const DWORD needed = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  std::wstring full(needed, L'\0');
  const DWORD length = needed ? GetFullPathNameW(given.c_str(), needed, &full[0], nullptr) : 0;
  full.resize(length < needed ? length : 0);
  if (full.empty()) full = given;
  CharUpperBuffW(&full[0], static_cast<DWORD>(full.size()));
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (const wchar_t c : full) hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
  wchar_t name[64];
  swprintf(name, 64, L"M2KCOUNT-file-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace

// Global: users of one machine in other sessions may share the file (the integrated
// environment's history); where the global name cannot be made, the session's.
PathLock::PathLock(const std::string& path, int waitMs) {
  const std::wstring name = LockName(path);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, (L"Global\\" + name).c_str());
  if (!mutex) mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  handle_ = mutex;
  if (!mutex) return;
  const DWORD waited = WaitForSingleObject(mutex, static_cast<DWORD>(waitMs));
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;  // abandoned: its holder died
}

PathLock::~PathLock() {
  if (held_) ReleaseMutex(static_cast<HANDLE>(handle_));
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
}

std::string AnsiSafePath(const std::string& path) {
  std::string safe;
  return win32::ToShiftJis(win32::AnsiSafePath(Wide(path)), safe) ? safe : path;
}

std::string CurrentFolder() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  std::wstring path(needed, L'\0');
  const DWORD length = needed ? GetCurrentDirectoryW(needed, &path[0]) : 0;
  path.resize(length < needed ? length : 0);
  return win32::ShiftJisOrEmpty(path.c_str());
}

bool SetCurrentFolder(const std::string& path) {
  win32::QuietErrors quiet;
  return SetCurrentDirectoryW(Wide(path).c_str()) != 0;
}

}  // namespace platform
