#pragma once
// Helpers shared by the native tests: temporary folders, files, a probe that acts from inside
// the headless message loop, a fresh machine, and the fixture the window tests start from.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "counter/Untcount.h"
#include "data/Untdata.h"
#include "data/ogg.h"
#include "platform/native/testing.h"
#include "platform/registry.h"
#include "ui/headless/headless.h"
#include "ui/ui.h"

namespace native_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/m2k-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made) path_ = std::filesystem::canonical(made).string();
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool Made() const { return !path_.empty(); }
  // The POSIX path, without a trailing separator.
  const std::string& Posix() const { return path_; }
  // The folder as the program writes folders: with its trailing backslash.
  std::string Windows() const { return path_ + "\\"; }
  std::string Child(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

inline void MakeFile(const std::string& posixPath, const std::string& bytes = "x") {
  std::ofstream out(posixPath, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline bool Exists(const std::string& posixPath) { return std::filesystem::exists(posixPath); }

// The current folder is process-wide; a test that changes it gives it back.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard() : saved_(std::filesystem::current_path()) {}
  ~CurrentFolderGuard() {
    std::error_code ignored;
    std::filesystem::current_path(saved_, ignored);
  }
  CurrentFolderGuard(const CurrentFolderGuard&) = delete;
  CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

 private:
  std::filesystem::path saved_;
};

// A hidden form whose timer runs `action` from inside the headless message loop, the way a
// user's input would arrive while the program runs.
class Probe : public ui::Form {
 public:
  Probe(int intervalMs, std::function<void()> action) {
    Build({ui::Bind(timProbe, {.name = "timProbe", .enabled = true, .interval = intervalMs})});
    timProbe->onTimer = std::move(action);
  }
  void Stop() { timProbe->SetEnabled(false); }

 private:
  ui::Timer* timProbe = nullptr;
};

// Stores a value under the program's settings key, as an earlier settings run would have.
inline void StoreSetting(const char* name, int32_t value) {
  platform::RegistryKey key("\\Software\\Zorve\\M2K-COUNTER", true);
  key.WriteInteger(name, value);
}
inline void StoreSetting(const char* name, const std::string& value) {
  platform::RegistryKey key("\\Software\\Zorve\\M2K-COUNTER", true);
  key.WriteText(name, value);
}

// The names of the settings that differ between two records, each after a space; "" when none.
inline std::string SettingsDifferences(const CounterSettings& expected, const CounterSettings& actual) {
  std::string differences;
  for (const auto& field : kIntegerSettings)
    if (expected.*field.member != actual.*field.member) differences += std::string(" ") + field.name;
  for (const auto& field : kTextSettings)
    if (expected.*field.member != actual.*field.member) differences += std::string(" ") + field.name;
  return differences;
}

// Seconds since 1970 of a local calendar time (of the TZ in force: the tests use Tokyo's).
inline int64_t LocalSeconds(int year, int month, int day, int hour = 10, int minute = 0, int second = 1) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return static_cast<int64_t>(mktime(&local));
}

// Seconds since 1970 of a moment of Tokyo's clock, nine hours ahead of UTC all year, whatever
// zone the process is in: safe to take before any fixture has set the zone.
inline int64_t TokyoSeconds(int year, int month, int day, int hour = 10, int minute = 0, int second = 1) {
  std::tm utc{};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  utc.tm_min = minute;
  utc.tm_sec = second;
  return static_cast<int64_t>(timegm(&utc)) - 9 * 3600;
}

// The virtual clock at a local time, 300 ms into its second.
inline void SetLocalClock(int year, int month, int day, int hour, int second) {
  platform::testing::SetClockMilliseconds(LocalSeconds(year, month, day, hour, 0, second) * 1000 + 300);
}

// Back to a fresh machine: empty registry and shell, the drives unset, every file removable,
// a fresh application and headless backend, and no OGG library loaded (a failed test may leave
// one). What outlives a process stays: the files with their attributes, the virtual clock and
// the program's folder, which the tests set. The program's own data is not here: it lives in
// the data module (TfrmData) a test makes.
inline void ResetMachine() {
  platform::testing::ResetRegistry();
  platform::testing::ResetShell();
  platform::testing::ResetDrives();
  platform::testing::AllowRemovingAll();
  ui::headless::Reset();
  ui::Application::Instance().Reset();
  UnloadOggLibrary();
}

// The local time zone of a test: a fixed zone for as long as the object lives, then the
// caller's zone again. POSIX zone strings need no zone database.
class FixedZone {
 public:
  explicit FixedZone(const char* zone = "JST-9") {
    if (const char* tz = getenv("TZ")) saved_ = tz, hadZone_ = true;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~FixedZone() {
    if (hadZone_)
      setenv("TZ", saved_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  FixedZone(const FixedZone&) = delete;
  FixedZone& operator=(const FixedZone&) = delete;

 private:
  std::string saved_;
  bool hadZone_ = false;
};

// A counter run as a new process makes it: a fresh data module and its window. The earlier
// window goes first, then its data.
inline void StartCounter(std::unique_ptr<TfrmData>& run, std::unique_ptr<TfrmCount>& form) {
  form.reset();
  run = std::make_unique<TfrmData>();
  form = std::make_unique<TfrmCount>(*run);
}

// What most tests of the program's windows start from: Tokyo's time zone, a fresh machine, an
// empty work folder that is both the current folder and the program's folder, and a fresh data
// module `data` to hand to the windows. The clock is each test's own.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(work.Made());
    std::filesystem::current_path(work.Posix());
    platform::testing::SetProgramFolder(work.Windows());
  }
  // Before the members go: a main window left with the application may use `data`.
  void TearDown() override { ResetMachine(); }

  std::string File(const std::string& name) const { return work.Child(name); }

 public:  // for the helpers of parameterised cases too
  FixedZone zone;  // Tokyo's clock
  struct FreshMachine {
    FreshMachine() { ResetMachine(); }
  } machine;  // before `data`, whose form the fresh backend must not forget
  TempFolder work;
  CurrentFolderGuard guard;  // declared after `work`: the old folder is back before it goes
  TfrmData data;
};

}  // namespace native_support
