#pragma once
// The character figures: sprite sheet names, pose rectangles, walking cycles and the chip state
// of the two figure slots.
#include <cstdint>

#include "data/roster.h"

constexpr int kVariants = 3;

// Sheet file names by character and variant; null where a variant has no sheet.
extern const char* const SpriteFiles[kRosterSize][kVariants];

struct ChipRect {
  int32_t variant, x, y, width, height;
};
// Per character, the pose rectangles in pose order, ended by a record of five -1.
extern const ChipRect* const ChipRects[kRosterSize];
// Per character, the walking cycle of poses, ended by -1.
extern const int32_t* const ChipSequences[kRosterSize];

struct ChipSlot {
  int32_t variant = 0;
  int32_t pose = 0;
};
// One animation tick of a figure: the next pose of the cycle into its slot.
void StepChip(int character, int& frameCounter, ChipSlot& slot);
// Back to the start of the cycle, when the figure's character changes.
void ResetChip(int character, int& frameCounter, ChipSlot& slot);
