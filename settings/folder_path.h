#pragma once
// Folder paths as the game folder dialog browses them: absolute paths on a drive, written with
// backslashes between Shift-JIS names. A backslash is only ever a single-byte character of its
// own; the second byte of a double-byte character (表, ソ, 能 end in 0x5C) never splits a name.
#include <string>
#include <vector>

namespace folder_path {

// The folder in the list's form: "D:\" at a drive's root, "D:\Games\ソフト" below it (no
// trailing backslash, the drive letter upper case, empty names, "." and ".." resolved). "D:"
// alone, as a root is stored, is that root. "" when `path` is not an absolute path on a drive.
std::string ListForm(const std::string& path);

// The folders from the drive's root down to a folder of the list's form:
// "D:\Games\ソフト" gives {"D:\", "Games", "ソフト"}.
std::vector<std::string> Chain(const std::string& listFolder);

// The folder one level up; "" above a drive's root.
std::string Parent(const std::string& listFolder);

// A folder and a name inside it, joined by exactly one backslash.
std::string Join(const std::string& folder, const std::string& name);

// Without a trailing backslash of its own: "D:\" becomes "D:", "D:\ソ" stays as it is.
std::string WithoutTrailingSeparator(const std::string& folder);

}  // namespace folder_path
