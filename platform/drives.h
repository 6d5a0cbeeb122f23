#pragma once
// Drives and folders for browsing the file system by absolute paths: which drives the machine
// has, whether one can be read now, and the folders inside a folder. Nothing here changes the
// process's current folder.
#include <string>
#include <vector>

namespace platform {

enum class DriveType { Unknown, Removable, Fixed, Remote, CdRom, RamDisk };

struct Drive {
  char letter;  // upper case
  DriveType type;
};

// The machine's drives, in letter order.
std::vector<Drive> Drives();

// Whether the root of the drive can be read now: false for a drive without a medium, a
// network drive that is not connected or a letter that names nothing. Never asks the user.
bool DriveReadable(char letter);

// The names of the folders directly inside `folder` (an absolute path, with or without its
// trailing backslash), hidden ones and "." and ".." left out, in no particular order. False
// when the folder cannot be read (missing, no permission, no medium).
bool SubFolders(const std::string& folder, std::vector<std::string>& names);

}  // namespace platform
