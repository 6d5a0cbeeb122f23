#include "platform/drives.h"

#include <windows.h>

#include "platform/sjis.h"
#include "platform/win32/quiet_errors.h"
#include "platform/win32/shift_jis.h"

namespace platform {
namespace {

DriveType TypeOf(UINT type) {
  switch (type) {
    case DRIVE_REMOVABLE: return DriveType::Removable;
    case DRIVE_FIXED: return DriveType::Fixed;
    case DRIVE_REMOTE: return DriveType::Remote;
    case DRIVE_CDROM: return DriveType::CdRom;
    case DRIVE_RAMDISK: return DriveType::RamDisk;
  }
  return DriveType::Unknown;
}

std::string Root(char letter) {
  const char upper = letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
  return std::string(1, upper) + ":\\";
}

bool IsFolder(const std::string& path) {
  win32::QuietErrors quiet;
  const DWORD a = GetFileAttributesW(win32::Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::vector<Drive> Drives() {
  std::vector<Drive> drives;
  const DWORD present = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(present & (1u << i))) continue;
    const char letter = static_cast<char>('A' + i);
    win32::QuietErrors quiet;
    drives.push_back({letter, TypeOf(GetDriveTypeW(win32::Wide(Root(letter)).c_str()))});
  }
  return drives;
}

bool DriveReadable(char letter) {
  return IsFolder(Root(letter));
}

bool SubFolders(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  win32::QuietErrors quiet;
  // A trail byte 0x5C at the end is part of a name, not a separator.
  const bool separated = !folder.empty() && folder.back() == '\\' && LastByteIsSingle(folder);
  const std::string pattern = folder + (separated ? "*" : "\\*");
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(win32::Wide(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)  // an empty root has not even "." and ".."
    return GetLastError() == ERROR_FILE_NOT_FOUND && IsFolder(separated ? folder : folder + "\\");
  std::string name;
  do {
    const DWORD a = found.dwFileAttributes;
    // A folder whose name Shift-JIS cannot write could be neither shown nor opened: left out.
    if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_HIDDEN) && win32::ToShiftJis(found.cFileName, name) &&
        name != "." && name != "..")
      names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

}  // namespace platform
