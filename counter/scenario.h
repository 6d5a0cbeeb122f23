#pragma once
// The first character's voice lines: one constant scenario table per roster index, the tokens
// that stand for the protagonist's name in their texts, and each character's candidates for the
// Windows exit sound. The texts are Shift-JIS (code page 932) once compiled.
#include <cstdint>

// One voice line: up to three lines of text for the upper bubble and up to five voice clips,
// played in order.
//
// kind   0 time of day; 1 a date; 3 a weekday; 4 a line shared with a partner; 5 a month;
//        -1 the end row of a table, which is a complete row too: the fallback line.
// param  kind 0: first hour of the window; kind 1: month * 100 + day; kind 3: weekday 0..6,
//        0 = Sunday; kind 4: roster index of the partner; kind 5: month 1..12.
// hours  kind 0: last hour of the window; the other kinds: first hour * 100 + last hour.
//        Both hours belong to the window; a last hour below the first wraps past midnight.
// variant, pose: the figure of the speaking character while she says the line.
// lines  "" when empty; an empty second line leaves the third unused.
// clips  nullptr when absent; the first absent clip ends the sequence.
//
// A clip name is 21 characters, "K" + nine digits + "_" + six digits + ".OGG":
//   "1", the speaker's table (0..9), the kind of the row that first uses the clip (0, 1, 3, 4, 5,
//   9 for an end row, 8 for an exit sound), that row's index (three digits) and the clip's place
//   in it (1..5), then two digits: "00" for a clip that speaks no name, otherwise the number
//   (01..06) of the name token that the clip speaks; after "_", a serial number within the
//   speaker's clips (three digits) and the speaker (001..009 for roster 0..8, 028 for roster 9).
// Rows that say the same words share the clip of the first row that says them.
struct ScenarioRow {
  int32_t kind, param, hours, variant, pose;
  const char* lines[3];
  const char* clips[5];
};

// ScenarioTables[c]: the lines of character c, ended by a row of kind -1.
extern const ScenarioRow* const ScenarioTables[10];

// The protagonist's default names inside ASCII braces: family name in kanji and in hiragana,
// given name in kanji and in hiragana, short name in hiragana and in katakana.
extern const char* const NameTokens[6];

// ExitClips[c]: up to ten clips of character c, ended by nullptr.
extern const char* const* const ExitClips[10];
