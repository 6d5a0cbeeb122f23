#include "tests/wine/program_runner.h"

#include <vector>
#include "tests/wine/sjis_calls.h"

namespace wine_test {

std::string BinFolder() {
  char path[MAX_PATH] = {};
  sjis::GetModuleFileName(nullptr, path, MAX_PATH);
  std::string full(path);
  return full.substr(0, full.find_last_of('\\') + 1);
}

std::string DemoGame() {
  char value[MAX_PATH] = {};
  const DWORD length = sjis::GetEnvironmentVariable("M2K_DEMO_GAME", value, MAX_PATH);
  std::string folder = length > 0 && length < MAX_PATH ? value : BinFolder() + "..\\..\\demo_game\\";
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

ProgramRun::ProgramRun(const std::string& arguments, const std::string& workFolder, int showWindow,
                       const std::string& program) {
  std::string command = "\"";
  command += program.empty() ? BinFolder() + "M2KCOUNT.EXE" : program;
  command += "\"";
  if (!arguments.empty()) command += " " + arguments;
  std::wstring line = sjis::Wide(command);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (showWindow >= 0) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindow);
  }
  PROCESS_INFORMATION info{};
  const std::wstring folder = sjis::Wide(workFolder);
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     workFolder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    CloseHandle(info.hThread);
  }
}

ProgramRun::~ProgramRun() {
  if (!process_) return;
  if (!WaitExit(0)) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

bool ProgramRun::WaitExit(DWORD ms) { return WaitForSingleObject(process_, ms) == WAIT_OBJECT_0; }

namespace {
struct Search {
  DWORD process;
  const std::string* caption;
  HWND found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  if (owner == search->process && IsWindowVisible(hwnd) && *search->caption == sjis::Narrow(text)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND ProgramRun::FindVisibleWindow(const std::string& caption) const {
  Search search{id_, &caption, nullptr};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ProgramRun::WaitWindow(const std::string& caption, DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    if (HWND hwnd = FindVisibleWindow(caption)) return hwnd;
    if (WaitExit(0)) return nullptr;
    Sleep(50);
  } while (GetTickCount() - start < ms);
  return nullptr;
}

}  // namespace wine_test

namespace wine_test {

std::string TempFolder(const std::string& name) {
  char base[MAX_PATH] = {};
  sjis::GetTempPath(MAX_PATH, base);
  const std::string folder = std::string(base) + name;
  sjis::CreateDirectory(folder.c_str(), nullptr);
  return folder + "\\";
}

// Names are kept as UTF-16 and values as the registry's own bytes: put back exactly as they were.
struct KeyBackup::Node {
  struct Value {
    std::wstring name;
    DWORD type;
    std::string data;
  };
  std::vector<Value> values;
  std::vector<std::pair<std::wstring, Node>> children;
};

namespace {

std::string WithoutLeadingBackslash(const std::string& path) {
  return !path.empty() && path[0] == '\\' ? path.substr(1) : path;
}

void SaveKey(HKEY key, KeyBackup::Node& node) {
  DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values, &longestName,
                   &longestData, nullptr, nullptr);
  for (DWORD i = 0; i < values; ++i) {
    std::wstring name(longestName + 1, L'\0');
    std::string data(longestData, '\0');
    DWORD nameLength = longestName + 1, dataLength = longestData, type = 0;
    if (RegEnumValueW(key, i, &name[0], &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                      &dataLength) != ERROR_SUCCESS)
      continue;
    name.resize(nameLength);
    data.resize(dataLength);
    node.values.push_back({name, type, data});
  }
  for (DWORD i = 0; i < subkeys; ++i) {
    std::wstring name(longestSubkey + 1, L'\0');
    DWORD nameLength = longestSubkey + 1;
    if (RegEnumKeyExW(key, i, &name[0], &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
    name.resize(nameLength);
    HKEY child = nullptr;
    if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
    node.children.emplace_back(name, KeyBackup::Node{});
    SaveKey(child, node.children.back().second);
    RegCloseKey(child);
  }
}

void RestoreKey(HKEY parent, const std::wstring& name, const KeyBackup::Node& node) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  for (const auto& value : node.values)
    RegSetValueExW(key, value.name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                   static_cast<DWORD>(value.data.size()));
  for (const auto& [childName, child] : node.children) RestoreKey(key, childName, child);
  RegCloseKey(key);
}

}  // namespace

KeyBackup::KeyBackup(const std::string& path) : path_(WithoutLeadingBackslash(path)) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, sjis::Wide(path_).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  saved_ = std::make_unique<Node>();
  SaveKey(key, *saved_);
  RegCloseKey(key);
}

KeyBackup::~KeyBackup() {
  const std::wstring path = sjis::Wide(path_);
  RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
  if (saved_) RestoreKey(HKEY_CURRENT_USER, path, *saved_);
}

double ProgramRun::SecondsLived() const {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!process_ || WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) return -1;
  if (!GetProcessTimes(process_, &created, &exited, &kernel, &user)) return -1;
  const auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return static_cast<double>(ticks(exited) - ticks(created)) / 1e7;  // 100 ns units
}

}  // namespace wine_test
