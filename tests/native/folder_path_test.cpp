// Folder paths of the game folder dialog: names are split only at backslashes of their own,
// never at the second byte of a Shift-JIS character (表 is 95 5C, ソ is 83 5C).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/folder_path.h"

namespace {

TEST(FolderPath, ListFormOfAbsoluteAndOtherPaths) {
  const struct {
    const char* path;
    const char* listForm;
  } cases[] = {
      {"D:", "D:\\"},
      {"D:\\", "D:\\"},
      {"d:\\games\\", "D:\\games"},
      {"C:\\Games\\表\\", "C:\\Games\\表"},
      {"C:\\Games\\ソ", "C:\\Games\\ソ"},
      {"C:\\\\Games\\.\\x\\..\\ソフト", "C:\\Games\\ソフト"},
      {"C:\\..", "C:\\"},
      {"", ""},
      {"Games\\表", ""},
      {"\\Games", ""},
      {"C:Games", ""},
      {"\\\\server\\share\\game", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.listForm, folder_path::ListForm(c.path)) << c.path;
}

TEST(FolderPath, ChainParentJoinAndTheTrailingSeparator) {
  EXPECT_EQ((std::vector<std::string>{"C:\\", "表示テスト", "ソ"}), folder_path::Chain("C:\\表示テスト\\ソ"));
  EXPECT_EQ((std::vector<std::string>{"D:\\"}), folder_path::Chain("D:\\"));
  EXPECT_EQ("C:\\表示テスト", folder_path::Parent("C:\\表示テスト\\ソ"));
  EXPECT_EQ("C:\\", folder_path::Parent("C:\\表示テスト"));
  EXPECT_EQ("", folder_path::Parent("C:\\"));
  EXPECT_EQ("C:\\ソフト", folder_path::Join("C:\\", "ソフト"));
  EXPECT_EQ("C:\\ソ\\能力", folder_path::Join("C:\\ソ", "能力"));
  EXPECT_EQ("C:\\ソ\\能力", folder_path::Join("C:\\ソ\\", "能力"));
  EXPECT_EQ("D:", folder_path::WithoutTrailingSeparator("D:\\"));
  EXPECT_EQ("C:\\表", folder_path::WithoutTrailingSeparator("C:\\表"));
  EXPECT_EQ("C:\\表", folder_path::WithoutTrailingSeparator("C:\\表\\"));
}

}  // namespace
