// The program's data lives in its data module and a counter run's state in its window: a run
// that changes every value leaves a data module and a window made after it as fresh as those
// of a new process. A value kept process-wide instead would leak from one run (or one test)
// into the next. And a fresh machine has no OGG library loaded, whatever a test left.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#include "counter/Untcount.h"
#include "data/sprites.h"
#include "tests/native/native_support.h"

namespace {

// A data module's values, written out so that two compare as text.
std::string DataState(const TfrmData& data) {
  std::ostringstream out;
  const CounterSettings& s = data.counterSettings;
  out << "settings " << s.char0 << ' ' << s.char1 << ' ' << s.timer << ' ' << s.delay << ' ' << s.name << ' '
      << s.rand << ' ' << s.wave << ' ' << s.repl << ' ' << s.form << " [" << s.name1a << "][" << s.name1b << "]["
      << s.name2a << "][" << s.name2b << "][" << s.name3 << "][" << s.usewave << "][" << s.dirwave << "]\n";
  out << "history";
  const auto* history = reinterpret_cast<const unsigned char*>(&data.startHistory);
  for (size_t i = 0; i < sizeof data.startHistory; ++i) out << ' ' << int{history[i]};
  out << "\nchips " << data.ChipState[0].variant << ' ' << data.ChipState[0].pose << ' ' << data.ChipState[1].variant
      << ' ' << data.ChipState[1].pose << '\n';
  out << "sounds replaced at load " << data.SoundsReplacedAtLoad << '\n';
  return out.str();
}

// A counter window's run state.
std::string RunState(const TfrmCount& form) {
  std::ostringstream out;
  out << "run " << form.voiceStep << ' ' << form.preferNamelessVoice << ' ' << form.startTime << ' '
      << form.chosenLine << ' ' << form.startTm.tm_year << ' ' << form.startTm.tm_mon << ' ' << form.startTm.tm_mday
      << ' ' << form.startTm.tm_hour << ' ' << form.startTm.tm_min << ' ' << form.startTm.tm_sec << '\n';
  return out.str();
}

class ProgramData : public native_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    native_support::SetLocalClock(2026, 11, 10, 10, 5);
  }
};

// Settings unlike the defaults in every value, a start history, chips, a run that spoke.
void ChangeEveryValue(TfrmData& data, TfrmCount& form) {
  using native_support::StoreSetting;
  for (const auto& field : kIntegerSettings) StoreSetting(field.name, 1);
  for (const auto& field : kTextSettings) StoreSetting(field.name, std::string("n"));
  data.LoadSettings();
  data.LoadStartHistory();
  data.RecordStart(1800000000, platform::LocalTime(1800000000));
  int step = 0;
  StepChip(2, step, data.ChipState[0]);
  form.voiceStep = 4;
  form.preferNamelessVoice = true;
  form.chosenLine = 12;
}

TEST_F(ProgramData, ANewDataModuleAndCounterWindowKeepNothingOfAnEarlierRun) {
  std::string freshData, freshRun;
  {
    TfrmData data;
    freshData = DataState(data);
    TfrmCount form(data);
    freshRun = RunState(form);
  }
  {
    TfrmData data;
    TfrmCount form(data);
    ChangeEveryValue(data, form);
    ASSERT_NE(freshData, DataState(data)) << "the test changes nothing";
    ASSERT_NE(freshRun, RunState(form)) << "the test changes nothing";
    native_support::ResetMachine();
  }
  TfrmData data;
  EXPECT_EQ(freshData, DataState(data));
  TfrmCount form(data);
  EXPECT_EQ(freshRun, RunState(form));
}

TEST_F(ProgramData, AFreshMachineHasNoOggLibraryLoaded) {
  // The binding loads the library from the current folder; without it, it refuses to decode.
  std::filesystem::copy_file(M2K_OGOG_LIBRARY, File("ogog.dll"));
  ASSERT_EQ(0, LoadOggLibrary());
  ASSERT_NE(-1, DecodeOggFile("absent.ogg", "absent.wav"));
  native_support::ResetMachine();
  EXPECT_EQ(-1, DecodeOggFile("absent.ogg", "absent.wav"));
}

}  // namespace
