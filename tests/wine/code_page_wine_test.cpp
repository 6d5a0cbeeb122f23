// The program under any system code page: installed in a folder with a Japanese name it counts
// and speaks there, and a text from the system with a character that Shift-JIS lacks (a user
// folder named "Zoë") is never acted on with "?" in its place. The suite runs under code page
// 932 and 1252, so each case here holds under both.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <vector>

#include "data/Untdata.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/shell_support.h"
#include "tests/wine/sjis_calls.h"

namespace {

using wine_test::DemoGame;

const char kSettingsKey[] = "\\Software\\Zorve\\M2K-COUNTER";
const char kGameKey[] = "\\Software\\Vant\\Marivel2 KORVEN";
const char kIntegrationKey[] = "\\Software\\Zorve\\STARTHUB";
const wchar_t kStartKey[] = L"AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current";
const wchar_t kExitKey[] = L"AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current";
// "Zoë": the e with diaeresis has no Shift-JIS form.
const wchar_t kZoe[] = L"Zo\u00EB";

// A value under HKEY_CURRENT_USER written as UTF-16, as Windows and other programs write them.
void WriteWide(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
  HKEY opened = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &opened,
                                           nullptr));
  RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(opened);
}

std::wstring ReadWide(const wchar_t* key, const wchar_t* name) {
  wchar_t value[512] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return L"(none)";
  return value;
}

// A fresh folder of that name at the root of drive C:, as a user makes one; with its trailing
// backslash.
std::wstring FreshRootFolder(const std::wstring& name) {
  const std::wstring folder = L"C:\\" + name + L"\\";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      SetFileAttributesW((folder + found.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void RemoveRootFolder(const std::wstring& folder) {
  FreshRootFolder(folder.substr(3, folder.size() - 4));
  RemoveDirectoryW(folder.c_str());
}

// The program and its two libraries copied into `folder` (UTF-16, with its backslash).
bool InstallProgram(const std::wstring& folder) {
  const std::wstring bin = sjis::Wide(wine_test::BinFolder());
  for (const wchar_t* file : {L"M2KCOUNT.EXE", L"ogog.dll", L"DIDAZURA.DLL"})
    if (!CopyFileW((bin + file).c_str(), (folder + file).c_str(), FALSE)) return false;
  return true;
}

int FilesIn(const std::wstring& pattern) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

// The start number of a history file named in UTF-16; 0 when there is no whole history.
unsigned StartNumber(const std::wstring& historyFile) {
  HANDLE file = CreateFileW(historyFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  unsigned char bytes[65] = {};
  DWORD read = 0;
  ReadFile(file, bytes, sizeof bytes, &read, nullptr);
  CloseHandle(file);
  return read == 64 ? bytes[4] | bytes[5] << 8 : 0;
}

// Runs `program` /C from a folder of its own elsewhere, as a logon does, until it closes. The
// program is named in UTF-16: its path may have characters that Shift-JIS lacks.
void RunCounter(const std::wstring& program) {
  const std::string elsewhere = wine_test::FreshFolder("m2k-code-page-elsewhere");
  std::wstring command = L"\"" + program + L"\" /C";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             sjis::Wide(elsewhere).c_str(), &startup, &process));
  CloseHandle(process.hThread);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 30000)) << "the counter did not close";
  TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  EXPECT_FALSE(platform::FileExists(elsewhere + "STARTHUB")) << "counted in the folder it was started from";
  wine_test::RemoveFolder(elsewhere);
}

class CodePageWine : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::DeleteRegistryTree(kSettingsKey);
    platform::DeleteRegistryTree(kGameKey);
    platform::DeleteRegistryTree(kIntegrationKey);  // the history lies beside the program
    platform::RegistryKey settings(kSettingsKey, true);
    settings.WriteInteger("char0", 0);  // not the first setup
    settings.WriteInteger("timer", 1);
  }
  void TearDown() override {
    platform::DeleteRegistryTree(kSettingsKey);
    platform::DeleteRegistryTree(kGameKey);
  }
};

// "表" is 0x95 0x5C in Shift-JIS: its second byte is the backslash.
TEST_F(CodePageWine, InstalledInAJapaneseFolderItCountsAndSpeaksThere) {
  ASSERT_TRUE(platform::FileExists(DemoGame() + "voice.pak")) << "make demo-game first";
  const std::wstring folder = FreshRootFolder(L"\u30BD\u30D5\u30C8\u8868");  // ソフト表
  ASSERT_TRUE(InstallProgram(folder));
  platform::RegistryKey(kGameKey, true).WriteText("InstallDir", DemoGame());
  platform::RegistryKey(kSettingsKey, true).WriteInteger("wave", 1);
  platform::RegistryKey(kSettingsKey, true).WriteInteger("repl", 1);
  WriteWide(kExitKey, L"", L"C:\\windows\\media\\mine-exit.wav");

  RunCounter(folder + L"M2KCOUNT.EXE");
  // A new history holds start number 1; this start makes it 2.
  EXPECT_EQ(2u, StartNumber(folder + L"STARTHUB")) << "no start counted in the program's own folder";
  EXPECT_GT(FilesIn(folder + L"*.wav"), 0) << "no voice decoded into the program's own folder";
  // The exit sound is a voice of that folder, and the system's sound player can open it.
  const std::wstring exitSound = ReadWide(kExitKey, L"");
  wchar_t longForm[MAX_PATH] = {};
  GetLongPathNameW(exitSound.c_str(), longForm, MAX_PATH);
  EXPECT_EQ(0u, std::wstring(longForm).find(folder)) << sjis::Narrow(exitSound);
  EXPECT_TRUE(PlaySoundW(exitSound.c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT))
      << sjis::Narrow(exitSound);
  std::string file;
  EXPECT_TRUE(platform::RegistryKey(kSettingsKey, false).ReadText("starthubfile", file));
  EXPECT_EQ("C:\\ソフト表\\STARTHUB", file);
  RemoveRootFolder(folder);
}

// The work folder is entered by its own name, and the work files are named relative to it: a
// folder that Shift-JIS cannot write still counts. What needs its full path is left alone.
TEST_F(CodePageWine, InstalledInAFolderShiftJisCannotNameItStillCounts) {
  const std::wstring folder = FreshRootFolder(kZoe);
  ASSERT_TRUE(InstallProgram(folder));
  RunCounter(folder + L"M2KCOUNT.EXE");
  EXPECT_EQ(2u, StartNumber(folder + L"STARTHUB"));
  std::string file = "(none)";
  platform::RegistryKey(kSettingsKey, false).ReadText("starthubfile", file);
  EXPECT_EQ("(none)", file) << "a path with \"?\" in it was written";
  RemoveRootFolder(folder);
}

TEST_F(CodePageWine, AGameFolderShiftJisCannotNameIsNoGameFolder) {
  WriteWide(L"Software\\Vant\\Marivel2 KORVEN", L"InstallDir", std::wstring(L"C:\\") + kZoe + L"\\");
  std::string read = "(untouched)";
  EXPECT_FALSE(platform::RegistryKey(kGameKey, false).ReadText("InstallDir", read));
  EXPECT_EQ("(untouched)", read);
  TfrmData data;
  std::string folder;
  EXPECT_FALSE(data.FindGameFolder(folder));
  EXPECT_EQ(std::string::npos, folder.find('?')) << folder;
}

// A sound the program could not give back is not replaced: the logon sound stays, and nothing
// is kept in its place.
TEST_F(CodePageWine, ASoundShiftJisCannotNameIsLeftAsItIs) {
  const std::wstring logon = std::wstring(L"C:\\Users\\") + kZoe + L"\\hello.wav";
  const std::wstring bye = std::wstring(L"C:\\Users\\") + kZoe + L"\\bye.wav";
  WriteWide(kStartKey, L"", logon);
  WriteWide(kExitKey, L"", bye);
  platform::RegistryKey settings(kSettingsKey, true);
  settings.WriteInteger("wave", 1);
  settings.WriteInteger("repl", 1);
  TfrmData data;
  data.LoadSettings();
  data.ReplaceSystemSounds(false, nullptr);
  EXPECT_EQ(logon, ReadWide(kStartKey, L""));
  EXPECT_EQ(bye, ReadWide(kExitKey, L""));
  EXPECT_FALSE(settings.ValueExists("keptSystemStart"));
  EXPECT_FALSE(settings.ValueExists("keptSystemExit"));
}

TEST_F(CodePageWine, NamesShiftJisCannotWriteAreLeftOutOfListings) {
  const std::string parent = wine_test::FreshFolder("m2k-code-page-names");
  const std::wstring wideParent = sjis::Wide(parent);
  ASSERT_TRUE(CreateDirectoryW((wideParent + kZoe).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((wideParent + L"\u65E5\u672C").c_str(), nullptr));  // 日本
  HANDLE file = CreateFileW((wideParent + kZoe + L".tga").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);
  platform::WriteWholeFile(parent + "a.tga", "");

  std::vector<std::string> folders;
  ASSERT_TRUE(platform::SubFolders(parent, folders));
  EXPECT_EQ(std::vector<std::string>{"日本"}, folders);
  EXPECT_EQ(std::vector<std::string>{"a.tga"}, platform::FilesMatching(parent + "*.tga"));
  // Removing by pattern reaches such a file all the same: it goes by the names on disk.
  platform::RemoveMatching(parent + "*.tga");
  EXPECT_EQ(0, FilesIn(wideParent + L"*.tga"));

  RemoveDirectoryW((wideParent + kZoe).c_str());
  RemoveDirectoryW((wideParent + L"\u65E5\u672C").c_str());
  wine_test::RemoveFolder(parent);
}

}  // namespace
