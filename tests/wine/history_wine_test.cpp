// The start history as real counter runs leave it, and the whole-file replacement it is saved
// through, against Wine's file system.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "tests/common/history_block.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/sjis_calls.h"

namespace {

using wine_test::ProgramRun;

const char kSettingsKey[] = "\\Software\\Zorve\\M2K-COUNTER";
const char kIntegrationKey[] = "\\Software\\Zorve\\STARTHUB";

uint32_t FieldAt(const std::string& bytes, size_t at) { return test_fixtures::ReadLittleEndian(bytes, at); }

std::string TempFolder(const char* name) {
  char base[MAX_PATH] = {};
  sjis::GetTempPath(MAX_PATH, base);
  const std::string folder = std::string(base) + name;
  sjis::CreateDirectory(folder.c_str(), nullptr);
  return folder + "\\";
}

std::optional<std::string> Contents(const std::string& path) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) return std::nullopt;
  return bytes;
}

void Remove(const std::string& path) {
  sjis::SetFileAttributes(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  sjis::DeleteFile(path.c_str());
  sjis::RemoveDirectory(path.c_str());
}

class HistoryRun : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    platform::RegistryKey key(kSettingsKey, true);
    key.WriteInteger("timer", 1);
    key.WriteInteger("delay", 0);
  }
  void TearDown() override { Clean(); }

  void Clean() {
    platform::DeleteRegistryTree(kSettingsKey);
    platform::DeleteRegistryTree(kIntegrationKey);
    Remove(defaultFile);
    Remove(defaultFile + ".tmp");
    Remove(sharedFile);
  }

  static void CounterRun() {
    ProgramRun run("/C");
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitExit(15000)) << "the counter did not close by itself";
  }

  static SYSTEMTIME Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now;
  }
  static bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
  }

  const std::string defaultFile = wine_test::BinFolder() + "STARTHUB";
  const std::string sharedFile = TempFolder("m2k-hub") + "shared.hub";
};

TEST_F(HistoryRun, TwoCounterRunsCountInTheProgramFolder) {
  const uint32_t before = static_cast<uint32_t>(std::time(nullptr));
  const SYSTEMTIME dayBefore = Today();
  CounterRun();
  CounterRun();
  const uint32_t after = static_cast<uint32_t>(std::time(nullptr));

  const auto history = Contents(defaultFile);
  ASSERT_TRUE(history);
  ASSERT_EQ(64u, history->size());
  EXPECT_EQ(3u, FieldAt(*history, 4));
  if (SameDay(dayBefore, Today())) {
    EXPECT_EQ(2u, FieldAt(*history, 12));
  }
  EXPECT_GE(FieldAt(*history, 0), before);  // firstStart: the first run's load
  EXPECT_LE(FieldAt(*history, 8), after);   // lastStart: the second run
  EXPECT_LE(FieldAt(*history, 0), FieldAt(*history, 8));
  EXPECT_FALSE(platform::FileExists(defaultFile + ".tmp"));
}

// Counters started together (two shortcuts, a slow logon) each count their start: none is lost
// to another's save, the file stays whole and no temporary file is left.
TEST_F(HistoryRun, EightSimultaneousStartsCountEight) {
  std::string block(64, '\0');
  block[4] = 101;  // startNumber
  ASSERT_TRUE(platform::WriteWholeFile(defaultFile, block));
  std::vector<std::unique_ptr<ProgramRun>> runs;
  for (int i = 0; i < 8; ++i) runs.push_back(std::make_unique<ProgramRun>("/C"));
  for (const auto& run : runs) {
    ASSERT_TRUE(run->Started());
    EXPECT_TRUE(run->WaitExit(40000)) << "a counter did not close by itself";
  }
  const auto history = Contents(defaultFile);
  ASSERT_TRUE(history);
  ASSERT_EQ(64u, history->size());
  EXPECT_EQ(109u, FieldAt(*history, 4)) << "starts were lost";
  EXPECT_FALSE(platform::FileExists(defaultFile + ".tmp"));
}

TEST_F(HistoryRun, CountsWhileAnotherProgramHoldsTheFileOpen) {
  CounterRun();
  const auto before = Contents(defaultFile);
  ASSERT_TRUE(before);
  // As the integrated environment may hold it: reading and writing, shared for reading and
  // writing but not for deleting, so the file cannot be replaced, only rewritten.
  HANDLE held = sjis::CreateFile(defaultFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  CounterRun();
  CloseHandle(held);

  const auto after = Contents(defaultFile);
  ASSERT_TRUE(after);
  ASSERT_EQ(64u, after->size());
  EXPECT_EQ(FieldAt(*before, 4) + 1, FieldAt(*after, 4));
  EXPECT_FALSE(platform::FileExists(defaultFile + ".tmp"));
}

TEST_F(HistoryRun, IntegratedEnvironmentKeepsTheHistoryInItsOwnFile) {
  const std::string seeded =
      test_fixtures::EncodeHistory({.startNumber = 41, .reserved = test_fixtures::ForeignReserved()});
  ASSERT_TRUE(platform::WriteWholeFile(sharedFile, seeded));
  {
    platform::RegistryKey key(kIntegrationKey, true);
    ASSERT_TRUE(key.WriteInteger("integrate", 1));
    ASSERT_TRUE(key.WriteText("starthubfile", sharedFile));
  }
  CounterRun();

  const auto history = Contents(sharedFile);
  ASSERT_TRUE(history);
  ASSERT_EQ(64u, history->size());
  EXPECT_EQ(42u, FieldAt(*history, 4));
  EXPECT_EQ(seeded.substr(20), history->substr(20));
  EXPECT_FALSE(platform::FileExists(defaultFile));
}

class ReplaceWholeFileWine : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  void Clean() {
    Remove(target);
    Remove(target + ".tmp");
  }

  const std::string folder = TempFolder("m2k-replace");
  const std::string target = folder + "hub";
};

TEST_F(ReplaceWholeFileWine, WritesTheWholeContentAndLeavesNoTemporaryFile) {
  struct Case {
    const char* what;
    std::optional<std::string> before;
    std::string bytes;
  };
  const Case cases[] = {
      {"missing file", std::nullopt, "new content"},
      {"longer file", std::string(300, 'o'), "short"},
      {"shorter file", std::string("ab"), std::string(100, '\0') + "tail"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clean();
    if (c.before) {
      ASSERT_TRUE(platform::WriteWholeFile(target, *c.before));
    }
    EXPECT_TRUE(platform::ReplaceWholeFile(target, c.bytes));
    EXPECT_EQ(c.bytes, Contents(target));
    EXPECT_FALSE(platform::FileExists(target + ".tmp"));
    EXPECT_FALSE(platform::IsHidden(target));
  }
}

TEST_F(ReplaceWholeFileWine, HiddenFileStaysHidden) {
  ASSERT_TRUE(platform::WriteWholeFile(target, "old"));
  ASSERT_TRUE(platform::SetHidden(target, true));
  EXPECT_TRUE(platform::ReplaceWholeFile(target, "new"));
  EXPECT_EQ("new", Contents(target));
  EXPECT_TRUE(platform::IsHidden(target));
  EXPECT_FALSE(platform::FileExists(target + ".tmp"));
}

TEST_F(ReplaceWholeFileWine, FailureLeavesTheTargetAsItWasAndNoTemporaryFile) {
  struct Case {
    const char* what;
    std::string path;
    std::function<void()> prepare;
  };
  const Case cases[] = {
      {"folder missing", folder + "missing\\hub", [] {}},
      {"read-only file",
       target,
       [this] {
         platform::WriteWholeFile(target, "old");
         sjis::SetFileAttributes(target.c_str(), FILE_ATTRIBUTE_READONLY);
       }},
      {"temporary name taken by a folder and no file to rewrite",
       target,
       [this] { platform::MakeFolder(target + ".tmp"); }},
      {"target is a folder", target, [this] { platform::MakeFolder(target); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clean();
    c.prepare();
    const auto before = Contents(target);
    const DWORD attributes = sjis::GetFileAttributes(target.c_str());

    EXPECT_FALSE(platform::ReplaceWholeFile(c.path, "new"));

    EXPECT_EQ(before, Contents(target));
    EXPECT_EQ(attributes, sjis::GetFileAttributes(target.c_str()));
    EXPECT_FALSE(platform::FileExists(c.path + ".tmp"));
    EXPECT_FALSE(platform::FolderExists(folder + "missing"));
  }
}

TEST_F(ReplaceWholeFileWine, WhereTheFileCannotBeReplacedItIsRewrittenInPlace) {
  for (const bool heldOpen : {false, true}) {
    SCOPED_TRACE(heldOpen ? "held open without delete sharing" : "temporary name taken by a folder");
    Clean();
    ASSERT_TRUE(platform::WriteWholeFile(target, std::string(300, 'o')));
    ASSERT_TRUE(platform::SetHidden(target, true));
    HANDLE held = INVALID_HANDLE_VALUE;
    if (heldOpen) {
      held = sjis::CreateFile(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(INVALID_HANDLE_VALUE, held);
    } else {
      ASSERT_TRUE(platform::MakeFolder(target + ".tmp"));
    }

    EXPECT_TRUE(platform::ReplaceWholeFile(target, "new"));

    if (heldOpen) CloseHandle(held);
    EXPECT_EQ("new", Contents(target));
    EXPECT_TRUE(platform::IsHidden(target));
    EXPECT_FALSE(platform::FileExists(target + ".tmp"));
  }
}

}  // namespace
