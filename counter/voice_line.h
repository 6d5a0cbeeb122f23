#pragma once
// Choosing and wording the first character's voice line.
#include <ctime>
#include <string>

#include "counter/scenario.h"
#include "data/Untdata.h"
#include "ui/ui.h"

struct VoiceChoice {
  int row;      // index in the table; the end row when nothing matches
  int partner;  // the second character after the choice
};

// The rows that match the moment, in table order; the seconds pick one of them.
VoiceChoice ChooseScenarioRow(const ScenarioRow* table, const std::tm& moment, int rand, int partner);

// Puts the names of `settings` in place of the name tokens; sets `namedOtherwise` when a name
// put in differs from the default the token holds.
std::string SubstituteNames(const CounterSettings& settings, std::string line, bool& namedOtherwise);

// Fills the upper bubble's three labels and lays them out: one point smaller when a line has 50
// bytes or more; one line stands at the second line's height, two share the height in thirds.
void ShowUpperLines(const std::string lines[3], ui::Label* a, ui::Label* b, ui::Label* c);
