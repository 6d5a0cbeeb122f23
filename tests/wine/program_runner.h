#pragma once
// Starts M2KCOUNT.EXE (next to the test runner) and watches its windows.
#include <windows.h>

#include <string>

namespace wine_test {

std::string BinFolder();  // with trailing backslash

class ProgramRun {
 public:
  // Starts the program with `arguments` in `workFolder` (empty: the test's current folder);
  // with a `showWindow` command (SW_...), as a shortcut set to open minimised passes it.
  // `program` is the executable's full path; empty: M2KCOUNT.EXE next to the test runner.
  ProgramRun(const std::string& arguments, const std::string& workFolder = "", int showWindow = -1,
             const std::string& program = "");
  ~ProgramRun();
  bool Started() const { return process_ != nullptr; }
  // Waits up to `ms` for the process to end; true when it has.
  bool WaitExit(DWORD ms);
  // Waits up to `ms` for a visible top-level window of the process with this caption.
  HWND WaitWindow(const std::string& caption, DWORD ms);
  HWND FindVisibleWindow(const std::string& caption) const;
  DWORD ProcessId() const { return id_; }

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

}  // namespace wine_test
