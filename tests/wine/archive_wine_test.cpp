// The game's archives against the real Win32 file API under Wine: extracted sheets carry the
// hidden attribute, a read-only archive and an archive that another handle holds open are
// still read, and a voice clip comes out as a WAV file named after the clip.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "counter/scenario.h"
#include "data/Untdata.h"
#include "data/ogg.h"
#include "data/sprites.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/common/archive_writer.h"
#include "tools/lzss/lzss_encode.h"
#include "tests/wine/sjis_calls.h"

namespace {

struct Entry {
  std::string name;
  std::string data;
  bool packed = false;
};

// grp.pak or voice.pak of these entries, packed ones LZSS-packed.
std::string Pak(const std::vector<Entry>& entries, bool voice) {
  std::vector<test_fixtures::PakEntry> written;
  for (const Entry& e : entries)
    written.push_back({.name = e.name, .data = e.packed ? LzssPackEntry(e.data) : e.data, .packedFlag = e.packed ? 1u : 0u});
  return voice ? test_fixtures::VoicePak(written) : test_fixtures::ImagePak(written);
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  platform::ReadWholeFile(path, bytes);
  return bytes;
}

std::string Fixture(const std::string& name) { return ReadFileBytes(std::string(M2K_OGG_FIXTURES) + "/" + name); }

// A fresh work folder as the current directory and a game folder beside it.
class ArchiveWine : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH], name[MAX_PATH];
    ASSERT_NE(0u, sjis::GetTempPath(MAX_PATH, temp));
    ASSERT_NE(0u, sjis::GetTempFileName(temp, "pak", 0, name));
    sjis::DeleteFile(name);
    ASSERT_TRUE(sjis::CreateDirectory(name, nullptr));
    root_ = name;
    work_ = root_ + "\\work";
    game_ = root_ + "\\game\\";
    ASSERT_TRUE(sjis::CreateDirectory(work_.c_str(), nullptr));
    ASSERT_TRUE(sjis::CreateDirectory(game_.c_str(), nullptr));
    saved_ = platform::CurrentFolder();
    ASSERT_TRUE(platform::SetCurrentFolder(work_));
    data.counterSettings.dirwave = game_;
  }
  void TearDown() override {
    UnloadOggLibrary();
    platform::SetCurrentFolder(saved_);
    for (const std::string& folder : {work_, game_}) {
      WIN32_FIND_DATAA found;
      HANDLE search = sjis::FindFirstFile((folder + "\\*").c_str(), &found);
      if (search != INVALID_HANDLE_VALUE) {
        do {
          const std::string path = folder + "\\" + found.cFileName;
          sjis::SetFileAttributes(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          sjis::DeleteFile(path.c_str());
        } while (sjis::FindNextFile(search, &found));
        FindClose(search);
      }
      sjis::RemoveDirectory(folder.c_str());
    }
    sjis::RemoveDirectory(root_.c_str());
  }

  void WriteArchive(const char* name, const std::string& bytes) {
    const std::string path = game_ + name;
    sjis::SetFileAttributes(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(platform::WriteWholeFile(path, bytes));
  }
  static std::vector<Entry> AllSheets() {
    std::vector<Entry> entries;
    bool packed = false;
    for (int c = 0; c < kRosterSize; ++c)
      for (int v = 0; v < kVariants && SpriteFiles[c][v]; ++v) {
        if (c == 9) continue;  // "mapc140.tga" again, listed for character 8 already
        entries.push_back({SpriteFiles[c][v], std::string("sheet ") + SpriteFiles[c][v] + std::string(2000, 'a' + c), packed});
        packed = !packed;
      }
    return entries;
  }
  void ExpectAllSheets() {
    for (const Entry& e : AllSheets()) {
      const DWORD attributes = sjis::GetFileAttributes(e.name.c_str());
      ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes) << e.name;
      EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << e.name;
      EXPECT_TRUE(e.data == ReadFileBytes(e.name)) << e.name;
    }
  }

  std::string root_, work_, game_, saved_;
  TfrmData data;
};

TEST_F(ArchiveWine, SheetsComeOutHiddenAndAreNotExtractedAgain) {
  WriteArchive("grp.pak", Pak(AllSheets(), false));
  EXPECT_TRUE(data.ExtractImages());
  ExpectAllSheets();
  // A hidden sheet counts as present: a changed archive changes nothing.
  WriteArchive("grp.pak", Pak({{"mapc010.tga", "changed"}}, false));
  EXPECT_TRUE(data.ExtractImages());
  ExpectAllSheets();
  // The windows' cleanup removes the hidden .tga sheets and keeps mapc070.tg2.
  platform::RemoveMatching(".\\*.TGA");
  EXPECT_FALSE(platform::FileExists("mapc010.tga"));
  EXPECT_TRUE(platform::FileExists("mapc070.tg2"));
  EXPECT_TRUE(platform::IsHidden("mapc070.tg2"));
}

TEST_F(ArchiveWine, AReadOnlyArchiveIsStillRead) {
  WriteArchive("grp.pak", Pak(AllSheets(), false));
  ASSERT_TRUE(sjis::SetFileAttributes((game_ + "grp.pak").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(data.ExtractImages());
  ExpectAllSheets();
}

TEST_F(ArchiveWine, AnArchiveHeldOpenWithReadSharingOnlyIsStillRead) {
  WriteArchive("grp.pak", Pak(AllSheets(), false));
  // As the game itself might hold it: reading, sharing reading only, so no one may write.
  HANDLE held = sjis::CreateFile((game_ + "grp.pak").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_TRUE(data.ExtractImages());
  ExpectAllSheets();
  CloseHandle(held);
}

TEST_F(ArchiveWine, AnArchiveHeldOpenForWritingWithFullSharingIsRead) {
  WriteArchive("grp.pak", Pak(AllSheets(), false));
  HANDLE held = sjis::CreateFile((game_ + "grp.pak").c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_TRUE(data.ExtractImages());
  ExpectAllSheets();
  CloseHandle(held);
}

TEST_F(ArchiveWine, AnArchiveLockedAgainstReadersStopsTheExtraction) {
  WriteArchive("grp.pak", Pak(AllSheets(), false));
  HANDLE held = sjis::CreateFile((game_ + "grp.pak").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_FALSE(data.ExtractImages());
  EXPECT_FALSE(platform::FileExists("mapc010.tga")) << "no output file when the archive cannot be opened";
  CloseHandle(held);
}

TEST_F(ArchiveWine, TheOpenFileClassReadsBlocksAndWritesExclusively) {
  WriteArchive("grp.pak", "0123456789");
  platform::File file;
  ASSERT_TRUE(file.OpenShared(game_ + "grp.pak"));
  EXPECT_EQ(10, file.Size());
  char block[8] = {};
  EXPECT_EQ(4, file.ReadAt(6, block, 8));
  EXPECT_EQ("6789", std::string(block, 4));
  EXPECT_EQ(0, file.ReadAt(100, block, 8));
  EXPECT_FALSE(file.OpenShared(game_)) << "a folder does not open";

  platform::File out;
  ASSERT_TRUE(out.CreateExclusive("x.bin"));
  HANDLE other = sjis::CreateFile("x.bin", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(INVALID_HANDLE_VALUE, other) << "written exclusively";
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  EXPECT_TRUE(out.Write("abc", 3));
  out.Close();
  EXPECT_EQ("abc", ReadFileBytes("x.bin"));

  // A sheet is hidden from its creation on: nothing opens it again to hide it.
  ASSERT_TRUE(out.CreateExclusive("h.bin", true));
  const DWORD attributes = sjis::GetFileAttributes("h.bin");
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN));
  out.Close();
}

TEST_F(ArchiveWine, AVoiceClipBecomesAWaveNamedAfterTheClip) {
  const std::string clip = "V000000012_000001.OGG";
  WriteArchive("voice.pak", Pak({{"v000000012_000001.ogg", Fixture("tone-mono-22050.ogg")},
                                 {"v000000012_000001a.ogg", Fixture("tone-stereo-22050.ogg")}}, true));
  EXPECT_EQ(".\\" + clip + ".wav", data.GetVoiceWave(clip.c_str(), true));
  const std::string wav = ReadFileBytes(clip + ".wav");
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ("RIFF", wav.substr(0, 4));
  EXPECT_EQ(2, static_cast<uint8_t>(wav[22])) << "stereo: the variant's clip";
  EXPECT_FALSE(platform::FileExists(clip)) << "the temporary OGG file is removed";
  EXPECT_FALSE(platform::FileExists("V000000012_000001A.OGG.wav"));
}

// The archives of an empty game folder are those at the root of the current drive.
TEST_F(ArchiveWine, AnEmptyGameFolderReadsTheArchivesAtTheRootOfTheCurrentDrive) {
  ASSERT_EQ(":\\", work_.substr(1, 2)) << work_;
  const std::string root = work_.substr(0, 3);
  struct RootFiles {
    std::string root;
    ~RootFiles() {
      sjis::DeleteFile((root + "grp.pak").c_str());
      sjis::DeleteFile((root + "voice.pak").c_str());
    }
  } cleanup{root};
  const std::string clip = "V000000012_000001.OGG";
  ASSERT_TRUE(platform::WriteWholeFile(root + "grp.pak", Pak(AllSheets(), false)));
  ASSERT_TRUE(platform::WriteWholeFile(root + "voice.pak", Pak({{clip, Fixture("tone-mono-22050.ogg")}}, true)));
  data.counterSettings.dirwave = "";
  EXPECT_TRUE(data.ExtractImages());
  ExpectAllSheets();
  EXPECT_EQ(".\\" + clip + ".wav", data.GetVoiceWave(clip.c_str(), false));
  EXPECT_TRUE(platform::FileExists(clip + ".wav"));
}

const char kSettingsKey[] = "\\Software\\Zorve\\M2K-COUNTER";
const char kExitKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current";

std::string VariantOf(const std::string& clip) { return clip.substr(0, clip.size() - 4) + "A.OGG"; }

// The exit sound: a character's only exit clip, or among five the one that the seconds of the
// moment choose, each in its name-less variant.
TEST_F(ArchiveWine, TheExitSoundIsTheClipTheSecondsChooseInItsNamelessVariant) {
  std::vector<Entry> entries;
  for (int character : {0, 5})
    for (const char* const* clip = ExitClips[character]; *clip; ++clip) {
      entries.push_back({*clip, Fixture("tone-mono-22050.ogg")});
      entries.push_back({VariantOf(*clip), Fixture("tone-stereo-22050.ogg")});
    }
  WriteArchive("voice.pak", Pak(entries, true));
  { platform::RegistryKey exitKey(kExitKey, true); }
  data.counterSettings.wave = 1;
  data.counterSettings.repl = 1;
  struct Case {
    int character;
    int clips;
  };
  for (const Case c : {Case{5, 1}, Case{0, 5}}) {
    SCOPED_TRACE(c.character);
    data.counterSettings.char0 = c.character;
    std::set<int> chosen;
    // Until two different clips have been seen for five, one for one; a call that spans the
    // turn of a second says nothing and is made again.
    for (int call = 0; call < 12 && static_cast<int>(chosen.size()) < std::min(c.clips, 2); ++call) {
      SYSTEMTIME before{}, after{};
      GetLocalTime(&before);
      data.ReplaceSystemSounds(true);
      GetLocalTime(&after);
      if (before.wSecond != after.wSecond) continue;
      const int k = before.wSecond % c.clips;
      std::string exitSound;
      platform::RegistryKey(kExitKey, false).ReadText("", exitSound);
      EXPECT_EQ(platform::ProgramFolder() + ".\\" + ExitClips[c.character][k] + ".wav", exitSound)
          << "second " << before.wSecond;
      const std::string wav = ReadFileBytes(std::string(ExitClips[c.character][k]) + ".wav");
      ASSERT_GE(wav.size(), 44u);
      EXPECT_EQ(2, static_cast<uint8_t>(wav[22])) << "stereo: the name-less variant";
      chosen.insert(k);
      Sleep(1000 - after.wMilliseconds + 10);  // into the next second
    }
    EXPECT_EQ(std::min(c.clips, 2), static_cast<int>(chosen.size()));
  }
  platform::DeleteRegistryTree(kSettingsKey);
}

}  // namespace
