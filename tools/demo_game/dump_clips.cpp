// dump_clips: lists every voice clip that the counter may ask the voice archive for, so that
// tools/make_demo_game.py makes one for each and the scenario tables stay the only list.
//
// First a line "NameTokens" with the six name tokens. Then one line per use of a clip: name,
// speaker (roster index), the clip's place in its row (0..4) and the row's three lines of text.
// The scenario tables come first, then the exit sound candidates, which have no text. Fields are
// separated by tabs; texts are Shift-JIS, as the tables hold them.
#include <cstdio>

#include "counter/scenario.h"

int main() {
  std::printf("NameTokens");
  for (const char* token : NameTokens) std::printf("\t%s", token);
  std::printf("\n");
  for (int speaker = 0; speaker < 10; ++speaker)
    for (const ScenarioRow* row = ScenarioTables[speaker];; ++row) {
      for (int place = 0; place < 5 && row->clips[place]; ++place)
        std::printf("%s\t%d\t%d\t%s\t%s\t%s\n", row->clips[place], speaker, place, row->lines[0],
                    row->lines[1], row->lines[2]);
      if (row->kind == -1) break;
    }
  for (int speaker = 0; speaker < 10; ++speaker)
    for (const char* const* clip = ExitClips[speaker]; *clip; ++clip)
      std::printf("%s\t%d\t0\t\t\t\n", *clip, speaker);
  return 0;
}
