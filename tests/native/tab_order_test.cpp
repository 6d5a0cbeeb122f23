// The tab order of a dialog built from design rows: only controls that take the focus are
// stops. Group boxes and panels hold other controls and an up-down serves its edit box; the
// rows of such kinds leave tabStop at its usual value, and Tab still passes them over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/native_support.h"
#include "ui/headless/headless.h"
#include "ui/ui.h"

namespace {

using ui::headless::Key;

class TimeDialog : public ui::Form {
 public:
  TimeDialog() {
    using ui::Bind;
    SetClientSize(200, 140);
    Build({
        Bind(gbxTime, {.name = "gbxTime", .left = 4, .top = 4, .width = 190, .height = 50, .caption = "表示時間"}),
        Bind(edtTime, {.name = "edtTime", .left = 8, .top = 20, .width = 40, .height = 20, .parent = gbxTime}),
        Bind(updTime, {.name = "updTime", .left = 48, .top = 20, .width = 16, .height = 20, .parent = gbxTime,
                       .min = 1, .max = 9, .associate = edtTime}),
        Bind(pnlNote, {.name = "pnlNote", .left = 4, .top = 60, .width = 190, .height = 40}),
        Bind(chkNote, {.name = "chkNote", .left = 8, .top = 8, .width = 120, .height = 20, .caption = "枠なし",
                       .parent = pnlNote}),
        Bind(btnOk, {.name = "btnOk", .left = 120, .top = 108, .width = 75, .height = 25, .caption = "OK",
                     .isDefault = true}),
    });
  }
  ui::GroupBox* gbxTime;
  ui::Edit* edtTime;
  ui::UpDown* updTime;
  ui::Panel* pnlNote;
  ui::CheckBox* chkNote;
  ui::Button* btnOk;
};

TEST(TabOrder, PassesOverContainersAndUpDowns) {
  native_support::ResetMachine();
  TimeDialog dialog;
  dialog.Show();
  std::vector<std::string> visited{ui::headless::Focused(dialog)->Name()};
  for (int press = 0; press < 3; ++press) {
    ui::headless::PressKey(dialog, Key::Tab);
    visited.push_back(ui::headless::Focused(dialog)->Name());
  }
  EXPECT_EQ((std::vector<std::string>{"edtTime", "chkNote", "btnOk", "edtTime"}), visited);
  dialog.Close();
}

}  // namespace
