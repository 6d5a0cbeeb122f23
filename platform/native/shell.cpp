// The shell of the native tests: folders and opened targets are set and read by the test.
#include <map>
#include <vector>

#include "platform/native/testing.h"
#include "platform/shell.h"

namespace platform {
namespace {

struct FakeFolder {
  FolderLookup lookup = FolderLookup::NoFolder;
  std::string path;
};
std::map<ShellFolder, FakeFolder> folders;
std::vector<std::string> opened;
std::string separator = ",";
std::string decimalSeparator = ".";

}  // namespace

FolderLookup SpecialFolderPath(ShellFolder folder, std::string& path) {
  const FakeFolder& fake = folders[folder];
  path = fake.lookup == FolderLookup::Found ? fake.path : std::string();
  return fake.lookup;
}

void ShellOpen(const std::string& target) { opened.push_back(target); }

std::string ThousandsSeparator() { return separator; }
std::string DecimalSeparator() { return decimalSeparator; }

namespace testing {

void SetSpecialFolder(ShellFolder folder, FolderLookup lookup, const std::string& path) {
  folders[folder] = FakeFolder{lookup, path};
}
const std::vector<std::string>& ShellOpened() { return opened; }
void SetThousandsSeparator(const std::string& text) { separator = text; }
void SetDecimalSeparator(const std::string& text) { decimalSeparator = text; }
void ResetShell() {
  folders.clear();
  opened.clear();
  separator = ",";
  decimalSeparator = ".";
}

}  // namespace testing
}  // namespace platform
