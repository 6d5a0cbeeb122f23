// The counter against the demo game folder (tools/make_demo_game.py, `make demo-game`): with no
// sheets in its own folder, the counter takes them out of the game's grp.pak, shows both figures
// and removes the sheets when it closes, except the one named ".tg2"; and every clip that the
// counter may ask for comes out of the game's voice.pak as a WAV file.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "counter/scenario.h"
#include "data/Untdata.h"
#include "data/sprites.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/wine/input_helper.h"
#include "tests/wine/program_runner.h"
#include "ui/graphics.h"
#include "tests/wine/sjis_calls.h"

namespace {

const char kCounterCaption[] = "Marivel2起動カウンターKORVEN";

// A folder that `make test-wine` names in `variable`, otherwise its place in the build tree as
// seen from the test's own folder, build\windows\bin.
std::string Folder(const char* variable, const char* fromBin) {
  char value[MAX_PATH] = {};
  const DWORD length = sjis::GetEnvironmentVariable(variable, value, MAX_PATH);
  std::string folder = length > 0 && length < MAX_PATH ? value : wine_test::BinFolder() + fromBin;
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

std::set<std::string> SheetNames() {
  std::set<std::string> names;
  for (const auto& variants : SpriteFiles)
    for (const char* name : variants)
      if (name) names.insert(name);
  return names;
}

std::string FileBytes(const std::string& path) {
  std::string bytes;
  platform::ReadWholeFile(path, bytes);
  return bytes;
}

// The counter's backdrop as the program carries it.
ui::Bitmap Backdrop() {
  ui::Bitmap picture;
  HMODULE program = sjis::LoadLibraryEx((wine_test::BinFolder() + "M2KCOUNT.EXE").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HRSRC found = program ? FindResourceA(program, "COUNT_BACK", MAKEINTRESOURCEA(10)) : nullptr;
  if (found) {
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
    ui::DecodeBmp(std::string(bytes, SizeofResource(program, found)), picture);
  }
  if (program) FreeLibrary(program);
  return picture;
}

// Whether the program's picture resource lies in its image so that the program uses it in
// place (32-bit, top-down, its pixels aligned where the image puts them).
bool UsedInPlace(const char* name) {
  HMODULE program = sjis::LoadLibraryEx((wine_test::BinFolder() + "M2KCOUNT.EXE").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HRSRC found = program ? FindResourceA(program, name, MAKEINTRESOURCEA(10)) : nullptr;
  ui::Bitmap picture;
  const bool inPlace =
      found && ui::UseBmp(std::string_view(static_cast<const char*>(LockResource(LoadResource(program, found))),
                                           SizeofResource(program, found)),
                          picture) &&
      picture.Borrowed();
  if (program) FreeLibrary(program);
  return inPlace;
}

COLORREF BackdropAt(const ui::Bitmap& backdrop, int x, int y) {
  const uint32_t p = backdrop.At(x, y);
  return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
}

// How many points of a grid over the columns left..right differ from the backdrop.
int PointsOffTheBackdrop(HDC dc, const ui::Bitmap& backdrop, int left, int right) {
  int differing = 0;
  for (int y = 4; y < 172; y += 8)
    for (int x = left; x < right; x += 8) differing += GetPixel(dc, x, y) != BackdropAt(backdrop, x, y);
  return differing;
}

class DemoGame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::FileExists(game + "grp.pak")) << "build the demo game first: make demo-game";
    platform::DeleteRegistryTree(kSettingsKey);
    platform::RegistryKey settings(kSettingsKey, true);
    settings.WriteInteger("char0", 0);  // mapc010.tga, which has an upper-case twin in the archive
    settings.WriteInteger("char1", 6);  // mapc070.tg2
    settings.WriteInteger("timer", 9);  // the longest: the test closes it once it has looked
    platform::RegistryKey gameKey(kGameKey, true);
    gameKey.WriteText("InstallDir", game);
    for (const std::string& name : SheetNames()) platform::RemoveFile(bin + name);
  }
  void TearDown() override {
    platform::RemoveFile(bin + "mapc070.tg2");
    platform::DeleteRegistryTree(kGameKey);
    platform::DeleteRegistryTree(kSettingsKey);
  }

  const std::string game = Folder("M2K_DEMO_GAME", "..\\..\\demo_game\\");
  const std::string sprites = Folder("M2K_DEMO_SPRITES", "..\\..\\..\\resources\\demo_sprites\\");
  const std::string bin = wine_test::BinFolder();
};

TEST_F(DemoGame, CounterExtractsTheSheetsShowsBothFiguresAndRemovesTheSheetsOnClose) {
  const ui::Bitmap backdrop = Backdrop();
  ASSERT_EQ(600, backdrop.width);

  wine_test::ProgramRun run("/C");
  HWND window = run.WaitWindow(kCounterCaption, 10000);
  ASSERT_NE(nullptr, window);

  // The figures' sheets come out before the window shows, the others at its first timer tick.
  wine_test::WaitFor([&] {
    for (const std::string& name : SheetNames())
      if (!platform::FileExists(bin + name)) return false;
    return true;
  }, 5000);
  // Every sheet of the table is out, hidden, and holds our sheet itself: not the upper-case
  // twin, not the empty entry before mapc020.tga, not the later duplicate of mapc040.tga.
  for (const std::string& name : SheetNames()) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(platform::IsHidden(bin + name));
    const std::string extracted = FileBytes(bin + name);
    EXPECT_FALSE(extracted.empty());
    EXPECT_TRUE(extracted == FileBytes(sprites + name));
  }

  // Where no figure or bubble lies the window shows the backdrop unchanged; inside the boxes
  // the figures cover it. Left figure at x -1..107, right one at 500..594; the bubbles' dots
  // stand just inside both. Read once both figures are painted, or when waiting is over.
  COLORREF between = 0;
  int leftPoints = 0, rightPoints = 0;
  wine_test::WaitFor([&] {
    HDC dc = GetDC(window);
    between = GetPixel(dc, 300, 100);
    leftPoints = PointsOffTheBackdrop(dc, backdrop, 4, 92);
    rightPoints = PointsOffTheBackdrop(dc, backdrop, 508, 592);
    ReleaseDC(window, dc);
    return leftPoints >= 40 && rightPoints >= 40;
  }, 2500);
  EXPECT_EQ(BackdropAt(backdrop, 300, 100), between);
  EXPECT_GE(leftPoints, 40);
  EXPECT_GE(rightPoints, 40);

  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(run.WaitExit(15000));
  // The ".TGA" sheets are working files, gone with the window; the ".tg2" one escapes that
  // mask and stays, hidden, for the next run.
  for (const std::string& name : SheetNames()) {
    SCOPED_TRACE(name);
    const bool tg2 = name.ends_with(".tg2");
    EXPECT_EQ(tg2, platform::FileExists(bin + name));
    if (tg2) {
      EXPECT_TRUE(platform::IsHidden(bin + name));
    }
  }
}

// Every clip of the scenario tables and the exit sounds, some of them stored only under the
// name the counter retries ("00" as the 9th and 10th characters).
// The pictures the counter reads at every logon are used where the program's image holds them.
TEST(ProgramPictures, CountersPicturesAreUsedInPlace) {
  for (const char* name : {"COUNT_BACK", "BUBBLE_UPPER", "BUBBLE_LOWER"}) EXPECT_TRUE(UsedInPlace(name)) << name;
}

TEST_F(DemoGame, EveryClipOfTheTablesBecomesAWaveFile) {
  std::set<std::string> clips;
  for (const ScenarioRow* table : ScenarioTables)
    for (const ScenarioRow* row = table;; ++row) {
      for (const char* clip : row->clips)
        if (clip) clips.insert(clip);
      if (row->kind == -1) break;
    }
  for (const char* const* list : ExitClips)
    for (const char* const* clip = list; *clip; ++clip) clips.insert(*clip);

  // The waves are written to the current folder.
  char temp[MAX_PATH] = {};
  sjis::GetTempPath(MAX_PATH, temp);
  const std::string work = std::string(temp) + "m2k-demo-voices\\";
  platform::MakeFolder(work);
  const std::string before = platform::CurrentFolder();
  ASSERT_TRUE(platform::SetCurrentFolder(work));
  TfrmData data;
  data.counterSettings.dirwave = game;
  int retried = 0;
  for (const std::string& clip : clips) {
    std::string wave = data.ExtractVoice(clip.c_str(), false);
    if (wave.empty()) {
      ++retried;
      wave = data.GetVoiceWave(clip.c_str(), false);
    }
    EXPECT_TRUE(!wave.empty() && platform::FileExists(wave)) << clip;
    platform::RemoveFile(wave);
  }
  EXPECT_GT(retried, 0);
  platform::SetCurrentFolder(before);
}

}  // namespace
