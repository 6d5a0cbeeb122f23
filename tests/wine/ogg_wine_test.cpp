// The OGG decoder under Wine: ogog.dll is found next to the program by the standard library
// search, and the WAV files it writes play through MCI and through PlaySound, as the Windows
// sound scheme plays them.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <optional>
#include <string>

#include "components/ogog/ogog.h"
#include "data/ogg.h"
#include "platform/files.h"
#include "ui/ui.h"
#include "tests/wine/sjis_calls.h"

namespace {

std::string Fixture(const std::string& name) { return std::string(M2K_OGG_FIXTURES) + "/" + name; }

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  sjis::GetModuleFileName(module, path, MAX_PATH);
  return path;
}

// Pumps messages until a notice arrives or the time is up.
std::optional<ui::NotifyValue> WaitNotice(ui::MediaPlayer& player, DWORD ms) {
  std::optional<ui::NotifyValue> notice;
  player.onNotify = [&notice](ui::NotifyValue value) { notice = value; };
  const DWORD start = GetTickCount();
  MSG msg;
  while (!notice && GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  return notice;
}

// A fresh work folder as the current directory, without a copy of the library, so that only
// the search of the program's own folder can find it.
class OggWine : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH], name[MAX_PATH];
    ASSERT_NE(0u, sjis::GetTempPath(MAX_PATH, temp));
    ASSERT_NE(0u, sjis::GetTempFileName(temp, "ogg", 0, name));
    sjis::DeleteFile(name);
    ASSERT_TRUE(sjis::CreateDirectory(name, nullptr));
    work_ = name;
    saved_ = platform::CurrentFolder();
    ASSERT_TRUE(platform::SetCurrentFolder(work_));
  }
  void TearDown() override {
    UnloadOggLibrary();
    platform::SetCurrentFolder(saved_);
    platform::RemoveMatching(work_ + "\\*");
    sjis::RemoveDirectory(work_.c_str());
  }

  std::string work_, saved_;
};

TEST_F(OggWine, FindsTheLibraryNextToTheProgramAndReleasesIt) {
  ASSERT_FALSE(platform::FileExists(".\\ogog.dll"));
  ASSERT_EQ(0, LoadOggLibrary());
  const HMODULE library = GetModuleHandleA("ogog.dll");
  ASSERT_NE(nullptr, library);
  EXPECT_STRCASEEQ(FolderOf(ModulePath(nullptr)).c_str(), FolderOf(ModulePath(library)).c_str());
  EXPECT_EQ(0, UnloadOggLibrary());
  EXPECT_EQ(nullptr, GetModuleHandleA("ogog.dll"));
}

TEST_F(OggWine, DecodedClipsPlayThroughMciAndPlaySound) {
  struct Case {
    const char* fixture;
    const char* clip;
  } const cases[] = {
      {"tone-mono-22050.ogg", "V000000100_000001.OGG"},
      {"tone-stereo-44100.ogg", "V000000200_000002.OGG"},
      {"tone-stereo-22050.ogg", "ソ音声.OGG"},  // a Shift-JIS name whose "ソ" ends in 0x5C
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    const std::string ogg = std::string(".\\") + c.clip, wav = ogg + ".wav";
    ASSERT_TRUE(sjis::CopyFile(Fixture(c.fixture).c_str(), ogg.c_str(), FALSE));
    ASSERT_EQ(0, LoadOggLibrary());
    EXPECT_EQ(kOgogOk, DecodeOggFile(ogg, wav));
    UnloadOggLibrary();
    ASSERT_TRUE(platform::FileExists(wav));

    ui::MediaPlayer player(nullptr, "mplWave");
    player.fileName = wav;
    player.Open();
    player.Play();
    const auto notice = WaitNotice(player, 5000);
    ASSERT_TRUE(notice.has_value()) << "no completion notice";
    EXPECT_EQ(ui::NotifyValue::Successful, *notice);
    player.Close();

    // Wine's PlaySound opens its file by an ANSI name: a Japanese name goes by its short form,
    // as the program writes the exit sound.
    const std::wstring playable = platform::win32::AnsiSafePath(sjis::Wide(wav));
    EXPECT_TRUE(PlaySoundW(playable.c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT));
  }
}

TEST_F(OggWine, ACorruptClipLeavesNoWave) {
  ASSERT_TRUE(platform::WriteWholeFile(".\\broken.OGG", "OggS, but nothing after it"));
  ASSERT_EQ(0, LoadOggLibrary());
  EXPECT_EQ(kOgogNotVorbis, DecodeOggFile(".\\broken.OGG", ".\\broken.OGG.wav"));
  EXPECT_FALSE(platform::FileExists(".\\broken.OGG.wav"));
}

}  // namespace
