#pragma once
// The data module: the program's data (settings, start history, the figures' chip state) and
// the operations on it that both run modes share. RunProgram makes the one instance of a run
// and hands it to the windows that use it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/history.h"
#include "data/lzss.h"
#include "data/sprites.h"
#include "platform/clock.h"
#include "ui/ui.h"

// The protagonist's default names: what the characters call the user until it is changed.
extern const char* const kDefaultFamilyName;
extern const char* const kDefaultGivenName;
extern const char* const kDefaultFamilyReading;
extern const char* const kDefaultGivenReading;
extern const char* const kDefaultNickname;

// The settings, each member starting at its default.
struct CounterSettings {
  int32_t char0 = 0;
  int32_t char1 = 1;
  int32_t timer = 5;
  int32_t delay = 0;
  int32_t name = 0;
  int32_t rand = 0;
  int32_t wave = 0;
  int32_t repl = 0;
  int32_t form = 0;
  std::string name1a = kDefaultFamilyName;
  std::string name1b = kDefaultGivenName;
  std::string name2a = kDefaultFamilyReading;
  std::string name2b = kDefaultGivenReading;
  std::string name3 = kDefaultNickname;
  std::string usewave = "1111111111";
  std::string dirwave;  // the game's folder as its registry entry gives it, when loaded
};

// Every setting the registry keeps, by the name of its value, in the order they are stored.
template <class T>
struct SettingField {
  const char* name;
  T CounterSettings::*member;
};
inline constexpr SettingField<int32_t> kIntegerSettings[] = {
    {"char0", &CounterSettings::char0}, {"char1", &CounterSettings::char1}, {"timer", &CounterSettings::timer},
    {"delay", &CounterSettings::delay}, {"name", &CounterSettings::name},   {"rand", &CounterSettings::rand},
    {"wave", &CounterSettings::wave},   {"repl", &CounterSettings::repl},   {"form", &CounterSettings::form},
};
inline constexpr SettingField<std::string> kTextSettings[] = {
    {"name1a", &CounterSettings::name1a}, {"name1b", &CounterSettings::name1b},
    {"name2a", &CounterSettings::name2a}, {"name2b", &CounterSettings::name2b},
    {"name3", &CounterSettings::name3},   {"usewave", &CounterSettings::usewave},
    {"dirwave", &CounterSettings::dirwave},
};

extern const char* const kSettingsKey;
extern const char* const kGameKey;

// A game file's path: the folder and the name joined by exactly one backslash.
std::string GameFilePath(const std::string& folder, const std::string& fileName);

// True when voice requests for the two clips may rebuild the same WAV file: a clip's request
// makes the WAV of the clip or, failing that, of its "00" form (GetVoiceWave), and file names
// compare regardless of letter case.
bool VoiceWavesOverlap(const char* clip, const char* other);

class TfrmData : public ui::Form {
 public:
  TfrmData();

  ui::Image* imgIcon = nullptr;
  bool SoundsReplacedAtLoad = false;

  CounterSettings counterSettings;
  StartHistory startHistory{};
  ChipSlot ChipState[2];  // what the left (0) and right (1) figures draw next

  bool LoadSettings();
  void SaveSettings();
  bool FindGameFolder(std::string& folder);
  bool GameFilesPresent();

  // Start history (data/history.cpp).
  std::string StartHistoryPath();
  void LoadStartHistory();
  void RecordStart(platform::CTime time, const std::tm& local);
  void SaveStartHistory();
  bool FirstSetupPending();

  // Roster (data/roster.cpp). style -1: the `name` setting; 0: full name; other: short name.
  std::string CharacterName(int style, int index);
  std::string ToFullWidth(const std::string& text);

  // Game archives (data/archive.cpp): sprite sheets out of grp.pak into the work folder, and
  // voice clips out of voice.pak as WAV files (path relative to the work folder, or "").
  bool ExtractImages();
  // The missing sheets of `needed`, so that these can be drawn. The missing sheets before them
  // in the table's order only pass through the decoder, as their packed data makes its window
  // go on; a later ExtractImages() writes them and the rest, each as it would have come out in
  // the table's order.
  bool ExtractImages(const std::vector<std::string>& needed);
  std::string GetVoiceWave(const char* clipName, bool preferVariant);
  std::string ExtractVoice(const char* clipName, bool preferVariant);

  // Figures (data/sprites.cpp): one figure into its box over the backdrop behind it, or both
  // slots (mode -1: the roster's resting poses; otherwise the chip state).
  void DrawCharacter(int character, int variant, ui::Image* background, ui::Image* target, int pose);
  void DrawCharacters(int mode, ui::Image* target0, ui::Image* background, ui::Image* target1);

  // Windows logon and exit sounds: the exit clip is chosen by the seconds of the moment
  // (ExitSoundClip), or given.
  void ReplaceSystemSounds(bool preferNameless);
  void ReplaceSystemSounds(bool preferNameless, const char* exitClip);
  const char* ExitSoundClip();
  bool VoiceEnabled();

 private:
  // Takes the given missing sheets out of grp.pak, in the given order; with `now` not empty,
  // writes only those and passes the others through the decoder (see ExtractImages).
  bool ExtractSheets(const std::vector<std::string>& missing, const std::vector<std::string>& now);
  // Sheets passed over by ExtractImages(needed), with the decoder's carry each starts from, and
  // the carry the sheets after them start from (where the table's order left the decoder).
  std::vector<std::pair<std::string, LzssCarry>> deferredSheets_;
  LzssCarry sheetWindow_;  // the decoder's window as the sheets extracted so far left it
  std::optional<LzssCarry> sheetFlow_;
  struct FigureScratch;  // pixel blocks kept from one figure to the next (data/sprites.cpp)
  std::shared_ptr<FigureScratch> scratch_;  // shared_ptr: the type is complete only there
  // The history block as loaded, and this start as recorded: a save that finds the file
  // changed by another counter in the meantime counts this start on that file's block.
  std::string loadedHistory_;
  std::optional<std::pair<platform::CTime, std::tm>> recordedStart_;
};

