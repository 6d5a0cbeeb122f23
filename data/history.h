#pragma once
// The start history: one 64-byte block, kept in a file of its own and shared with the
// integrated counter environment, which reads and writes the same layout.
#include <cstddef>
#include <cstdint>

struct StartHistory {
  int32_t firstStart;        // C time of the first recorded start
  uint32_t startNumber;      // number the next start will have: recorded starts + 1
  int32_t lastStart;         // C time of the latest start; <= 0 means none
  uint32_t startsOnLastDay;  // starts on the local calendar day of lastStart
  uint32_t maxStartsPerDay;  // the most startsOnLastDay has ever been
  uint8_t reserved[44];      // not ours: kept as the file holds it
};

// The file holds the block exactly as it lies in memory; every target is little-endian.
static_assert(sizeof(StartHistory) == 64);
static_assert(offsetof(StartHistory, maxStartsPerDay) == 16);
static_assert(offsetof(StartHistory, reserved) == 20);
