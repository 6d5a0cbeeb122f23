// The counter's start at logon on the headless backend, against the demo game (build/demo_game,
// `make demo-game`): the whole creation of the counter window up to its first show, with
// voices off and on, and the steps that touch files and pictures on their own. Natively there
// is neither Wine nor a window system: these figures are the program's own CPU work, the part
// of `make bench-startup`'s difference that the program can change by its code alone. Each
// iteration starts as a logon does, with the sheets and WAV files of the last run gone.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "counter/Untcount.h"
#include "counter/scenario.h"
#include "data/history.h"
#include "data/sprites.h"
#include "platform/files.h"
#include "platform/native/testing.h"
#include "platform/registry.h"
#include "ui/headless/headless.h"

namespace {

const std::string kDemoGame = M2K_SOURCE_DIR "/build/demo_game";

class Fixture {
 public:
  Fixture() {
    char pattern[] = "/tmp/m2k-counter-bench-XXXXXX";
    work_ = mkdtemp(pattern);
    std::filesystem::copy_file(M2K_OGOG_LIBRARY, work_ + "/ogog.dll");
  }
  ~Fixture() {
    std::error_code ignored;
    std::filesystem::remove_all(work_, ignored);
  }
  const std::string& Work() const { return work_; }

 private:
  std::string work_;
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

// A fresh process state with the demo game installed, working in the fixture's folder.
bool Prepare(benchmark::State& state, int wave) {
  if (!std::filesystem::exists(kDemoGame + "/grp.pak")) {
    state.SkipWithError("no demo game: run make demo-game");
    return false;
  }
  const Fixture& f = TheFixture();
  std::filesystem::current_path(f.Work());
  platform::testing::SetProgramFolder(f.Work() + "\\");
  platform::testing::ResetRegistry();
  ui::headless::Reset();
  ui::Application::Instance().Reset();
  platform::RegistryKey game("\\Software\\Vant\\Marivel2 KORVEN", true);
  game.WriteText("InstallDir", kDemoGame + "\\");
  platform::RegistryKey settings("\\Software\\Zorve\\M2K-COUNTER", true);
  settings.WriteInteger("wave", wave);
  settings.WriteInteger("repl", 1);
  return true;
}

// What a counter run leaves behind and the next one starts without.
void RemoveLastRun() {
  platform::RemoveMatching(".\\*.TGA");
  platform::RemoveMatching(".\\*.wav");
}

void CounterStart(benchmark::State& state) {
  const int wave = static_cast<int>(state.range(0));
  if (!Prepare(state, wave)) return;
  for (auto _ : state) {
    state.PauseTiming();
    RemoveLastRun();
    state.ResumeTiming();
    TfrmData data;  // each start a process of its own
    auto form = std::make_unique<TfrmCount>(data);
    form->Show();
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
  RemoveLastRun();
}

void BM_ExtractImages(benchmark::State& state) {
  if (!Prepare(state, 0)) return;
  TfrmData data;
  data.LoadSettings();
  for (auto _ : state) {
    state.PauseTiming();
    RemoveLastRun();
    state.ResumeTiming();
    data.ExtractImages();
  }
  RemoveLastRun();
}

void BM_DrawCharacters(benchmark::State& state) {
  if (!Prepare(state, 0)) return;
  TfrmData data;
  auto form = std::make_unique<TfrmCount>(data);
  for (auto _ : state) data.DrawCharacters(0, form->imgChar0, form->imgCount, form->imgChar1);
  form.reset();
  RemoveLastRun();
}

void BM_FirstClipWave(benchmark::State& state) {
  if (!Prepare(state, 1)) return;
  TfrmData data;
  data.LoadSettings();
  const char* clip = ScenarioTables[0][0].clips[0];
  for (auto _ : state) benchmark::DoNotOptimize(data.GetVoiceWave(clip, false));
  RemoveLastRun();
}

BENCHMARK(CounterStart)->ArgName("voices")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawCharacters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstClipWave)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
