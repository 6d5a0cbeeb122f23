#pragma once
// What the Wine tests need of the shell and the file system: shortcuts read back through the
// shell's link object, file names as the disk holds them, and fresh temporary folders.
#include <initializer_list>
#include <string>

namespace wine_test {

struct Shortcut {
  std::string target, arguments, workingFolder, iconFile, description;
  int iconIndex = -1;
  int showCommand = -1;
};
// Loads a .lnk file through IShellLinkW / IPersistFile (COM initialised for the call).
// Paths that name something on disk come back in their long form.
bool ReadShortcut(const std::string& link, Shortcut& read);

// The names of the files in a folder as UTF-16, sorted, each followed by a line feed.
std::wstring WideFileNames(const std::string& folder);

// An empty folder of that name in the temporary folder, with its trailing backslash.
std::string FreshFolder(const std::string& name);
// Deletes the files in the folder (read-only ones too), then the folder.
void RemoveFolder(const std::string& folder);
// Deletes the files in the folder other than those named.
void RemoveFilesBut(const std::string& folder, std::initializer_list<std::string> kept);

// A fresh temporary folder made the current one for the object's lifetime, as the program's
// own folder is for a window made inside the test process (its sheets are extracted into the
// current folder); the old current folder is back and the folder gone afterwards.
class WorkFolder {
 public:
  explicit WorkFolder(const std::string& name);
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

 private:
  std::string folder_, saved_;
};

// The Startup folder of the current user (csidl CSIDL_STARTUP) or of all users.
std::string StartupFolder(int csidl);

}  // namespace wine_test
