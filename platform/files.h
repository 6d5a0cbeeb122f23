#pragma once
// Files addressed by Windows-style paths (backslash separators, Shift-JIS names).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

bool FileExists(const std::string& path);  // a file, not a folder
bool FolderExists(const std::string& path);
bool ReadWholeFile(const std::string& path, std::string& bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// Writes bytes to a temporary file (path + ".tmp") in the same folder, flushes it, then
// atomically replaces path with it: readers see the old content or the new, never a part.
// Where that cannot be done although the file itself can be written - the temporary file
// cannot be created (no right to create files in the folder, a folder in the way) or cannot
// replace the file (another program holds it open without sharing its deletion) - an existing
// file is rewritten in place instead, through a handle that shares reading and writing. On
// failure the target is untouched (unless the in-place rewrite itself failed) and no temporary
// file is left.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes);
bool SetHidden(const std::string& path, bool hidden);
bool IsHidden(const std::string& path);
bool RemoveFile(const std::string& path);
bool MakeFolder(const std::string& path);
// Deletes every file matching a wildcard pattern such as ".\*.TGA" (hidden files too). A
// subfolder whose own name matches is cleaned the same way and removed once empty. Files that
// cannot be deleted are skipped.
void RemoveMatching(const std::string& pattern);
// The names of the files, not folders, that a wildcard pattern such as ".\*" matches in its
// folder (hidden files too). One listing serves many names: under Wine every name looked up on
// its own that is not there costs a scan of the folder.
std::vector<std::string> FilesMatching(const std::string& pattern);

// The folder of the running executable, with its trailing backslash; empty when its path has a
// character that Shift-JIS lacks (the program then names nothing in it by a full path).
std::string ProgramFolder();
// The running executable's full path; empty as ProgramFolder is.
std::string ProgramPath();
// Makes the program's own folder the current one, whatever characters its path holds; false
// when that fails.
bool EnterProgramFolder();
// The path as a file name for other programs that read it in the system's ANSI code page (the
// sound that Windows plays at exit, under Wine): its short (8.3) form where that code page
// cannot carry it, otherwise the path itself.
std::string AnsiSafePath(const std::string& path);
// The current folder; empty when its path has a character that Shift-JIS lacks.
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);

// Case-insensitive wildcard match of a file name against "*" and "?" as the Windows file
// search does it for long names.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// A lock named after a file's full path, shared by every process of the machine, held for the
// object's lifetime; given up after `waitMs` without it (Held() false), so that a hung holder
// never stops the caller.
class PathLock {
 public:
  PathLock(const std::string& path, int waitMs);
  ~PathLock();
  PathLock(const PathLock&) = delete;
  PathLock& operator=(const PathLock&) = delete;
  bool Held() const { return held_; }

 private:
  void* handle_ = nullptr;
  bool held_ = false;
};

// An open file for block reads at given offsets, or for writing from its start; closed by its
// owner. Used for the game's archives and the files taken out of them.
class File {
 public:
  File() = default;
  ~File() { Close(); }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens an existing file for reading, shared with every other opener (reading, writing and
  // deleting). Read and write access is asked for first, as the program has always opened the archives;
  // where that is refused (a read-only file or medium, or another opener that shares reading
  // only) the file is opened for reading alone, which is all that is ever done with it: an
  // archive that can be read is never refused for want of write access. Folders do not open.
  bool OpenShared(const std::string& path);
  // Creates the file, or empties an existing one, for writing through this handle alone; with
  // `hidden` the file is hidden from its creation on (an existing hidden file stays hidden).
  bool CreateExclusive(const std::string& path, bool hidden = false);
  bool IsOpen() const { return handle_ != kClosed; }
  void Close();

  // The file's size in bytes, or -1.
  int64_t Size() const;
  // Reads up to `count` bytes from `offset` on: the number read, fewer only at the end of the
  // file, or -1 on failure.
  int64_t ReadAt(int64_t offset, void* buffer, size_t count);
  // Writes `count` bytes after those written before; true when all were written.
  bool Write(const void* data, size_t count);

 private:
  static constexpr intptr_t kClosed = -1;  // also INVALID_HANDLE_VALUE
  intptr_t handle_ = kClosed;
};

}  // namespace platform
