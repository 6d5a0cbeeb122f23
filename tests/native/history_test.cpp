// The start history store of TfrmData and the whole-file replacement it saves through.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "counter/Untcount.h"
#include "data/Untdata.h"
#include "data/history.h"
#include "platform/files.h"
#include "platform/native/testing.h"
#include "platform/registry.h"
#include "tests/common/history_block.h"
#include "tests/native/native_support.h"

namespace {

using native_support::CurrentFolderGuard;
using native_support::TempFolder;

const char kIntegrationKey[] = "\\Software\\Zorve\\STARTHUB";
const char kProgramKey[] = "\\Software\\Zorve\\M2K-COUNTER";

// The block as the file holds it (tests/common/history_block.h).
using Block = test_fixtures::HistoryBlock;
Block Decode(const std::string& bytes) { return test_fixtures::DecodeHistory(bytes); }
std::string Encode(const Block& b) { return test_fixtures::EncodeHistory(b); }

std::string InMemory(const StartHistory& history) {
  return std::string(reinterpret_cast<const char*>(&history), sizeof history);
}

void PutInMemory(StartHistory& history, const Block& b) {
  const std::string bytes = Encode(b);
  std::memcpy(&history, bytes.data(), sizeof history);
}

std::string NonZeroReserved() { return test_fixtures::ForeignReserved(); }

// A block unlike a new one in every field.
Block Recorded() {
  Block b;
  b.firstStart = 1700000000;
  b.startNumber = 77;
  b.lastStart = 1790000000;
  b.startsOnLastDay = 3;
  b.maxStartsPerDay = 9;
  b.reserved = NonZeroReserved();
  return b;
}

void ExpectBlock(const Block& expected, const Block& actual) {
  EXPECT_EQ(expected.firstStart, actual.firstStart);
  EXPECT_EQ(expected.startNumber, actual.startNumber);
  EXPECT_EQ(expected.lastStart, actual.lastStart);
  EXPECT_EQ(expected.startsOnLastDay, actual.startsOnLastDay);
  EXPECT_EQ(expected.maxStartsPerDay, actual.maxStartsPerDay);
  EXPECT_EQ(expected.reserved, actual.reserved);
}

std::optional<std::string> FileBytes(const std::string& posixPath) {
  std::ifstream in(posixPath, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// The names in a folder: what a save leaves behind besides the file it saves.
std::set<std::string> Entries(const TempFolder& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Posix()))
    names.insert(entry.path().filename().string());
  return names;
}

// A moment on the local clock (the fixture's time zone).
platform::CTime LocalMoment(int year, int month, int day, int hour, int minute) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  return static_cast<platform::CTime>(std::mktime(&local));
}

std::tm LocalFields(platform::CTime time) {
  const std::time_t wide = time;
  std::tm local{};
  localtime_r(&wide, &local);
  return local;
}

// A fresh process in an empty work folder, in Tokyo, at a known moment.
class StartHistoryStore : public native_support::ProgramTest {
 protected:
  static constexpr platform::CTime kNow = 1796083200;  // 2026-12-01 09:00 in Tokyo

  void SetUp() override {
    ProgramTest::SetUp();
    platform::testing::SetClockMilliseconds(int64_t{kNow} * 1000 + 600);
    std::memset(&data.startHistory, 0x5A, sizeof data.startHistory);  // what an earlier run left
  }
  void StoreHistory(const std::string& bytes, const std::string& name = "STARTHUB") const {
    native_support::MakeFile(File(name), bytes);
  }
  std::optional<std::string> StoredHistory(const std::string& name = "STARTHUB") const {
    return FileBytes(File(name));
  }
  void RecordAt(platform::CTime time) { data.RecordStart(time, LocalFields(time)); }

};

// ---- loading ----

TEST_F(StartHistoryStore, WithoutAFileTheBlockIsNewAndStartsNow) {
  data.LoadStartHistory();
  Block fresh;
  fresh.firstStart = kNow;
  fresh.startNumber = 1;
  ExpectBlock(fresh, Decode(InMemory(data.startHistory)));
  EXPECT_FALSE(native_support::Exists(File("STARTHUB"))) << "loading writes nothing";
}

TEST_F(StartHistoryStore, FileSizeDecidesWhetherTheBlockIsTakenAndTheSaveLeavesSixtyFourBytes) {
  struct Case {
    size_t size;
    bool taken;
  };
  const Case cases[] = {{0, false}, {63, false}, {64, true}, {100, true}};
  const std::string block = Encode(Recorded());
  const std::string trailer(36, '\x7E');
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    StoreHistory((block + trailer).substr(0, c.size));
    data.LoadStartHistory();
    EXPECT_EQ(c.taken ? Recorded().startNumber : 1u, data.startHistory.startNumber);
    EXPECT_EQ(c.taken ? Recorded().firstStart : kNow, data.startHistory.firstStart);

    RecordAt(kNow);
    data.SaveStartHistory();
    const auto saved = StoredHistory();
    ASSERT_TRUE(saved);
    EXPECT_EQ(64u, saved->size());
    EXPECT_EQ(c.taken ? Recorded().startNumber + 1 : 2u, Decode(*saved).startNumber);
  }
}

TEST_F(StartHistoryStore, TheFileIsTakenUncheckedAndSavedBackFieldForField) {
  Block odd = Recorded();
  odd.firstStart = -12345;
  odd.startNumber = 0xFFFFFFFF;
  odd.startsOnLastDay = 0x80000001;
  StoreHistory(Encode(odd));
  data.LoadStartHistory();
  ExpectBlock(odd, Decode(InMemory(data.startHistory)));
  data.SaveStartHistory();
  EXPECT_EQ(Encode(odd), StoredHistory());
}

TEST_F(StartHistoryStore, ReservedBytesAndFirstStartSurviveACountedStart) {
  const Block before = Recorded();
  StoreHistory(Encode(before));
  data.LoadStartHistory();
  RecordAt(kNow);
  data.SaveStartHistory();

  const Block after = Decode(*StoredHistory());
  EXPECT_EQ(before.reserved, after.reserved);
  EXPECT_EQ(before.firstStart, after.firstStart);
  EXPECT_EQ(before.startNumber + 1, after.startNumber);
  EXPECT_EQ(kNow, after.lastStart);
}

// ---- counting a start ----

TEST_F(StartHistoryStore, FreshInstallationWalkThrough) {
  data.LoadStartHistory();
  EXPECT_EQ(1u, data.startHistory.startNumber);
  EXPECT_EQ(0, data.startHistory.lastStart);
  const platform::CTime first = kNow + 30;
  RecordAt(first);
  data.SaveStartHistory();
  Block expected;
  expected.firstStart = kNow;  // the moment of the load, not of the start
  expected.startNumber = 2;
  expected.lastStart = first;
  expected.startsOnLastDay = 1;
  expected.maxStartsPerDay = 1;
  ExpectBlock(expected, Decode(*StoredHistory()));

  const platform::CTime second = first + 5 * 3600;
  platform::testing::SetClockMilliseconds(int64_t{second} * 1000);
  data.LoadStartHistory();
  EXPECT_EQ(2u, data.startHistory.startNumber);
  EXPECT_EQ(first, data.startHistory.lastStart);
  RecordAt(second);
  data.SaveStartHistory();
  expected.startNumber = 3;
  expected.lastStart = second;
  expected.startsOnLastDay = 2;
  expected.maxStartsPerDay = 2;
  ExpectBlock(expected, Decode(*StoredHistory()));
}

TEST_F(StartHistoryStore, StartsCountTogetherOnlyOnTheSameLocalCalendarDay) {
  struct Case {
    const char* what;
    platform::CTime last;
    platform::CTime now;
    uint32_t startsOnLastDay;
  };
  // Tokyo is nine hours ahead of UTC: the local day and the UTC day split differently.
  const Case cases[] = {
      {"23:59 then 00:01", LocalMoment(2027, 3, 1, 23, 59), LocalMoment(2027, 3, 2, 0, 1), 1},
      {"00:01 then 23:59", LocalMoment(2027, 3, 2, 0, 1), LocalMoment(2027, 3, 2, 23, 59), 5},
      {"08:00 then 10:00, across the UTC midnight", LocalMoment(2027, 3, 2, 8, 0),
       LocalMoment(2027, 3, 2, 10, 0), 5},
      {"same day of month, next month", LocalMoment(2027, 3, 2, 12, 0),
       LocalMoment(2027, 4, 2, 12, 0), 1},
      {"same day and month, next year", LocalMoment(2027, 3, 2, 12, 0),
       LocalMoment(2028, 3, 2, 12, 0), 1},
      // 0 is 1970-01-01 09:00 in Tokyo: on the same local day, yet it means no earlier start.
      {"no earlier start", 0, LocalMoment(1970, 1, 1, 12, 0), 1},
      {"negative: no earlier start", -1800, LocalMoment(1970, 1, 1, 12, 0), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Block before = Recorded();
    before.lastStart = c.last;
    before.startsOnLastDay = 4;
    PutInMemory(data.startHistory, before);
    RecordAt(c.now);
    EXPECT_EQ(c.startsOnLastDay, data.startHistory.startsOnLastDay);
    EXPECT_EQ(c.now, data.startHistory.lastStart);
    EXPECT_EQ(before.startNumber + 1, data.startHistory.startNumber);
  }
}

TEST_F(StartHistoryStore, MaximumOnlyGrowsComparedWithoutSign) {
  struct Case {
    uint32_t startsOnLastDay;
    uint32_t maxBefore;
    bool sameDay;
    uint32_t maxAfter;
  };
  const Case cases[] = {
      {4, 9, true, 9},                  // fewer than the best day
      {9, 9, true, 10},                 // a new best day
      {8, 9, false, 9},                 // a new day starts at 1
      {0, 0, false, 1},                 // the first start
      {0x7FFFFFFF, 9, true, 0x80000000},  // beyond the signed range still counts as more
      {5, 0xFFFFFFFF, false, 0xFFFFFFFF},  // a huge maximum stays
  };
  const platform::CTime earlier = LocalMoment(2027, 6, 10, 7, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.startsOnLastDay << " on the day, best " << c.maxBefore);
    Block before = Recorded();
    before.lastStart = earlier;
    before.startsOnLastDay = c.startsOnLastDay;
    before.maxStartsPerDay = c.maxBefore;
    PutInMemory(data.startHistory, before);
    RecordAt(c.sameDay ? earlier + 3600 : earlier + 86400);
    EXPECT_EQ(c.maxAfter, data.startHistory.maxStartsPerDay);
  }
}

// ---- the integrated counter environment ----

struct IntegrationCase {
  const char* what;
  std::function<void(platform::RegistryKey&)> fill;  // null: no key at all
  bool shared;                                        // the shared file is used
};

const char kSharedFile[] = "D:\\Zorve\\共有\\HUB.DAT";

const IntegrationCase kIntegrationCases[] = {
    {"no key", nullptr, false},
    {"empty key", [](platform::RegistryKey&) {}, false},
    {"integrate 1 with starthubfile",
     [](platform::RegistryKey& k) {
       k.WriteInteger("integrate", 1);
       k.WriteText("starthubfile", kSharedFile);
     },
     true},
    {"integrate 1 without starthubfile",
     [](platform::RegistryKey& k) { k.WriteInteger("integrate", 1); }, false},
    {"integrate 0 with starthubfile",
     [](platform::RegistryKey& k) {
       k.WriteInteger("integrate", 0);
       k.WriteText("starthubfile", kSharedFile);
     },
     false},
    {"integrate 2 with starthubfile",
     [](platform::RegistryKey& k) {
       k.WriteInteger("integrate", 2);
       k.WriteText("starthubfile", kSharedFile);
     },
     false},
    {"starthubfile without integrate",
     [](platform::RegistryKey& k) { k.WriteText("starthubfile", kSharedFile); }, false},
    {"integrate as text \"1\"",
     [](platform::RegistryKey& k) {
       k.WriteText("integrate", "1");
       k.WriteText("starthubfile", kSharedFile);
     },
     false},
    {"starthubfile as an integer",
     [](platform::RegistryKey& k) {
       k.WriteInteger("integrate", 1);
       k.WriteInteger("starthubfile", 7);
     },
     false},
};

void MakeIntegrationKey(const IntegrationCase& c) {
  if (!c.fill) return;
  platform::RegistryKey key(kIntegrationKey, true);
  c.fill(key);
}

TEST_F(StartHistoryStore, IntegrationKeyDecidesTheHistoryFile) {
  for (const IntegrationCase& c : kIntegrationCases) {
    SCOPED_TRACE(c.what);
    platform::testing::ResetRegistry();
    MakeIntegrationKey(c);
    EXPECT_EQ(c.shared ? kSharedFile : "STARTHUB", data.StartHistoryPath());
  }
}

TEST_F(StartHistoryStore, NoOperationCreatesOrChangesTheIntegrationKey) {
  for (const IntegrationCase& c : kIntegrationCases) {
    SCOPED_TRACE(c.what);
    platform::testing::ResetRegistry();
    MakeIntegrationKey(c);
    const int values = platform::testing::ValueCount(kIntegrationKey);
    data.StartHistoryPath();
    data.LoadStartHistory();
    RecordAt(kNow);
    data.SaveStartHistory();
    data.FirstSetupPending();
    EXPECT_EQ(c.fill != nullptr, platform::testing::KeyExists(kIntegrationKey));
    EXPECT_EQ(values, platform::testing::ValueCount(kIntegrationKey));
  }
  EXPECT_FALSE(platform::testing::KeyExists(kProgramKey)) << "nor the program's own key";
}

TEST_F(StartHistoryStore, KeysTheUserMayOnlyReadAreRead) {
  {
    platform::RegistryKey key(kIntegrationKey, true);
    key.WriteInteger("integrate", 1);
    key.WriteText("starthubfile", kSharedFile);
  }
  platform::testing::DenyWriting(kIntegrationKey);
  EXPECT_EQ(kSharedFile, data.StartHistoryPath());
  EXPECT_FALSE(data.FirstSetupPending());

  platform::testing::ResetRegistry();
  {
    platform::RegistryKey key(kProgramKey, true);
    key.WriteInteger("char0", 0);
  }
  platform::testing::DenyWriting(kProgramKey);
  EXPECT_FALSE(data.FirstSetupPending()) << "the settings were saved once";
}

TEST_F(StartHistoryStore, IntegratedHistoryIsLoadedAndSavedInTheSharedFile) {
  const std::string shared = work.Windows() + "shared.hub";
  {
    platform::RegistryKey key(kIntegrationKey, true);
    key.WriteInteger("integrate", 1);
    key.WriteText("starthubfile", shared);
  }
  StoreHistory(Encode(Recorded()), "shared.hub");
  data.LoadStartHistory();
  EXPECT_EQ(Recorded().startNumber, data.startHistory.startNumber);
  RecordAt(kNow);
  data.SaveStartHistory();
  EXPECT_EQ(Recorded().startNumber + 1, Decode(*StoredHistory("shared.hub")).startNumber);
  EXPECT_FALSE(native_support::Exists(File("STARTHUB")));
}

TEST_F(StartHistoryStore, FirstSetupIsPendingUntilSettingsAreSavedOrTheEnvironmentTookUsIn) {
  enum Settings { NoSettingsKey, WithoutChar0, WithChar0 };
  enum Integrate { NoHubKey, One, Zero, TextOne, NoValue };
  struct Case {
    Settings settings;
    Integrate integrate;
    bool pending;
  };
  const Case cases[] = {
      {NoSettingsKey, NoHubKey, true}, {NoSettingsKey, One, false},
      {NoSettingsKey, Zero, true},     {NoSettingsKey, TextOne, true},
      {NoSettingsKey, NoValue, true},  {WithoutChar0, NoHubKey, true},
      {WithoutChar0, One, false},      {WithoutChar0, Zero, true},
      {WithoutChar0, TextOne, true},   {WithoutChar0, NoValue, true},
      {WithChar0, NoHubKey, false},    {WithChar0, One, false},
      {WithChar0, Zero, false},        {WithChar0, TextOne, false},
      {WithChar0, NoValue, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "settings " << c.settings << ", STARTHUB " << c.integrate);
    platform::testing::ResetRegistry();
    if (c.settings != NoSettingsKey) {
      platform::RegistryKey key(kProgramKey, true);
      key.WriteInteger("timer", 3);
      if (c.settings == WithChar0) key.WriteInteger("char0", 0);
    }
    if (c.integrate != NoHubKey) {
      platform::RegistryKey key(kIntegrationKey, true);
      if (c.integrate == One) key.WriteInteger("integrate", 1);
      if (c.integrate == Zero) key.WriteInteger("integrate", 0);
      if (c.integrate == TextOne) key.WriteText("integrate", "1");
    }
    EXPECT_EQ(c.pending, data.FirstSetupPending());
    EXPECT_EQ(c.settings != NoSettingsKey, platform::testing::KeyExists(kProgramKey));
    EXPECT_EQ(c.integrate != NoHubKey, platform::testing::KeyExists(kIntegrationKey));
  }
}

// ---- saving safely ----

// Runs `action` in a child process that is traced and killed with SIGKILL at its `stop`-th
// system-call stop (each call stops once on entry and once on exit). Returns true when the
// child finished before reaching that stop, nothing when the child could not be traced.
constexpr int kTracingRefused = 97;

std::optional<bool> RunKilledAtStop(int stop, const std::function<void()>& action) {
  const pid_t child = fork();
  if (child == 0) {
    if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(kTracingRefused);
    raise(SIGSTOP);
    action();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);  // stopped by its own SIGSTOP, before the action
  if (!WIFSTOPPED(status)) return std::nullopt;
  if (ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_EXITKILL) != 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return std::nullopt;
  }
  for (int seen = 0;; ++seen) {
    if (seen == stop) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return false;
    }
    ptrace(PTRACE_SYSCALL, child, nullptr, nullptr);
    waitpid(child, &status, 0);
    if (WIFEXITED(status) || WIFSIGNALED(status)) return true;
  }
}

constexpr char kNoTemporaryName[] =
    "the save's temporary file could not be seen: it is learnt by stopping saves through ptrace, "
    "which this machine may not allow (a container without CAP_SYS_PTRACE, a seccomp filter, or "
    "kernel.yama.ptrace_scope = 3)";

// Where a save puts the new content before it takes the file's place: the saver's own
// business, learnt here from saves killed midway, only to put a folder in its way.
std::string TemporaryNameBeside(const std::string& target) {
  TempFolder probe;
  if (!probe.Made()) return "";
  for (int stop = 0; stop < 1000; ++stop) {
    native_support::MakeFile(probe.Child(target), "old");
    const std::optional<bool> traced =
        RunKilledAtStop(stop, [&] { platform::ReplaceWholeFile(probe.Windows() + target, "new"); });
    if (!traced) return "";  // no tracing here: the caller says so
    const bool finished = *traced;
    for (const std::string& name : Entries(probe))
      if (name != target) return name;
    if (finished) break;
  }
  return "";
}

TEST_F(StartHistoryStore, SaveKilledAtAnyPointLeavesTheOldBlockOrTheNew) {
  Block old = Recorded();
  Block next = Recorded();
  next.startNumber += 1;
  next.lastStart += 86400;
  next.startsOnLastDay = 1;
  const std::string oldBytes = Encode(old);
  const std::string newBytes = Encode(next);

  bool sawOld = false, sawNew = false;
  int killed = 0;
  for (int stop = 0; stop < 1000; ++stop) {
    StoreHistory(oldBytes);  // a temporary file a killed save left behind stays
    PutInMemory(data.startHistory, next);
    const std::optional<bool> traced = RunKilledAtStop(stop, [this] { data.SaveStartHistory(); });
    ASSERT_TRUE(traced.has_value())
        << "this test stops a save at every system call through ptrace, which this machine does not "
           "allow (a container without CAP_SYS_PTRACE, a seccomp filter, or kernel.yama.ptrace_scope = 3); "
           "run the native tests where a process may trace its own child";
    const bool finished = *traced;

    const std::string found = StoredHistory().value_or("<no file>");
    data.LoadStartHistory();
    const std::string loaded = InMemory(data.startHistory);
    SCOPED_TRACE(::testing::Message() << "killed at stop " << stop << ", file of "
                                      << found.size() << " bytes");
    EXPECT_TRUE(found == oldBytes || found == newBytes);
    EXPECT_EQ(found, loaded);
    sawOld |= found == oldBytes;
    sawNew |= found == newBytes;
    if (finished) {
      EXPECT_EQ(newBytes, found);
      break;
    }
    ++killed;
  }
  // Kills before and after the replacement: the interruptions really fell inside the save.
  EXPECT_TRUE(sawOld);
  EXPECT_TRUE(sawNew);
  RecordProperty("interruption_points", killed);
}

// Runs `action` in a child process, so that limits it sets do not reach the tests.
void RunInChild(const std::function<void()>& action) {
  const pid_t child = fork();
  if (child == 0) {
    action();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
}

TEST_F(StartHistoryStore, FailedSaveKeepsTheOldHistoryAndLeavesNoTemporaryFile) {
  struct Case {
    const char* what;
    std::function<void()> inject;
  };
  const Case cases[] = {
      {"disk full after ten bytes",
       [] {
         signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails instead of killing
         const rlimit limit{10, 10};
         setrlimit(RLIMIT_FSIZE, &limit);
       }},
  };
  const std::string oldBytes = Encode(Recorded());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const std::string& name : Entries(work)) std::filesystem::remove_all(File(name));
    StoreHistory(oldBytes);
    data.LoadStartHistory();
    RecordAt(kNow);
    RunInChild([&] {
      c.inject();
      data.SaveStartHistory();
    });
    EXPECT_EQ(oldBytes, StoredHistory());
    EXPECT_EQ(std::set<std::string>{"STARTHUB"}, Entries(work));
  }
}

TEST_F(StartHistoryStore, WhereNoTemporaryFileCanBeMadeTheFileIsRewrittenInPlace) {
  StoreHistory(Encode(Recorded()));
  const std::string temporary = TemporaryNameBeside("STARTHUB");
  ASSERT_FALSE(temporary.empty()) << kNoTemporaryName;
  ASSERT_TRUE(platform::MakeFolder(temporary));
  data.LoadStartHistory();
  RecordAt(kNow);
  data.SaveStartHistory();
  const auto saved = StoredHistory();
  ASSERT_TRUE(saved);
  EXPECT_EQ(InMemory(data.startHistory), *saved);
  EXPECT_EQ(Recorded().startNumber + 1, Decode(*saved).startNumber);
  EXPECT_TRUE(std::filesystem::is_directory(File(temporary))) << "the folder is not ours";
}

TEST_F(StartHistoryStore, SharedFileInAMissingFolderIsSkippedSilently) {
  {
    platform::RegistryKey key(kIntegrationKey, true);
    key.WriteInteger("integrate", 1);
    key.WriteText("starthubfile", work.Windows() + "gone\\STARTHUB");
  }
  data.LoadStartHistory();
  RecordAt(kNow);
  data.SaveStartHistory();
  EXPECT_FALSE(native_support::Exists(File("gone")));
  EXPECT_FALSE(native_support::Exists(File("STARTHUB")));
}

// ---- ReplaceWholeFile ----

class ReplaceWholeFileNative : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(work.Made()); }
  std::string Path(const std::string& name) const { return work.Windows() + name; }
  TempFolder work;
};

TEST_F(ReplaceWholeFileNative, WritesTheWholeContentAndLeavesNoTemporaryFile) {
  struct Case {
    const char* what;
    std::optional<std::string> before;
    std::string bytes;
  };
  const Case cases[] = {
      {"missing file", std::nullopt, "new content"},
      {"longer file", std::string(300, 'o'), "short"},
      {"shorter file", std::string("ab"), std::string(100, '\0') + "tail"},
      {"emptied", std::string("something"), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(work.Child("target"));
    if (c.before) native_support::MakeFile(work.Child("target"), *c.before);
    EXPECT_TRUE(platform::ReplaceWholeFile(Path("target"), c.bytes));
    EXPECT_EQ(c.bytes, FileBytes(work.Child("target")));
    EXPECT_EQ(std::set<std::string>{"target"}, Entries(work));
  }
}

TEST_F(ReplaceWholeFileNative, FailureLeavesTheTargetAsItWasAndNoTemporaryFile) {
  struct Case {
    const char* what;
    std::function<void(const TempFolder&)> prepare;
    std::string target;
  };
  const std::string temporary = TemporaryNameBeside("hub");
  ASSERT_FALSE(temporary.empty()) << kNoTemporaryName;
  const Case cases[] = {
      {"temporary name taken by a folder and no file to rewrite",
       [&](const TempFolder& w) { std::filesystem::create_directory(w.Child(temporary)); }, "hub"},
      {"target is a folder",
       [](const TempFolder& w) { std::filesystem::create_directory(w.Child("hub")); }, "hub"},
      {"folder missing", [](const TempFolder&) {}, "missing\\hub"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder fresh;
    ASSERT_TRUE(fresh.Made());
    c.prepare(fresh);
    const auto before = FileBytes(fresh.Child("hub"));
    const bool wasFolder = std::filesystem::is_directory(fresh.Child("hub"));
    const std::set<std::string> entries = Entries(fresh);

    EXPECT_FALSE(platform::ReplaceWholeFile(fresh.Windows() + c.target, "new"));

    EXPECT_EQ(before, FileBytes(fresh.Child("hub")));
    EXPECT_EQ(wasFolder, std::filesystem::is_directory(fresh.Child("hub")));
    EXPECT_EQ(entries, Entries(fresh)) << "nothing made, nothing removed";
  }
}

TEST_F(ReplaceWholeFileNative, WithoutATemporaryFileAnExistingFileIsRewrittenInPlace) {
  const std::string temporary = TemporaryNameBeside("hub");
  ASSERT_FALSE(temporary.empty()) << kNoTemporaryName;
  for (const std::string& before : {std::string(300, 'o'), std::string("ab")}) {
    SCOPED_TRACE(before);
    TempFolder fresh;
    ASSERT_TRUE(fresh.Made());
    native_support::MakeFile(fresh.Child("hub"), before);
    std::filesystem::create_directory(fresh.Child(temporary));
    EXPECT_TRUE(platform::ReplaceWholeFile(fresh.Windows() + "hub", "new content"));
    EXPECT_EQ("new content", FileBytes(fresh.Child("hub")));
    EXPECT_TRUE(std::filesystem::is_directory(fresh.Child(temporary)));
  }
}

// ---- a whole counter run ----

TEST_F(StartHistoryStore, TwoCounterRunsLeaveTheThirdStartNumber) {
  for (int run = 0; run < 2; ++run) {
    ui::headless::Reset();
    ui::Application::Instance().Reset();
    platform::testing::SetClockMilliseconds((int64_t{kNow} + run * 600) * 1000);
    TfrmData process;  // each run a process of its own
    TfrmCount form(process);
  }
  const auto saved = StoredHistory();
  ASSERT_TRUE(saved);
  EXPECT_EQ(64u, saved->size());
  const Block history = Decode(*saved);
  EXPECT_EQ(3u, history.startNumber);
  EXPECT_EQ(2u, history.startsOnLastDay);
  EXPECT_EQ(kNow, history.firstStart);
  EXPECT_EQ(kNow + 600, history.lastStart);
}

}  // namespace
