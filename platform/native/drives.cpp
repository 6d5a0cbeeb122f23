// The drives of the native tests: letters that stand for POSIX folders, each with its type and
// a medium that can be taken out, and folders that refuse to be listed.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <set>

#include "platform/drives.h"
#include "platform/files.h"
#include "platform/native/fake_drives.h"
#include "platform/native/testing.h"
#include "platform/sjis.h"

namespace platform {
namespace {

struct FakeDrive {
  DriveType type = DriveType::Fixed;
  std::string folder;  // POSIX, without a trailing slash
  bool medium = true;
};

std::map<char, FakeDrive>& FakeDrives() {
  static std::map<char, FakeDrive> drives;
  return drives;
}

std::set<std::string>& Unlistable() {
  static std::set<std::string> folders;
  return folders;
}

char Upper(char letter) { return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter; }

bool HasDrivePrefix(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && FakeDrives().count(Upper(path[0]));
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool IsPosixFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

namespace native {

std::string ResolveDrive(const std::string& path) {
  if (!HasDrivePrefix(path)) return path;
  const FakeDrive& drive = FakeDrives().at(Upper(path[0]));
  // Without its medium the drive's files are nowhere.
  const std::string folder = drive.medium ? drive.folder : "/nonexistent-m2k-drive";
  std::string rest = path.substr(2);
  if (rest.empty() || rest[0] != '\\') rest = "\\" + rest;
  return folder + rest;
}

std::string DrivePathOf(const std::string& posixPath) {
  for (const auto& [letter, drive] : FakeDrives()) {
    const std::string& root = drive.folder;
    if (posixPath != root && posixPath.rfind(root + "/", 0) != 0) continue;
    std::string rest = posixPath.substr(root.size());
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return std::string(1, letter) + ":" + (rest.empty() ? "\\" : rest);
  }
  return "";
}

}  // namespace native

std::vector<Drive> Drives() {
  std::vector<Drive> drives;
  for (const auto& [letter, drive] : FakeDrives()) drives.push_back({letter, drive.type});
  return drives;
}

bool DriveReadable(char letter) {
  const auto it = FakeDrives().find(Upper(letter));
  return it != FakeDrives().end() && it->second.medium && IsPosixFolder(it->second.folder);
}

bool SubFolders(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  const std::string posix = WithoutTrailingSlash(native::PosixPath(folder));
  if (Unlistable().count(posix)) return false;
  DIR* dir = opendir(posix.c_str());
  // A trail byte 0x5C at the end is part of a name, not a separator.
  const bool separated = !folder.empty() && folder.back() == '\\' && LastByteIsSingle(folder);
  if (!dir) return false;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || !IsPosixFolder(posix + "/" + name)) continue;
    if (!IsHidden(separated ? folder + name : folder + "\\" + name)) names.push_back(name);
  }
  closedir(dir);
  return true;
}

namespace testing {

void SetDrive(char letter, DriveType type, const std::string& posixFolder, bool hasMedium) {
  FakeDrives()[Upper(letter)] = FakeDrive{type, WithoutTrailingSlash(posixFolder), hasMedium};
}

void SetDriveMedium(char letter, bool hasMedium) { FakeDrives()[Upper(letter)].medium = hasMedium; }

void DenyListing(const std::string& path) { Unlistable().insert(WithoutTrailingSlash(native::PosixPath(path))); }

void ResetDrives() {
  FakeDrives().clear();
  Unlistable().clear();
}

}  // namespace testing
}  // namespace platform
