#include "platform/shell.h"

#include <windows.h>
#include <shlobj.h>

#include <cwctype>

#include "platform/win32/late_bound.h"
#include "platform/win32/shift_jis.h"

namespace platform {
namespace {

// The shell and COM are loaded when a window first asks for a Startup folder or opens a file:
// the counter never does.
template <class Function>
Function* Shell(const char* name) {
  return win32::LateBound<Function>(L"shell32.dll", name);
}

}  // namespace

FolderLookup SpecialFolderPath(ShellFolder folder, std::string& path) {
  path.clear();
  const int csidl = folder == ShellFolder::Startup ? CSIDL_STARTUP : CSIDL_COMMON_STARTUP;
  static auto* const location = Shell<decltype(SHGetSpecialFolderLocation)>("SHGetSpecialFolderLocation");
  static auto* const pathOf = Shell<decltype(SHGetPathFromIDListW)>("SHGetPathFromIDListW");
  static auto* const release = win32::LateBound<decltype(CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
  if (!location || !pathOf || !release) return FolderLookup::NoFolder;
  LPITEMIDLIST list = nullptr;
  if (location(nullptr, csidl, &list) != S_OK || !list) return FolderLookup::NoFolder;
  wchar_t buffer[MAX_PATH] = {};
  const bool converted = pathOf(list, buffer);
  release(list);
  if (!converted) return FolderLookup::NoPath;
  return win32::ToShiftJis(buffer, path) ? FolderLookup::Found : FolderLookup::NotShiftJis;
}

void ShellOpen(const std::string& target) {
  const std::wstring file = win32::Wide(target);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  static auto* const execute = Shell<decltype(ShellExecuteExW)>("ShellExecuteExW");
  if (execute) execute(&info);
}

namespace {

// One of the locale's number separators as Shift-JIS; `fallback` when there is none.
std::string Separator(LCTYPE which, const char* fallback) {
  wchar_t separator[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, which, separator, 8) <= 0) return fallback;
  std::string sjis;
  if (win32::ToShiftJis(separator, sjis)) return sjis;
  // The no-break spaces of French or Russian numbers have no Shift-JIS form: a space reads the same.
  return iswspace(separator[0]) || separator[0] == 0x00A0 || separator[0] == 0x202F ? " " : fallback;
}

}  // namespace

std::string ThousandsSeparator() { return Separator(LOCALE_STHOUSAND, ","); }

std::string DecimalSeparator() { return Separator(LOCALE_SDECIMAL, "."); }

}  // namespace platform
