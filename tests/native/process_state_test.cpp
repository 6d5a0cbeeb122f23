// ResetProcessState brings every process-wide value of the program back to what a fresh
// process of the test program holds, as recorded before any test ran: a value it forgets
// leaks from one test into the next and makes results depend on the order tests run in.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/native/native_support.h"
#include "tools/lzss/lzss_encode.h"

namespace {

// Every process-wide value, written out so that two states compare as text.
std::string ProcessState() {
  std::ostringstream out;
  const CounterSettings& s = counterSettings;
  out << "settings " << s.char0 << ' ' << s.char1 << ' ' << s.timer << ' ' << s.delay << ' ' << s.name << ' '
      << s.rand << ' ' << s.wave << ' ' << s.repl << ' ' << s.form << " [" << s.name1a << "][" << s.name1b << "]["
      << s.name2a << "][" << s.name2b << "][" << s.name3 << "][" << s.usewave << "][" << s.dirwave << "]\n";
  out << "history";
  const auto* history = reinterpret_cast<const unsigned char*>(&startHistory);
  for (size_t i = 0; i < sizeof startHistory; ++i) out << ' ' << int{history[i]};
  out << "\nchips " << ChipState[0].variant << ' ' << ChipState[0].pose << ' ' << ChipState[1].variant << ' '
      << ChipState[1].pose << '\n';
  out << "run " << voiceStep << ' ' << preferNamelessVoice << ' ' << startTime << ' ' << chosenLine << ' '
      << startTm.tm_year << ' ' << startTm.tm_mon << ' ' << startTm.tm_mday << ' ' << startTm.tm_hour << ' '
      << startTm.tm_min << ' ' << startTm.tm_sec << ' ' << startTm.tm_wday << ' ' << startTm.tm_yday << '\n';
  uint8_t tail[18];
  lzss_testing::PersistentTail(tail);
  out << "lzss window";
  for (uint8_t b : tail) out << ' ' << int{b};
  // Without a loaded library the binding refuses to decode.
  out << "\nogg library loaded " << (DecodeOggFile("absent.ogg", "absent.wav") != -1) << '\n';
  return out.str();
}

std::string& FreshState() {
  static std::string state;
  return state;
}

// Taken once the program's globals are built and before the first test runs.
class RecordFreshState : public ::testing::Environment {
 public:
  void SetUp() override { FreshState() = ProcessState(); }
};

[[maybe_unused]] ::testing::Environment* const recorder = ::testing::AddGlobalTestEnvironment(new RecordFreshState);

void ChangeEveryValue() {
  counterSettings.char0 = 7;
  counterSettings.char1 = 8;
  counterSettings.timer = 9;
  counterSettings.delay = 3;
  counterSettings.name = 2;
  counterSettings.rand = 1;
  counterSettings.wave = 1;
  counterSettings.repl = 1;
  counterSettings.form = 1;
  counterSettings.name1a = counterSettings.name1b = counterSettings.name2a = "n";
  counterSettings.name2b = counterSettings.name3 = "m";
  counterSettings.usewave = "0000000000";
  counterSettings.dirwave = "C:\\Game\\";
  std::memset(&startHistory, 0xA5, sizeof startHistory);
  ChipState[0] = {2, 5};
  ChipState[1] = {1, 3};
  voiceStep = 4;
  preferNamelessVoice = true;
  startTime = 1800000000;
  startTm.tm_year = 127;
  startTm.tm_mday = 25;
  startTm.tm_hour = 10;
  chosenLine = 12;
  // A decode leaves its last bytes in the part of the window kept for the next call.
  const std::string packed = LzssPackEntry(std::string(40, 'q')).substr(8);
  uint8_t out[64];
  LzssDecode(out, reinterpret_cast<const uint8_t*>(packed.data()), static_cast<int32_t>(packed.size()), 64);
  // The binding loads the library from the current folder.
  std::filesystem::copy_file(M2K_OGOG_LIBRARY, "ogog.dll");
  ASSERT_EQ(0, LoadOggLibrary());
}

TEST(ProcessState, ResetGivesEveryValueItsFreshProcessValue) {
  ASSERT_FALSE(FreshState().empty());
  native_support::TempFolder work;
  ASSERT_TRUE(work.Made());
  native_support::CurrentFolderGuard guard;
  std::filesystem::current_path(work.Posix());
  ChangeEveryValue();
  if (HasFatalFailure()) return;
  ASSERT_NE(FreshState(), ProcessState()) << "the test changes nothing";
  native_support::ResetProcessState();
  EXPECT_EQ(FreshState(), ProcessState());
}

}  // namespace
