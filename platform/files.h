#pragma once
// Files addressed by Windows-style paths (backslash separators, Shift-JIS names).
#include <string>

namespace platform {

bool FileExists(const std::string& path);  // a file, not a folder
bool FolderExists(const std::string& path);
bool ReadWholeFile(const std::string& path, std::string& bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// Writes bytes to a temporary file in the same folder, flushes it, then atomically replaces
// path with it: readers see the old content or the new, never a part. On any failure the
// target is untouched and the temporary file removed.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes);
bool SetHidden(const std::string& path, bool hidden);
bool IsHidden(const std::string& path);
bool RemoveFile(const std::string& path);
bool MakeFolder(const std::string& path);
// Deletes every file matching a wildcard pattern such as ".\*.TGA" (hidden files too). A
// subfolder whose own name matches is cleaned the same way and removed once empty. Files that
// cannot be deleted are skipped.
void RemoveMatching(const std::string& pattern);

// The folder of the running executable, with its trailing backslash.
std::string ProgramFolder();
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);

// Case-insensitive wildcard match of a file name against "*" and "?" as the Windows file
// search does it for long names.
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace platform
