#pragma once
// Bytes recorded once from Windows' own mapping (LCMapStringA with LCMAP_FULLWIDTH, code page
// 932) of the roster's names: the native build's mapping and Wine's must both give them.
#include <string>
#include <vector>

#include "data/roster.h"

namespace test_fixtures {

struct RecordedFullWidth {
  std::string input;
  std::string expected;
};

inline std::vector<RecordedFullWidth> RecordedFullWidthNames() {
  return {
      {Roster[0].fullName, "\x8F\x7C\x89\xAA\x81\x40\x82\xBF\x82\xC6\x82\xB9"},
      {Roster[6].fullName, "\x96\x50\x8F\xF0\x89\x40\x81\x40\x97\xDA\x97\x9E\x8E\x71"},
      {Roster[7].fullName,
       "\x83\x4A\x83\x65\x83\x8A\x81\x5B\x83\x69\x81\x45\x83\x94\x83\x48\x83\x8B\x83\x52\x83\x74"
       "\x83\x58\x83\x4A\x83\x84"},
      {"", ""},
      // The result ends at the first zero byte.
      {std::string("A\0B", 3), "\x82\x60"},
  };
}

}  // namespace test_fixtures
