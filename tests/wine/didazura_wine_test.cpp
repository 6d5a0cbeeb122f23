// DIDAZURA.DLL against Wine's shell: the shortcut it writes, read back through the shell's own
// link object, its Japanese file name on disk, its failures, and COM on the calling thread left
// as the call found it.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <thread>

#include "platform/files.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/shell_support.h"
#include "tests/wine/sjis_calls.h"

namespace {

using CreateShortcutFunction = long(__stdcall*)(const char* link, const char* target, const char* arguments);

const char kLinkName[] = "ミルテカ起動カウンター＋(プラス).lnk";

class Didazura : public ::testing::Test {
 protected:
  void SetUp() override {
    library = sjis::LoadLibrary((wine_test::BinFolder() + "DIDAZURA.DLL").c_str());
    ASSERT_NE(nullptr, library);
    create = reinterpret_cast<CreateShortcutFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "CreateShortcut")));
    ASSERT_NE(nullptr, create);
    // Both folders have a double-byte name whose second byte is a backslash (表, 0x95 0x5C).
    linkFolder = wine_test::FreshFolder("m2k-リンク表");
    programFolder = wine_test::FreshFolder("m2k-ソフト表");
    target = programFolder + "M2KCOUNT.EXE";
    ASSERT_TRUE(sjis::CopyFile((wine_test::BinFolder() + "M2KCOUNT.EXE").c_str(), target.c_str(), FALSE));
    link = linkFolder + kLinkName;
  }
  void TearDown() override {
    wine_test::RemoveFolder(linkFolder);
    wine_test::RemoveFolder(programFolder);
    if (library) FreeLibrary(library);
  }

  HMODULE library = nullptr;
  CreateShortcutFunction create = nullptr;
  std::string linkFolder, programFolder, target, link;
};

TEST_F(Didazura, TheShellReadsBackWhatWasAskedFor) {
  // The second program's name ends in 表, whose second byte is the backslash: the last 0x5C of
  // its path is not where its folder ends.
  for (const char* name : {"M2KCOUNT.EXE", "起動表.exe"}) {
    SCOPED_TRACE(name);
    const std::string program = programFolder + name;
    ASSERT_TRUE(sjis::CopyFile((wine_test::BinFolder() + "M2KCOUNT.EXE").c_str(), program.c_str(), FALSE));
    sjis::DeleteFile(link.c_str());
    ASSERT_EQ(S_OK, create(link.c_str(), program.c_str(), "/C"));
    wine_test::Shortcut read;
    ASSERT_TRUE(wine_test::ReadShortcut(link, read));
    EXPECT_EQ(program, read.target);
    EXPECT_EQ("/C", read.arguments);
    EXPECT_EQ(programFolder.substr(0, programFolder.size() - 1), read.workingFolder);
    EXPECT_EQ(program, read.iconFile);
    EXPECT_EQ(0, read.iconIndex);
    EXPECT_EQ(SW_SHOWNORMAL, read.showCommand);
    EXPECT_FALSE(read.description.empty());
  }
}

TEST_F(Didazura, TheFileCarriesItsJapaneseName) {
  ASSERT_EQ(S_OK, create(link.c_str(), target.c_str(), "/C"));
  const std::wstring names = wine_test::WideFileNames(linkFolder);
  EXPECT_EQ(L"ミルテカ起動カウンター＋(プラス).lnk\n", names);
}

TEST_F(Didazura, AnExistingFileIsReplaced) {
  ASSERT_TRUE(platform::WriteWholeFile(link, "not a shortcut"));
  ASSERT_EQ(S_OK, create(link.c_str(), target.c_str(), "/C"));
  wine_test::Shortcut read;
  ASSERT_TRUE(wine_test::ReadShortcut(link, read));
  EXPECT_EQ(target, read.target);
}

TEST_F(Didazura, FailuresAreReportedAndWriteNothing) {
  const std::string nowhere = linkFolder + "no such folder\\" + kLinkName;
  struct Case {
    const char* what;
    const char *link, *target;
    bool invalidArgument;
  };
  const Case cases[] = {
      {"a folder that is not there", nowhere.c_str(), target.c_str(), false},
      {"no link", nullptr, target.c_str(), true},
      {"an empty link", "", target.c_str(), true},
      {"no target", link.c_str(), nullptr, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const long result = create(c.link, c.target, "/C");
    EXPECT_TRUE(FAILED(result)) << std::hex << result;
    if (c.invalidArgument) {
      EXPECT_EQ(E_INVALIDARG, result);
    }
  }
  EXPECT_FALSE(platform::FileExists(nowhere));
  EXPECT_FALSE(platform::FileExists(link));
}

// Runs the call on a thread of its own in the given COM state (-1: COM not initialised) and
// reports what initialising COM for a single-threaded apartment says afterwards.
HRESULT ComStateAfterCall(CreateShortcutFunction create, const std::string& link, const std::string& target,
                          int apartment, long& result) {
  HRESULT probe = E_FAIL;
  std::thread([&] {
    const bool initialised = apartment >= 0 && SUCCEEDED(CoInitializeEx(nullptr, static_cast<DWORD>(apartment)));
    result = create(link.c_str(), target.c_str(), "/C");
    probe = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(probe)) CoUninitialize();
    if (initialised) CoUninitialize();
  }).join();
  return probe;
}

TEST_F(Didazura, ComIsLeftAsTheCallFoundIt) {
  struct Case {
    const char* what;
    int apartment;
    HRESULT probe;  // S_OK: COM was not initialised; S_FALSE: it still is; a mode change: another apartment
  };
  const Case cases[] = {
      {"not initialised", -1, S_OK},
      {"single-threaded apartment", COINIT_APARTMENTTHREADED, S_FALSE},
      {"multi-threaded apartment", COINIT_MULTITHREADED, RPC_E_CHANGED_MODE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sjis::DeleteFile(link.c_str());
    long result = E_FAIL;
    EXPECT_EQ(c.probe, ComStateAfterCall(create, link, target, c.apartment, result));
    EXPECT_EQ(S_OK, result);
    EXPECT_TRUE(platform::FileExists(link));
  }
}

}  // namespace
