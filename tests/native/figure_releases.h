#pragma once
// Button releases around a 120 x 176 figure box, pressed inside it: only a left release inside
// the box counts as a click on the figure. Shared by the windows whose figures step on a click.
#include "ui/ui.h"

namespace native_support {

struct FigureRelease {
  const char* what;
  ui::MouseButton button;
  int x, y;
  bool steps;
};

inline constexpr FigureRelease kFigureReleases[] = {
    {"left, top-left pixel", ui::MouseButton::Left, 0, 0, true},
    {"left, bottom-right pixel", ui::MouseButton::Left, 119, 175, true},
    {"left, just right of the figure", ui::MouseButton::Left, 120, 50, false},
    {"left, just below it", ui::MouseButton::Left, 50, 176, false},
    {"left, left of it", ui::MouseButton::Left, -1, 50, false},
    {"left, above it", ui::MouseButton::Left, 50, -1, false},
    {"right button", ui::MouseButton::Right, 50, 50, false},
    {"middle button", ui::MouseButton::Middle, 50, 50, false},
};

}  // namespace native_support
