#include "platform/shell.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win32/late_bound.h"

namespace platform {
namespace {

// The shell and COM are loaded when a window first asks for a Startup folder or opens a file:
// the counter never does.
template <class Function>
Function* Shell(const char* name) {
  return win32::LateBound<Function>("shell32.dll", name);
}

}  // namespace

FolderLookup SpecialFolderPath(ShellFolder folder, std::string& path) {
  path.clear();
  const int csidl = folder == ShellFolder::Startup ? CSIDL_STARTUP : CSIDL_COMMON_STARTUP;
  static auto* const location = Shell<decltype(SHGetSpecialFolderLocation)>("SHGetSpecialFolderLocation");
  static auto* const pathOf = Shell<decltype(SHGetPathFromIDListA)>("SHGetPathFromIDListA");
  static auto* const release = win32::LateBound<decltype(CoTaskMemFree)>("ole32.dll", "CoTaskMemFree");
  if (!location || !pathOf || !release) return FolderLookup::NoFolder;
  LPITEMIDLIST list = nullptr;
  if (location(nullptr, csidl, &list) != S_OK || !list) return FolderLookup::NoFolder;
  char buffer[MAX_PATH] = {};
  const bool converted = pathOf(list, buffer);
  release(list);
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
  static auto* const execute = Shell<decltype(ShellExecuteExA)>("ShellExecuteExA");
  if (execute) execute(&info);
}

std::string ThousandsSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator) <= 0) return ",";
  return separator;
}

}  // namespace platform
