#include "data/Untdata.h"

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sjis.h"

CounterSettings counterSettings;
TfrmData* frmData = nullptr;

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
  Build({{.kind = ui::Kind::Image, .name = "imgIcon", .width = 32, .height = 32, .icon = "MAINICON"}});
  imgIcon = Find<ui::Image>("imgIcon");
}

bool TfrmData::LoadSettings() {
  CounterSettings& s = counterSettings;
  s = CounterSettings{};
  s.name1a = kDefaultFamilyName;
  s.name1b = kDefaultGivenName;
  s.name2a = kDefaultFamilyReading;
  s.name2b = kDefaultGivenReading;
  s.name3 = kDefaultNickname;
  s.usewave = "1111111111";
  s.dirwave.clear();
  FindGameFolder(s.dirwave);

  platform::RegistryKey key(kSettingsKey, true);
  if (key.IsOpen()) {
    ReadInteger(key, "char0", s.char0);
    ReadInteger(key, "char1", s.char1);
    ReadInteger(key, "timer", s.timer);
    ReadInteger(key, "delay", s.delay);
    ReadInteger(key, "name", s.name);
    ReadInteger(key, "rand", s.rand);
    ReadInteger(key, "wave", s.wave);
    ReadInteger(key, "repl", s.repl);
    ReadInteger(key, "form", s.form);
    ReadText(key, "name1a", s.name1a);
    ReadText(key, "name1b", s.name1b);
    ReadText(key, "name2a", s.name2a);
    ReadText(key, "name2b", s.name2b);
    ReadText(key, "name3", s.name3);
    ReadText(key, "usewave", s.usewave);
    ReadText(key, "dirwave", s.dirwave);
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
  const CounterSettings& s = counterSettings;
  key.WriteInteger("char0", s.char0);
  key.WriteInteger("char1", s.char1);
  key.WriteInteger("timer", s.timer);
  key.WriteInteger("delay", s.delay);
  key.WriteInteger("name", s.name);
  key.WriteInteger("rand", s.rand);
  key.WriteInteger("wave", s.wave);
  key.WriteInteger("repl", s.repl);
  key.WriteInteger("form", s.form);
  key.WriteText("name1a", s.name1a);
  key.WriteText("name1b", s.name1b);
  key.WriteText("name2a", s.name2a);
  key.WriteText("name2b", s.name2b);
  key.WriteText("name3", s.name3);
  key.WriteText("usewave", s.usewave);
  key.WriteText("dirwave", s.dirwave);
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

