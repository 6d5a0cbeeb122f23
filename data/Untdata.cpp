#include "data/Untdata.h"

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sjis.h"

const char* const kDefaultFamilyName = "桐生";
const char* const kDefaultGivenName = "蒼太";
const char* const kDefaultFamilyReading = "きりゅう";
const char* const kDefaultGivenReading = "そうた";
const char* const kDefaultNickname = "そうちゃん";

const char* const kSettingsKey = "\\Software\\Zorve\\M2K-COUNTER";
const char* const kGameKey = "\\Software\\Vant\\Marivel2 KORVEN";

namespace {

const char kGameExecutable[] = "Marivel2.exe";

void ReadInteger(const platform::RegistryKey& key, const char* name, int32_t& field) {
  int32_t value = 0;
  if (key.ReadInteger(name, value)) field = value;  // missing or of another type: keep
}

void ReadText(const platform::RegistryKey& key, const char* name, std::string& field) {
  std::string value;
  if (key.ReadText(name, value)) field = value;
}

int32_t KeptInRange(int32_t value, int32_t low, int32_t high, int32_t replacement) {
  return (value < low || value > high) ? replacement : value;
}

}  // namespace

std::string GameFilePath(const std::string& folder, const std::string& fileName) {
  const bool endsWithSeparator = !folder.empty() && folder.back() == '\\' && platform::LastByteIsSingle(folder);
  return endsWithSeparator ? folder + fileName : folder + "\\" + fileName;
}

TfrmData::TfrmData() {
  Build({ui::Bind(imgIcon, {.name = "imgIcon", .width = 32, .height = 32, .icon = "MAINICON"})});
}

bool TfrmData::LoadSettings() {
  CounterSettings& s = counterSettings;
  s = CounterSettings{};
  FindGameFolder(s.dirwave);

  platform::RegistryKey key(kSettingsKey, true);
  if (key.IsOpen()) {
    for (const auto& field : kIntegerSettings) ReadInteger(key, field.name, s.*field.member);
    for (const auto& field : kTextSettings) ReadText(key, field.name, s.*field.member);
    // Read by the integrated counter environment, which finds this program through them.
    // Not written from a folder that Shift-JIS cannot name: they would name another one.
    const std::string folder = platform::ProgramFolder();
    if (!folder.empty()) {
      key.WriteText("starthubexec", folder + "M2KCOUNT.EXE");
      key.WriteText("starthubfile", folder + "STARTHUB");
    }
    key.Close();
  }

  s.char0 = KeptInRange(s.char0, 0, 9, 0);
  s.char1 = KeptInRange(s.char1, 0, 9, 0);
  s.timer = KeptInRange(s.timer, 1, 9, 1);
  s.delay = KeptInRange(s.delay, 0, 9, 0);
  SoundsReplacedAtLoad = s.wave != 0 && s.repl != 0;
  return SoundsReplacedAtLoad;
}

void TfrmData::SaveSettings() {
  platform::RegistryKey key(kSettingsKey, true);
  if (!key.IsOpen()) return;
  for (const auto& field : kIntegerSettings) key.WriteInteger(field.name, counterSettings.*field.member);
  for (const auto& field : kTextSettings) key.WriteText(field.name, counterSettings.*field.member);
}

bool TfrmData::FindGameFolder(std::string& folder) {
  folder.clear();
  // Read only: the game's installer may have left a key that the user cannot write.
  const platform::RegistryKey key = platform::RegistryKey::ForReading(kGameKey);
  if (!key.IsOpen()) return false;
  std::string installDir;
  if (!key.ReadText("InstallDir", installDir)) return false;
  // The installer stores the folder with its trailing backslash; the name is appended as is.
  if (!platform::FileExists(installDir + kGameExecutable)) return false;
  folder = installDir;
  return true;
}

bool TfrmData::GameFilesPresent() {
  const CounterSettings& s = counterSettings;
  if (!platform::FileExists(GameFilePath(s.dirwave, "grp.pak"))) return false;
  if (s.wave == 0) return true;
  return platform::FileExists(GameFilePath(s.dirwave, "voice.pak"));
}

bool TfrmData::VoiceEnabled() {
  const std::string& flags = counterSettings.usewave;
  const size_t at = static_cast<size_t>(counterSettings.char0);
  return at < flags.size() && flags[at] == '1';
}

