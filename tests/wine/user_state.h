#pragma once
// What the tests change of the user's Wine prefix and of the runner's folder, kept as it was
// around every test: `make run` and the next test find the prefix as they left it, even after
// a failed assertion ended a test before its own cleanup.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/wine/program_runner.h"

namespace wine_test {

// The runner's folder (where M2KCOUNT.EXE keeps its working files): files that appear are
// removed when the snapshot goes, files that change or go are written back as they were.
class FolderSnapshot {
 public:
  explicit FolderSnapshot(const std::string& folder);  // with trailing backslash
  ~FolderSnapshot();
  FolderSnapshot(const FolderSnapshot&) = delete;
  FolderSnapshot& operator=(const FolderSnapshot&) = delete;

 private:
  std::string folder_;
  std::map<std::string, std::string> files_;  // name -> bytes
};

// The program's and the game's registry keys, the Windows sound scheme's logon and exit
// sounds and the runner's folder, saved when made and put back when it goes.
class UserStateGuard {
 public:
  UserStateGuard();

 private:
  std::vector<std::unique_ptr<KeyBackup>> keys_;
  FolderSnapshot folder_;
};

}  // namespace wine_test
