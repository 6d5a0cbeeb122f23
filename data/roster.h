#pragma once
// The ten characters of the game that the counter knows, by roster index 0..9.
#include <cstdint>

struct CharacterProfile {
  const char* fullName;   // family name, one ASCII space, given name
  const char* altName;    // a second form of the full name, or ""
  const char* shortName;  // short familiar name
  const char* nickname;   // or ""
  const char* voiceActor;
  int32_t birthMonth;
  int32_t birthDay;
  const char* bloodType;
  double height;
  double spareReal;
  int32_t spareNumber;
  const char* sizes;
  const char* classText;
  const char* spareText;
  const char* ending;      // sentence ending of the count message
  const char* pastEnding;  // past-tense ending
  uint32_t colour;         // 0x00BBGGRR
  int32_t defaultVariant;
  int32_t defaultPose;
  int32_t reserved;
};

constexpr int kRosterSize = 10;

extern const CharacterProfile Roster[kRosterSize];

// AppellationTable[speaker][other]: how the speaker names the other character; on the
// diagonal, the speaker's word for herself.
extern const char* const AppellationTable[kRosterSize][kRosterSize];
