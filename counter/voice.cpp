// The first character's voice line: chosen by the moment, names put in, laid out in the upper
// bubble and spoken clip by clip; and the Windows logon and exit sounds.
#include <string>
#include <vector>

#include "counter/Untcount.h"
#include "counter/scenario.h"
#include "counter/voice_line.h"
#include "data/roster.h"
#include "data/sprites.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/textmap.h"

namespace {

bool WindowHolds(int first, int last, int hour) {
  return last >= first ? (first <= hour && hour <= last) : (hour >= first || hour <= last);
}

// The conversions work on the nickname with its terminating zero, as the system call is given
// it, and end at the first zero of the result.
std::string NicknameAs(const std::string& nickname, platform::TextMapping mapping) {
  std::string text = nickname;
  text.push_back('\0');
  const std::string mapped = platform::MapText(text, mapping);
  return mapped.substr(0, mapped.find('\0'));
}

}  // namespace

VoiceChoice ChooseScenarioRow(const ScenarioRow* table, const std::tm& moment, int rand, int partner) {
  std::vector<VoiceChoice> candidates;
  int row = 0;
  for (; table[row].kind != -1; ++row) {
    const ScenarioRow& r = table[row];
    int first = (r.hours / 100) % 100, last = r.hours % 100;
    int rowPartner = partner;
    bool matches = false;
    switch (r.kind) {
      case 0:
        matches = true;
        first = r.param;
        last = r.hours;
        break;
      case 1:
        matches = (r.param / 100) % 100 == moment.tm_mon + 1 && r.param % 100 == moment.tm_mday;
        break;
      case 3:
        matches = r.param == moment.tm_wday;
        break;
      case 4:
        matches = true;
        if (rand == 1 || rand == 2) rowPartner = r.param;
        break;
      case 5:
        matches = r.param == moment.tm_mon + 1;
        break;
      default:
        break;  // never chosen
    }
    if (matches && WindowHolds(first, last, moment.tm_hour)) candidates.push_back({row, rowPartner});
  }
  if (candidates.empty()) return VoiceChoice{row, partner};  // the end row: the fallback line
  return candidates[static_cast<size_t>(moment.tm_sec) % candidates.size()];
}

std::string SubstituteNames(const CounterSettings& s, std::string line, bool& namedOtherwise) {
  const std::string replacements[6] = {s.name1a, s.name2a, s.name1b, s.name2b,
                                       NicknameAs(s.name3, platform::TextMapping::Hiragana),
                                       NicknameAs(s.name3, platform::TextMapping::Katakana)};
  for (int t = 0; t < 6; ++t) {
    const std::string token = NameTokens[t];
    const std::string& name = replacements[t];
    // Left to right, never looking into text already put in: a name that holds its own token
    // cannot make this go on for ever.
    for (size_t at = line.find(token); at != std::string::npos; at = line.find(token, at + name.size())) {
      if (line.compare(at + 1, name.size(), name) != 0) namedOtherwise = true;
      line.replace(at, token.size(), name);
    }
  }
  return line;
}

void TfrmCount::ChooseVoiceLine() {
  CounterSettings& s = frmData.counterSettings;
  const ScenarioRow* table = ScenarioTables[s.char0];
  const VoiceChoice choice = ChooseScenarioRow(table, startTm, s.rand, s.char1);
  chosenLine = choice.row;
  s.char1 = choice.partner;
  const ScenarioRow& row = table[chosenLine];

  std::string lines[3];
  for (int i = 0; i < 3; ++i) lines[i] = SubstituteNames(s, row.lines[i] ? row.lines[i] : "", preferNamelessVoice);
  ShowUpperLines(lines, lblChar0A, lblChar0B, lblChar0C);

  frmData.ChipState[0] = {row.variant, row.pose};
  frmData.ChipState[1] = {Roster[s.char1].defaultVariant, Roster[s.char1].defaultPose};
}

void ShowUpperLines(const std::string lines[3], ui::Label* a, ui::Label* b, ui::Label* c) {
  const bool longLine = lines[0].size() >= 50 || lines[1].size() >= 50 || lines[2].size() >= 50;
  ui::Label* labels[3] = {a, b, c};
  for (int i = 0; i < 3; ++i) {
    if (longLine) {
      ui::Font smaller = labels[i]->GetFont();
      smaller.size -= 1;  // one point smaller, so a long line fits the bubble
      labels[i]->SetFont(smaller);
    }
    labels[i]->SetCaption(lines[i]);
  }
  if (lines[1].empty()) {
    a->SetTop(b->Top());
    b->SetVisible(false);
    c->SetVisible(false);
  } else if (lines[2].empty()) {
    // Two lines share the bubble's height in thirds.
    const int g1 = b->Top() - a->Top() + b->Height() - a->Height();
    const int g2 = c->Top() - b->Top() + c->Height() - b->Height();
    a->SetTop(a->Top() + (g1 + 2) / 3 - 1);
    b->SetTop(b->Top() + (2 * g2 + 2) / 3 - 1);
    c->SetVisible(false);
  }
}

const char* TfrmCount::ChosenClip(int slot) const {
  if (slot < 0 || slot >= 5) return nullptr;
  return ScenarioTables[frmData.counterSettings.char0][chosenLine].clips[slot];
}

namespace {

const char kStartSoundKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current";
const char kExitSoundKey[] = "\\AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current";

// The user's own sounds, kept under the program's key while the voices stand in for them.
// The text of the sound's default value is kept as REG_SZ under the name that earlier versions
// used, so that they can still give it back. What plain text cannot tell lies beside it in
// "<name>Type": "absent" (the key had no default value; its text is kept as "", which plays no
// sound either), "REG_EXPAND_SZ" or "REG_SZ". A kept text without a type is REG_SZ.
struct KeptSound {
  const char* soundKey;
  const char* keptName;
  std::string TypeName() const { return std::string(keptName) + "Type"; }
};
const KeptSound kKeptStart = {kStartSoundKey, "keptSystemStart"};
const KeptSound kKeptExit = {kExitSoundKey, "keptSystemExit"};

const char kAbsent[] = "absent";
const char kExpandable[] = "REG_EXPAND_SZ";
const char kPlain[] = "REG_SZ";

// False when the sound cannot be kept: a text with a character that Shift-JIS lacks (a path
// under a user folder named "Zoë") could never be given back, so that sound is left alone.
bool KeepOriginal(platform::RegistryKey& settings, const KeptSound& kept) {
  if (settings.ValueExists(kept.keptName)) return true;  // kept at the first replacement only
  const platform::RegistryKey sound = platform::RegistryKey::ForReading(kept.soundKey);
  if (!sound.IsOpen()) return true;
  std::string original;
  const platform::ValueType type = sound.TypeOf("");
  const bool isText = type == platform::ValueType::Text || type == platform::ValueType::ExpandableText;
  // A value of another type than text plays nothing; it is kept as the empty text.
  if (!sound.ReadText("", original) && isText) return false;
  settings.WriteText(kept.TypeName(), type == platform::ValueType::Missing          ? kAbsent
                                      : type == platform::ValueType::ExpandableText ? kExpandable
                                                                                    : kPlain);
  settings.WriteText(kept.keptName, original);
  return true;
}

void RestoreOriginal(platform::RegistryKey& settings, const KeptSound& kept) {
  std::string original, type;
  if (settings.ReadText(kept.keptName, original)) {
    settings.ReadText(kept.TypeName(), type);
    platform::RegistryKey sound(kept.soundKey, false);
    if (type == kAbsent)
      sound.DeleteDefault();
    else if (type == kExpandable)
      sound.WriteExpandableText("", original);
    else
      sound.WriteDefault(original);
    settings.DeleteValue(kept.keptName);
  }
  // Also a type left alone by an earlier version, which gave back the text only.
  settings.DeleteValue(kept.TypeName());
}

int ExitClipCount(int character) {
  int n = 0;
  while (n < 10 && ExitClips[character][n]) ++n;
  return n;
}

}  // namespace

const char* TfrmData::ExitSoundClip() {
  const int n = ExitClipCount(counterSettings.char0);
  if (n == 0) return nullptr;
  return ExitClips[counterSettings.char0][platform::LocalTime(platform::CurrentTime()).tm_sec % n];
}

void TfrmData::ReplaceSystemSounds(bool preferNameless) { ReplaceSystemSounds(preferNameless, ExitSoundClip()); }

void TfrmData::ReplaceSystemSounds(bool preferNameless, const char* exitClip) {
  const CounterSettings& s = counterSettings;
  platform::RegistryKey settings(kSettingsKey, false);
  if (s.wave == 0 || s.repl == 0) {
    // Replacement turned off: the user gets back the sounds the voices stood in for.
    if (settings.IsOpen()) {
      RestoreOriginal(settings, kKeptStart);
      RestoreOriginal(settings, kKeptExit);
    }
    return;
  }
  const bool startKept = !settings.IsOpen() || KeepOriginal(settings, kKeptStart);
  const bool exitKept = !settings.IsOpen() || KeepOriginal(settings, kKeptExit);
  if (startKept) {
    platform::RegistryKey start(kStartSoundKey, false);
    if (start.IsOpen()) start.WriteDefault("");
  }
  platform::RegistryKey exit(kExitSoundKey, false);
  // The sound names the WAV by its full path, which needs a folder that Shift-JIS can write.
  const std::string folder = platform::ProgramFolder();
  if (!exitKept || !exit.IsOpen() || folder.empty()) return;
  // Windows would play nothing from a WAV that is not there: without one the exit sound stays.
  const std::string wave = GetVoiceWave(exitClip, preferNameless);
  if (platform::FileExists(wave)) exit.WriteDefault(platform::AnsiSafePath(folder + wave));
}
