// Deleting working files by pattern, against Wine's real file search.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/files.h"
#include "tests/wine/sjis_calls.h"

namespace {

class FilesWine : public ::testing::Test {
 protected:
  void SetUp() override {
    char base[MAX_PATH] = {};
    sjis::GetTempPath(MAX_PATH, base);
    folder_ = std::string(base) + "m2k-files\\";
    sjis::CreateDirectory(folder_.c_str(), nullptr);
    sjis::GetCurrentDirectory(MAX_PATH, previous_);
    ASSERT_TRUE(platform::SetCurrentFolder(folder_));
  }
  void TearDown() override { sjis::SetCurrentDirectory(previous_); }
  void Make(const std::string& name) { ASSERT_TRUE(platform::WriteWholeFile(name, "x")) << name; }
  std::string folder_;
  char previous_[MAX_PATH] = {};
};

TEST_F(FilesWine, PatternDeletesHiddenFilesAndSkipsWhatCannotGo) {
  Make("a.TGA");
  Make("b.tga");
  Make("hidden.TGA");
  platform::SetHidden("hidden.TGA", true);
  Make("locked.TGA");
  sjis::SetFileAttributes("locked.TGA", FILE_ATTRIBUTE_READONLY);
  Make("mapc070.tg2");
  Make("keep.wav");

  platform::RemoveMatching(".\\*.TGA");

  EXPECT_FALSE(platform::FileExists("a.TGA"));
  EXPECT_FALSE(platform::FileExists("b.tga"));
  EXPECT_FALSE(platform::FileExists("hidden.TGA"));
  EXPECT_TRUE(platform::FileExists("locked.TGA"));
  EXPECT_TRUE(platform::FileExists("mapc070.tg2"));
  EXPECT_TRUE(platform::FileExists("keep.wav"));
  sjis::SetFileAttributes("locked.TGA", FILE_ATTRIBUTE_NORMAL);
  platform::RemoveFile("locked.TGA");
  platform::RemoveFile("mapc070.tg2");
  platform::RemoveFile("keep.wav");
}

TEST_F(FilesWine, MatchingSubfolderIsCleanedAndRemovedOnlyWhenEmpty) {
  ASSERT_TRUE(platform::MakeFolder("empties.ogg"));
  Make("empties.ogg\\x.ogg");
  ASSERT_TRUE(platform::MakeFolder("keeps.ogg"));
  Make("keeps.ogg\\y.ogg");
  Make("keeps.ogg\\notes.txt");

  platform::RemoveMatching(".\\*.ogg");

  EXPECT_FALSE(platform::FolderExists("empties.ogg"));
  EXPECT_TRUE(platform::FolderExists("keeps.ogg"));
  EXPECT_FALSE(platform::FileExists("keeps.ogg\\y.ogg"));
  EXPECT_TRUE(platform::FileExists("keeps.ogg\\notes.txt"));
  platform::RemoveFile("keeps.ogg\\notes.txt");
  sjis::RemoveDirectory("keeps.ogg");
}

TEST_F(FilesWine, HiddenFileStaysHiddenWhenRewritten) {
  Make("sheet.TGA");
  ASSERT_TRUE(platform::SetHidden("sheet.TGA", true));
  EXPECT_TRUE(platform::WriteWholeFile("sheet.TGA", "new"));
  EXPECT_TRUE(platform::IsHidden("sheet.TGA"));
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile("sheet.TGA", bytes));
  EXPECT_EQ("new", bytes);
  platform::RemoveFile("sheet.TGA");
}

}  // namespace
