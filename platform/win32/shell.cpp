#include "platform/shell.h"

#include <windows.h>
#include <shlobj.h>

namespace platform {

FolderLookup SpecialFolderPath(ShellFolder folder, std::string& path) {
  path.clear();
  const int csidl = folder == ShellFolder::Startup ? CSIDL_STARTUP : CSIDL_COMMON_STARTUP;
  LPITEMIDLIST list = nullptr;
  if (SHGetSpecialFolderLocation(nullptr, csidl, &list) != S_OK || !list) return FolderLookup::NoFolder;
  char buffer[MAX_PATH] = {};
  const bool converted = SHGetPathFromIDListA(list, buffer);
  CoTaskMemFree(list);
  if (!converted) return FolderLookup::NoPath;
  path = buffer;
  return FolderLookup::Found;
}

void ShellOpen(const std::string& target) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.lpVerb = "open";
  info.lpFile = target.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExA(&info);
}

std::string ThousandsSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator) <= 0) return ",";
  return separator;
}

}  // namespace platform
