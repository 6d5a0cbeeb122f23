#pragma once
// The shell: special folders, opening documents and addresses, and the locale's number format.
#include <string>

namespace platform {

enum class ShellFolder { Startup, CommonStartup };

enum class FolderLookup {
  Found,     // the folder's path is known
  NoFolder,  // the shell knows no such folder here
  NoPath,    // the shell knows it, but not as a file-system path
  NotShiftJis,  // its path has a character that Shift-JIS lacks (a user folder named "Zoë")
};
FolderLookup SpecialFolderPath(ShellFolder folder, std::string& path);

// Asks the shell to open a file or an address with the "open" verb; the result is not examined.
void ShellOpen(const std::string& target);

// The user's thousands separator ("," on Japanese systems).
std::string ThousandsSeparator();
// The user's decimal separator ("." on Japanese systems).
std::string DecimalSeparator();

}  // namespace platform
