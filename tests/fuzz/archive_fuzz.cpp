// libFuzzer target for the directory scans of the game's archives: ExtractImages over any
// grp.pak and GetVoiceWave over any voice.pak, read from a temporary folder (on /dev/shm where
// there is one) through the native platform layer, exactly as the program reads them.
//
// Input: byte 0 chooses the archive (bit 0: voice), the variant preference (bit 1) and, in
// bits 2..7, which sheet to extract anew (the others lie in the work folder as an earlier run
// left them and are skipped, which keeps a run to one extraction) or which clip to ask for; the
// rest is the archive. Every input starts from the same files, settings and LZSS window, so a
// saved crash input reproduces on its own. Sanitizers judge every access; the checks
// below hold the outcome to what the archive rules allow: whatever the bytes, a sheet that is written is
// hidden and no larger than the archive can justify, and a voice request gives "" or the WAV
// path of the clip or of its "00" retry, with the temporary OGG file gone on success.
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/Untdata.h"
#include "data/lzss.h"
#include "data/sprites.h"
#include "platform/files.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

std::string root;  // removed when the run ends
std::vector<std::string> sheets;
std::string work, game;
bool setUp = false;

void SetUpOnce() {
  char pattern[] = "/dev/shm/m2k-archive-fuzz-XXXXXX";
  char fallback[] = "/tmp/m2k-archive-fuzz-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (!made) made = mkdtemp(fallback);
  Check(made != nullptr);
  root = made;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  });
  work = root + "/work";
  game = root + "/game";
  Check(platform::MakeFolder(work) && platform::MakeFolder(game));
  Check(chdir(work.c_str()) == 0);
  for (int c = 0; c < kRosterSize; ++c)
    for (int v = 0; v < kVariants && SpriteFiles[c][v]; ++v)
      if (std::find(sheets.begin(), sheets.end(), SpriteFiles[c][v]) == sheets.end()) sheets.push_back(SpriteFiles[c][v]);
  setUp = true;
}

// The same start for every input: an empty work folder (the current folder). Each check makes a
// fresh data module (the default settings, a fresh window of the LZSS decoder) with the game
// folder (FreshData).
void FreshStart() {
  std::error_code ignored;
  std::vector<std::string> files;
  for (const auto& file : std::filesystem::directory_iterator(work, ignored)) files.push_back(file.path().string());
  // Through the platform layer, which forgets a removed file's hidden mark with it.
  for (const std::string& file : files)
    if (!platform::RemoveFile(file)) std::filesystem::remove_all(file, ignored);
}

std::unique_ptr<TfrmData> FreshData() {
  auto data = std::make_unique<TfrmData>();
  data->counterSettings.dirwave = game + "\\";
  return data;
}

void WriteArchive(const char* name, const uint8_t* bytes, size_t size) {
  FILE* out = fopen((game + "/" + name).c_str(), "wb");
  Check(out != nullptr);
  Check(size == 0 || fwrite(bytes, 1, size, out) == size);
  Check(fclose(out) == 0);
}

int64_t FileSize(const std::string& name) {  // a bare name in the work folder; -1: none
  struct stat info;
  return stat(name.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

void Images(uint8_t choice, const uint8_t* archive, size_t size) {
  WriteArchive("grp.pak", archive, size);
  // Every sheet but the chosen one is there, complete and hidden, as an earlier run left it.
  const size_t pick = (choice >> 2) % sheets.size();
  for (size_t k = 0; k < sheets.size(); ++k)
    if (k != pick) {
      FILE* out = fopen(sheets[k].c_str(), "wb");
      Check(out != nullptr && fputs("sheet", out) >= 0 && fclose(out) == 0);
      platform::SetHidden(sheets[k], true);
    }
  const bool done = FreshData()->ExtractImages();

  // The chosen sheet: written hidden, no larger than the archive can justify, or not at all.
  const int64_t most = std::max<int64_t>(static_cast<int64_t>(size), LzssMaxOutput(static_cast<int64_t>(size)));
  const int64_t length = FileSize(sheets[pick]);  // -1: not made
  Check(length <= most);
  const bool complete = length >= 0 && platform::IsHidden(sheets[pick]);
  Check(done == complete);  // true: every sheet dealt with; false: one is missing or unfinished
  for (size_t k = 0; k < sheets.size(); ++k)
    if (k != pick) Check(FileSize(sheets[k]) == 5);  // the earlier run's sheets are left alone
}

void Voices(uint8_t choice, const uint8_t* archive, size_t size) {
  static const char* const kClips[] = {"V000000012_000001.OGG", "V000000000_000001.OGG", "v.ogg", "clip", "0123456789"};
  const std::string clip = kClips[(choice >> 2) % 5];
  std::string retry = clip;
  if (retry.size() >= 10) retry[8] = retry[9] = '0';
  WriteArchive("voice.pak", archive, size);
  const std::string wave = FreshData()->GetVoiceWave(clip.c_str(), choice & 2);
  Check(wave.empty() || wave == ".\\" + clip + ".wav" || wave == ".\\" + retry + ".wav");
  if (!wave.empty()) Check(!platform::FileExists(wave.substr(0, wave.size() - 4)));
  Check(!platform::FileExists(".\\" + clip + ".wav"));  // no decoder library here
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (!setUp) SetUpOnce();
  if (size < 1) return 0;
  FreshStart();
  if (bytes[0] & 1)
    Voices(bytes[0], bytes + 1, size - 1);
  else
    Images(bytes[0], bytes + 1, size - 1);
  return 0;
}
