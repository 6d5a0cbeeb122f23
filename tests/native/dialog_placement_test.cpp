// Placement of dialogs over the window that opens them.
#include <gtest/gtest.h>

#include "ui/ui.h"

namespace {

struct PlacementCase {
  const char* what;
  int openerLeft, openerTop, openerWidth, openerHeight;
  int ownWidth, ownHeight;
  int expectedLeft, expectedTop;
};

// Screen 1024 x 768 throughout.
const PlacementCase kCases[] = {
    {"centred over the opener", 100, 100, 300, 340, 200, 100, 150, 220},
    {"odd difference truncates", 100, 100, 301, 341, 200, 100, 150, 220},
    {"smaller opener: negative difference truncates toward zero", 300, 300, 100, 100, 201, 201, 250, 250},
    {"off the left and top edges", -200, -150, 100, 100, 300, 300, 0, 0},
    {"past the right and bottom edges", 950, 700, 300, 300, 200, 200, 824, 568},
    {"larger than the screen ends negative", 0, 0, 1024, 768, 1100, 800, -76, -32},
};

TEST(DialogPlacement, CentresThenKeepsInsideTheScreen) {
  for (const PlacementCase& c : kCases) {
    SCOPED_TRACE(c.what);
    const ui::Placement p = ui::DialogPlacement(c.openerLeft, c.openerTop, c.openerWidth, c.openerHeight,
                                                c.ownWidth, c.ownHeight, 1024, 768);
    EXPECT_EQ(c.expectedLeft, p.left);
    EXPECT_EQ(c.expectedTop, p.top);
  }
}

}  // namespace
