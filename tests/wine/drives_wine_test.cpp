// Drives and folder listings against Wine's real file system: the drives the test runner added
// (one on a folder, one whose target is missing), sub-folders under Shift-JIS names whose
// second bytes are backslash codes, hidden folders, and the current folder left alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/files.h"
#include "tests/wine/sjis_calls.h"

namespace {

std::string Variable(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD length = sjis::GetEnvironmentVariable(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? value : "";
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST(DrivesWine, DrivesFoldersAndAMissingMedium) {
  const std::string drive = Variable("M2K_TEST_DRIVE"), noMedium = Variable("M2K_NO_MEDIUM_DRIVE");
  ASSERT_FALSE(drive.empty() || noMedium.empty()) << "run through tests/wine/test_drives.sh (make test-wine)";
  const std::string base = drive + "\\m2k-drives";
  for (const std::string& folder : {base, base + "\\ソ", base + "\\ソ\\能力", base + "\\表示テスト", base + "\\hidden"})
    ASSERT_TRUE(sjis::CreateDirectory(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
  ASSERT_TRUE(platform::SetHidden(base + "\\hidden", true));
  ASSERT_TRUE(platform::WriteWholeFile(base + "\\file.txt", "x"));
  const std::string before = platform::CurrentFolder();

  const std::vector<platform::Drive> drives = platform::Drives();
  auto find = [&](char letter) {
    return std::find_if(drives.begin(), drives.end(), [letter](const platform::Drive& d) { return d.letter == letter; });
  };
  ASSERT_NE(drives.end(), find(drive[0]));
  ASSERT_NE(drives.end(), find(noMedium[0]));
  EXPECT_NE(drives.end(), find('C'));
  EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end(),
                             [](const platform::Drive& a, const platform::Drive& b) { return a.letter < b.letter; }));
  EXPECT_TRUE(platform::DriveReadable(drive[0]));
  EXPECT_TRUE(platform::DriveReadable('c'));
  EXPECT_FALSE(platform::DriveReadable(noMedium[0]));

  std::vector<std::string> names;
  ASSERT_TRUE(platform::SubFolders(base, names));
  EXPECT_EQ(Sorted({"ソ", "表示テスト"}), Sorted(names));  // no file, no hidden folder
  ASSERT_TRUE(platform::SubFolders(base + "\\", names));
  EXPECT_EQ(2u, names.size());
  // A name that ends in 0x5C takes a separator of its own.
  ASSERT_TRUE(platform::SubFolders(base + "\\ソ", names));
  EXPECT_EQ(std::vector<std::string>{"能力"}, names);
  ASSERT_TRUE(platform::SubFolders(base + "\\表示テスト", names));
  EXPECT_TRUE(names.empty());
  EXPECT_FALSE(platform::SubFolders(base + "\\gone", names));
  EXPECT_FALSE(platform::SubFolders(noMedium + "\\", names));
  EXPECT_EQ(before, platform::CurrentFolder());

  // The drive is shared with the other tests: leave it as it was.
  platform::RemoveFile(base + "\\file.txt");
  platform::SetHidden(base + "\\hidden", false);
  for (const std::string& folder : {base + "\\hidden", base + "\\表示テスト", base + "\\ソ\\能力", base + "\\ソ", base})
    EXPECT_TRUE(sjis::RemoveDirectory(folder.c_str())) << folder;
}

}  // namespace
