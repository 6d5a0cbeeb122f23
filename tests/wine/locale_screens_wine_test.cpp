// The client area of every settings-side window as this process draws it, saved as a BMP file
// under build/locale-shots/<code page>/ (or M2K_LOCALE_SHOTS). `make test-wine` runs the suite
// under code page 932 and 1252, and tests/tools/compare_locale_shots.sh then requires the two
// sets to be equal pixel for pixel: the program draws the same whatever the system's code page.
// The animated figures stand still: the windows' chip timers are stopped before the picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "data/Untdata.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "settings/Untdir.h"
#include "settings/Untgirl.h"
#include "settings/Untinit.h"
#include "settings/Untmain.h"
#include "tests/wine/input_helper.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/shell_support.h"
#include "tests/wine/sjis_calls.h"

namespace {

using wine_test::DemoGame;

const char kSettingsKey[] = "\\Software\\Zorve\\M2K-COUNTER";
const char kGameKey[] = "\\Software\\Vant\\Marivel2 KORVEN";

std::string Variable(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD length = sjis::GetEnvironmentVariable(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(value) : std::string();
}

// The folder of this code page's pictures, made when missing; with its trailing backslash.
std::string ShotFolder() {
  std::string base = Variable("M2K_LOCALE_SHOTS");
  if (base.empty()) base = wine_test::BinFolder() + "..\\..\\locale-shots";
  sjis::CreateDirectory(base, nullptr);
  const std::string folder = base + "\\" + std::to_string(GetACP()) + "\\";
  sjis::CreateDirectory(folder, nullptr);
  return folder;
}

HWND WindowOf(const char* caption) {
  HWND window = nullptr;
  wine_test::WaitFor([&] {
    window = FindWindowW(L"M2KForm", sjis::Wide(caption).c_str());
    return window && IsWindowVisible(window);
  });
  return window;
}

// The window's client area, once painted, as a 24-bit bottom-up BMP file.
void SaveClient(HWND window, const std::string& path) {
  ASSERT_NE(nullptr, window);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  wine_test::PumpMessages(700);
  RECT client{};
  GetClientRect(window, &client);
  const int width = client.right, height = client.bottom;
  const std::vector<uint32_t> pixels = wine_test::CaptureClient(window, 0, 0, width, height);
  ASSERT_EQ(static_cast<size_t>(width) * height, pixels.size());
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::vector<unsigned char> rows(stride * height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(height - 1 - y) * width + x];
      unsigned char* at = &rows[y * stride + x * 3];
      at[0] = p & 0xFF, at[1] = p >> 8 & 0xFF, at[2] = p >> 16 & 0xFF;
    }
  ASSERT_TRUE(wine_test::WriteBmp(path, width, height, rows)) << path;
}

TEST(LocaleScreensWine, EverySettingsWindowAsThisCodePageDrawsIt) {
  ASSERT_TRUE(platform::FileExists(DemoGame() + "grp.pak")) << "make demo-game first";
  const std::string folder = ShotFolder();
  platform::DeleteRegistryTree(kSettingsKey);
  {
    platform::RegistryKey(kGameKey, true).WriteText("InstallDir", DemoGame());
    platform::RegistryKey settings(kSettingsKey, true);
    settings.WriteInteger("char0", 2);
    settings.WriteInteger("char1", 5);
    settings.WriteText("name3", "ハナ表");
    settings.WriteText("name1a", "ソフト");
    settings.WriteText("dirwave", DemoGame().substr(0, DemoGame().size() - 1));
  }
  // A folder of its own, as the program's is: the sheets are taken out there, and no start
  // history is there, so that the statistics read the same in both runs.
  const wine_test::WorkFolder work("m2k-locale-screens");

  TfrmData data;
  TfrmMain main(data);
  main.Show();
  main.timChip->SetEnabled(false);
  SaveClient(WindowOf(kSettingsCaption), folder + "main.bmp");

  {
    TfrmVer about(main);
    about.Show();
    SaveClient(WindowOf(about.caption.c_str()), folder + "about.bmp");
  }
  {
    TfrmInit init(main, data);
    init.Show();
    SaveClient(WindowOf(init.caption.c_str()), folder + "init.bmp");
    TfrmDir dir(init, data, data.counterSettings.dirwave);
    dir.Show();
    SaveClient(WindowOf(dir.caption.c_str()), folder + "dir.bmp");
  }
  {
    TfrmGirl girl(main, data);
    girl.Show();
    girl.timChip->SetEnabled(false);
    SaveClient(WindowOf(girl.caption.c_str()), folder + "girl.bmp");
  }
  platform::DeleteRegistryTree(kSettingsKey);
}

}  // namespace
