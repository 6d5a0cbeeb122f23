#include "tests/wine/program_runner.h"

#include <vector>

namespace wine_test {

std::string BinFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path);
  return full.substr(0, full.find_last_of('\\') + 1);
}

ProgramRun::ProgramRun(const std::string& arguments, const std::string& workFolder, int showWindow,
                       const std::string& program) {
  std::string command = "\"";
  command += program.empty() ? BinFolder() + "M2KCOUNT.EXE" : program;
  command += "\"";
  if (!arguments.empty()) command += " " + arguments;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (showWindow >= 0) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindow);
  }
  PROCESS_INFORMATION info{};
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     workFolder.empty() ? nullptr : workFolder.c_str(), &startup, &info)) {
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
  char text[256] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  if (owner == search->process && IsWindowVisible(hwnd) && *search->caption == text) {
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
