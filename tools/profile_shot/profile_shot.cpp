// Drives M2KCOUNT.EXE for a screenshot of the profile window, with the input a user gives:
// starts the settings window, opens 女の子情報 from its menu, clicks the previous button the
// given number of times and keeps the program open for the given seconds, then ends it.
//
//   profile_shot.exe [PREVIOUS_CLICKS [HOLD_SECONDS]]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "tests/wine/program_runner.h"
#include "tests/wine/input_helper.h"

int main(int argc, char** argv) {
  const int previousClicks = argc > 1 ? std::atoi(argv[1]) : 0;
  const int holdSeconds = argc > 2 ? std::atoi(argv[2]) : 10;
  wine_test::ProgramRun run("");
  HWND settings = run.WaitWindow("Marivel2起動カウンターKORVENの設定", 30000);
  if (!settings) {
    std::fprintf(stderr, "profile_shot: the settings window did not open\n");
    return 1;
  }
  HWND profile = wine_test::ChooseFromMenu(run, settings, 'F', 'D', "女の子情報");
  if (!profile) {
    std::fprintf(stderr, "profile_shot: the profile window did not open\n");
    return 1;
  }
  for (int i = 0; i < previousClicks; ++i) {
    wine_test::ClickInClient(profile, 4 + 67, 168 + 18);
    Sleep(300);
  }
  Sleep(static_cast<DWORD>(holdSeconds) * 1000);
  return 0;  // the run ends the program
}
