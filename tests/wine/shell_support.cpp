#include "tests/wine/shell_support.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>
#include "tests/wine/sjis_calls.h"

namespace wine_test {
namespace {

using sjis::Wide;

// A path read from a link in its long form: a link may name its target by the short (8.3)
// form, which is the same file. Left as it is when nothing is there.
std::string LongForm(const wchar_t* path) {
  wchar_t full[MAX_PATH * 2] = {};
  const DWORD length = GetLongPathNameW(path, full, MAX_PATH * 2);
  return sjis::Narrow(length > 0 && length < MAX_PATH * 2 ? full : path);
}

bool Load(IShellLinkW& shortcut, const std::string& link, Shortcut& read) {
  IPersistFile* file = nullptr;
  if (FAILED(shortcut.QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) return false;
  const bool loaded = SUCCEEDED(file->Load(Wide(link).c_str(), STGM_READ));
  file->Release();
  if (!loaded) return false;
  constexpr int kChars = MAX_PATH * 2;
  wchar_t text[kChars] = {};
  WIN32_FIND_DATAW found{};
  if (FAILED(shortcut.GetPath(text, kChars, &found, SLGP_RAWPATH))) return false;
  read.target = LongForm(text);
  shortcut.GetArguments(text, kChars);
  read.arguments = sjis::Narrow(text);
  shortcut.GetWorkingDirectory(text, kChars);
  read.workingFolder = LongForm(text);
  shortcut.GetDescription(text, kChars);
  read.description = sjis::Narrow(text);
  shortcut.GetIconLocation(text, kChars, &read.iconIndex);
  read.iconFile = LongForm(text);
  shortcut.GetShowCmd(&read.showCommand);
  return true;
}

}  // namespace

bool ReadShortcut(const std::string& link, Shortcut& read) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellLinkW* shortcut = nullptr;
  bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
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
  sjis::GetTempPath(MAX_PATH, base);
  const std::string folder = std::string(base) + name + "\\";
  RemoveFolder(folder);
  sjis::CreateDirectory(folder.c_str(), nullptr);
  return folder;
}

void RemoveFilesBut(const std::string& folder, std::initializer_list<std::string> kept) {
  WIN32_FIND_DATAA found;
  HANDLE search = sjis::FindFirstFile((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (std::find(kept.begin(), kept.end(), name) != kept.end()) continue;
    sjis::SetFileAttributes((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    sjis::DeleteFile((folder + name).c_str());
  } while (sjis::FindNextFile(search, &found));
  FindClose(search);
}

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = sjis::FindFirstFile((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const std::string path = folder + found.cFileName;
      sjis::SetFileAttributes(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      sjis::DeleteFile(path.c_str());
    } while (sjis::FindNextFile(search, &found));
    FindClose(search);
  }
  sjis::RemoveDirectory(folder.c_str());
}

WorkFolder::WorkFolder(const std::string& name) : folder_(FreshFolder(name)) {
  char saved[MAX_PATH * 2] = {};
  sjis::GetCurrentDirectory(sizeof saved, saved);
  saved_ = saved;
  sjis::SetCurrentDirectory(folder_);
}

WorkFolder::~WorkFolder() {
  sjis::SetCurrentDirectory(saved_);
  RemoveFolder(folder_);
}

std::string StartupFolder(int csidl) {
  LPITEMIDLIST list = nullptr;
  if (SHGetSpecialFolderLocation(nullptr, csidl, &list) != S_OK || !list) return std::string();
  wchar_t path[MAX_PATH] = {};
  const bool converted = SHGetPathFromIDListW(list, path);
  CoTaskMemFree(list);
  return converted ? sjis::Narrow(path) : std::string();
}

}  // namespace wine_test
