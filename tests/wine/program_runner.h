#pragma once
// Starts M2KCOUNT.EXE (next to the test runner) and watches its windows.
#include <windows.h>

#include <memory>
#include <string>

namespace wine_test {

std::string BinFolder();  // with trailing backslash
// The demo game's folder: M2K_DEMO_GAME (as `make test-wine` sets it), otherwise its place in
// the build tree; with trailing backslash.
std::string DemoGame();
// A folder of that name in the temporary folder, made when missing; with trailing backslash.
std::string TempFolder(const std::string& name);

// Keeps a key under HKEY_CURRENT_USER as it was: its values and sub-keys are saved when the
// backup is made and put back, with anything added since removed, when it goes.
class KeyBackup {
 public:
  explicit KeyBackup(const std::string& path);
  ~KeyBackup();
  KeyBackup(const KeyBackup&) = delete;
  KeyBackup& operator=(const KeyBackup&) = delete;
  struct Node;

 private:
  std::string path_;
  std::unique_ptr<Node> saved_;  // null when the key did not exist
};

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
  // From the process's creation to its exit on the system clock, the clock the program reads
  // its time from, as the kernel recorded both; negative while it runs.
  double SecondsLived() const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

}  // namespace wine_test
