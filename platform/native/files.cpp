// Files on the native build: Windows-style paths mapped onto POSIX ones. The hidden attribute,
// which POSIX lacks, is kept in memory for the life of the process.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/files.h"
#include "platform/native/fake_drives.h"
#include "platform/native/testing.h"
#include "platform/sjis.h"

namespace platform {
namespace {

std::string programFolder = "./";

std::string Posix(const std::string& windowsPath) {
  const std::string path = native::ResolveDrive(windowsPath);
  std::string out;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsSjisLeadByte(c) && i + 1 < path.size()) {
      out += path.substr(i++, 2);
      continue;
    }
    out += c == '\\' ? '/' : static_cast<char>(c);
  }
  return out;
}

std::set<std::string>& HiddenPaths() {
  static std::set<std::string> hidden;
  return hidden;
}

std::set<std::string>& UndeletablePaths() {
  static std::set<std::string> undeletable;
  return undeletable;
}

std::string Absolute(const std::string& posixPath) {
  char* resolved = realpath(posixPath.c_str(), nullptr);
  if (!resolved) return posixPath;
  std::string result(resolved);
  free(resolved);
  return result;
}

bool Stat(const std::string& path, struct stat& info) { return stat(Posix(path).c_str(), &info) == 0; }

}  // namespace

bool FileExists(const std::string& path) {
  struct stat info;
  return Stat(path, info) && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info;
  return Stat(path, info) && S_ISDIR(info.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  if (!FileExists(path)) return false;
  std::ifstream in(Posix(path), std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  bytes = all.str();
  return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(Posix(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

namespace {
bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Overwrites an existing file from its start and cuts it to the new length.
bool RewriteInPlace(const std::string& target, const std::string& bytes) {
  const int fd = open(target.c_str(), O_WRONLY);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  return ok;
}

}  // namespace

bool ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  const std::string target = Posix(path);
  const std::string temporary = target + ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return RewriteInPlace(target, bytes);
  bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
  written = close(fd) == 0 && written;
  if (written && rename(temporary.c_str(), target.c_str()) == 0) return true;
  unlink(temporary.c_str());  // a folder in the way is not ours and stays
  // A write that failed (a full disk) would fail in place as well, and tear the file.
  return written && RewriteInPlace(target, bytes);
}

bool SetHidden(const std::string& path, bool hidden) {
  if (!FileExists(path) && !FolderExists(path)) return false;
  const std::string key = Absolute(Posix(path));
  if (hidden)
    HiddenPaths().insert(key);
  else
    HiddenPaths().erase(key);
  return true;
}

bool IsHidden(const std::string& path) {
  return (FileExists(path) || FolderExists(path)) && HiddenPaths().count(Absolute(Posix(path)));
}

bool RemoveFile(const std::string& path) {
  if (!FileExists(path)) return false;
  const std::string key = Absolute(Posix(path));
  if (UndeletablePaths().count(key)) return false;
  if (unlink(Posix(path).c_str()) != 0) return false;
  HiddenPaths().erase(key);
  return true;
}

bool MakeFolder(const std::string& path) { return mkdir(Posix(path).c_str(), 0755) == 0; }

namespace {

// The folder part of a wildcard pattern (with its separator) and the names in it that the rest
// matches.
std::set<std::string> NamesMatching(const std::string& pattern, std::string& folder) {
  const std::string posix = Posix(pattern);
  const size_t cut = posix.rfind('/');
  folder = cut == std::string::npos ? "" : pattern.substr(0, cut + 1);
  const std::string mask = pattern.substr(folder.size());
  std::set<std::string> names;
  DIR* dir = opendir(folder.empty() ? "." : Posix(folder).c_str());
  if (!dir) return names;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && WildcardMatch(mask, name)) names.insert(name);
  }
  closedir(dir);
  return names;
}

}  // namespace

std::vector<std::string> FilesMatching(const std::string& pattern) {
  std::string folder;
  std::vector<std::string> files;
  for (const std::string& name : NamesMatching(pattern, folder))
    if (FileExists(folder + name)) files.push_back(name);
  return files;
}

void RemoveMatching(const std::string& pattern) {
  std::string folder;
  const std::set<std::string> names = NamesMatching(pattern, folder);
  const std::string mask = pattern.substr(folder.size());
  for (const std::string& name : names) {
    const std::string path = folder + name;
    if (FolderExists(path)) {
      RemoveMatching(path + "\\" + mask);
      rmdir(Posix(path).c_str());  // fails, as wanted, while anything is left inside
    } else {
      RemoveFile(path);
    }
  }
}

namespace native {
std::string PosixPath(const std::string& path) { return Posix(path); }
}  // namespace native

std::string ProgramFolder() { return programFolder; }
// The tests set the folder only; the program in it has its shipped name.
// An empty folder stands for one whose path Shift-JIS cannot write: no path then, as on Windows.
std::string ProgramPath() { return programFolder.empty() ? std::string() : programFolder + "M2KCOUNT.EXE"; }

std::string CurrentFolder() {
  char buffer[4096];
  const std::string posix = getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
  // Inside a drive that a test set up, the folder reads as a Windows one would.
  const std::string onDrive = native::DrivePathOf(posix);
  return onDrive.empty() ? posix : onDrive;
}

bool SetCurrentFolder(const std::string& path) { return chdir(Posix(path).c_str()) == 0; }

std::string AnsiSafePath(const std::string& path) { return path; }

// The native tests run in one process: there is no other holder to wait for.
PathLock::PathLock(const std::string&, int) : held_(true) {}
PathLock::~PathLock() = default;

bool EnterProgramFolder() { return !programFolder.empty() && SetCurrentFolder(programFolder); }

bool File::OpenShared(const std::string& path) {
  Close();
  const std::string posix = Posix(path);
  int fd = open(posix.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) fd = open(posix.c_str(), O_RDONLY | O_CLOEXEC);  // read-only file or medium
  if (fd < 0) return false;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {  // a folder opens on POSIX only
    close(fd);
    return false;
  }
  handle_ = fd;
  return true;
}

bool File::CreateExclusive(const std::string& path, bool hidden) {
  Close();
  // POSIX has no share modes: the file is simply created or emptied.
  const int fd = open(Posix(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  handle_ = fd;
  if (hidden) SetHidden(path, true);
  return true;
}

void File::Close() {
  if (handle_ != kClosed) close(static_cast<int>(handle_));
  handle_ = kClosed;
}

int64_t File::Size() const {
  struct stat info;
  if (handle_ == kClosed || fstat(static_cast<int>(handle_), &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

int64_t File::ReadAt(int64_t offset, void* buffer, size_t count) {
  if (handle_ == kClosed || offset < 0) return -1;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = pread(static_cast<int>(handle_), static_cast<char*>(buffer) + done,
                            count - done, static_cast<off_t>(offset + static_cast<int64_t>(done)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;  // end of file
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool File::Write(const void* data, size_t count) {
  if (handle_ == kClosed) return false;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = write(static_cast<int>(handle_), static_cast<const char*>(data) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

namespace testing {
void SetProgramFolder(const std::string& folder) { programFolder = folder; }
void DenyRemoving(const std::string& path) { UndeletablePaths().insert(Absolute(Posix(path))); }
void AllowRemovingAll() { UndeletablePaths().clear(); }
}  // namespace testing

}  // namespace platform
