#include "tests/wine/shell_support.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace wine_test {
namespace {

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(wide.size() - 1);
  return wide;
}

bool Load(IShellLinkA& shortcut, const std::string& link, Shortcut& read) {
  IPersistFile* file = nullptr;
  if (FAILED(shortcut.QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) return false;
  const bool loaded = SUCCEEDED(file->Load(Wide(link).c_str(), STGM_READ));
  file->Release();
  if (!loaded) return false;
  char text[MAX_PATH * 2] = {};
  WIN32_FIND_DATAA found{};
  if (FAILED(shortcut.GetPath(text, sizeof text, &found, SLGP_RAWPATH))) return false;
  read.target = text;
  shortcut.GetArguments(text, sizeof text);
  read.arguments = text;
  shortcut.GetWorkingDirectory(text, sizeof text);
  read.workingFolder = text;
  shortcut.GetDescription(text, sizeof text);
  read.description = text;
  shortcut.GetIconLocation(text, sizeof text, &read.iconIndex);
  read.iconFile = text;
  shortcut.GetShowCmd(&read.showCommand);
  return true;
}

}  // namespace

bool ReadShortcut(const std::string& link, Shortcut& read) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellLinkA* shortcut = nullptr;
  bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       reinterpret_cast<void**>(&shortcut)));
  if (ok) {
    ok = Load(*shortcut, link, read);
    shortcut->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return ok;
}

std::wstring WideFileNames(const std::string& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((Wide(folder) + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  std::sort(names.begin(), names.end());
  std::wstring all;
  for (const std::wstring& name : names) all += name + L"\n";
  return all;
}

std::string FreshFolder(const std::string& name) {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  const std::string folder = std::string(base) + name + "\\";
  RemoveFolder(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void RemoveFilesBut(const std::string& folder, std::initializer_list<std::string> kept) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (std::find(kept.begin(), kept.end(), name) != kept.end()) continue;
    SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((folder + name).c_str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const std::string path = folder + found.cFileName;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

std::string StartupFolder(int csidl) {
  LPITEMIDLIST list = nullptr;
  if (SHGetSpecialFolderLocation(nullptr, csidl, &list) != S_OK || !list) return std::string();
  char path[MAX_PATH] = {};
  const bool converted = SHGetPathFromIDListA(list, path);
  CoTaskMemFree(list);
  return converted ? std::string(path) : std::string();
}

}  // namespace wine_test
