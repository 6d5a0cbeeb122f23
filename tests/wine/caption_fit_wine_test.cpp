// Every caption of every settings-side window fits its place when drawn with the font the
// prefix gives the design font ("MS UI Gothic"): a check box's or radio button's text beside
// its box within the control, a button's and a group box's within their frame, a label clear of
// the controls beside it on its row and inside the field drawn behind it. The designs were
// made for the Windows font's metrics; measured here through the real font of this process.
#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <sstream>
#include <string>

#include "data/Untdata.h"
#include "platform/registry.h"
#include "settings/Untdir.h"
#include "settings/Untgirl.h"
#include "settings/Untinit.h"
#include "settings/Untmain.h"
#include "tests/wine/program_runner.h"
#include "tests/wine/shell_support.h"
#include "ui/painted.h"
#include "ui/windowed.h"

namespace {

using ui::Kind;

// Wine's check box and radio button draw their box 13 pixels wide and start the text half a
// "0" after it.
int BoxAllowance(const ui::Font& font) { return 13 + ui::MeasureText(font, "0").width / 2; }

// `other` stands on the label's row: its middle lies within the label's height.
bool OnTheRowOf(const ui::Control& label, const ui::Control& other) {
  const int middle = other.Top() + other.Height() / 2;
  return middle >= label.Top() && middle < label.Top() + label.Height();
}

// What does not fit in `form`, a line each: the control, the room it needs and the room it has.
// Controls inside `rosterNames` are left out: they show the characters' names, which the name
// style changes, and the longest full name (16 half-width characters) is longer than its box
// in any font, as on Windows.
std::string Overflows(const ui::Form& form, const ui::Control* rosterNames = nullptr) {
  std::ostringstream out;
  const auto note = [&](const ui::Control& c, int needed, int room) {
    if (needed > room) out << form.caption << " / " << c.Name() << ": needs " << needed << ", has " << room << "\n";
  };
  for (const auto& component : form.Components()) {
    const auto* c = dynamic_cast<const ui::Control*>(component.get());
    if (!c || (rosterNames && c->Parent() == rosterNames)) continue;
    const ui::Font& font = form.font;
    const auto* windowed = dynamic_cast<const ui::WinControl*>(c);
    const int text = windowed ? ui::MeasureText(font, windowed->Caption(), true).width : 0;
    switch (c->GetKind()) {
      case Kind::CheckBox:
      case Kind::RadioButton:
        note(*c, BoxAllowance(font) + text, c->Width());
        break;
      case Kind::Button:
        note(*c, text + 4, c->Width());
        break;
      case Kind::GroupBox:
        note(*c, text + 12, c->Width());
        break;
      case Kind::Label: {
        const auto& label = static_cast<const ui::Label&>(*c);
        const int right = label.Left() + ui::MeasureText(label.GetFont(), label.Caption(), true).width;
        for (const auto& other : form.Components()) {
          const auto* o = dynamic_cast<const ui::Control*>(other.get());
          if (!o || o == c || o->Parent() != c->Parent()) continue;
          const bool beside = o->Left() > c->Left() && OnTheRowOf(*c, *o) && o->GetKind() != Kind::Image &&
                              o->GetKind() != Kind::Shape && o->GetKind() != Kind::Bevel;
          const bool behind = o->GetKind() == Kind::Shape && o->Left() <= c->Left() && o->Top() <= c->Top() &&
                              o->Left() + o->Width() > c->Left() && o->Top() + o->Height() > c->Top();
          if (beside) note(*c, right, o->Left());
          if (behind) note(*c, right, o->Left() + o->Width());
        }
        break;
      }
      default:
        break;
    }
  }
  return out.str();
}

TEST(CaptionFitWine, EveryCaptionFitsItsPlaceInTheDesignFont) {
  platform::RegistryKey(kSettingsKey, true).WriteInteger("char0", 0);
  platform::RegistryKey("\\Software\\Vant\\Marivel2 KORVEN", true).WriteText("InstallDir", wine_test::DemoGame());
  const wine_test::WorkFolder work("m2k-caption-fit");  // where the windows take out their sheets
  TfrmData data;
  TfrmMain main(data);
  TfrmVer about(main);
  TfrmInit init(main, data);
  TfrmDir dir(init, data, data.counterSettings.dirwave);
  TfrmGirl girl(main, data);
  std::string overflows;
  for (const ui::Form* form : std::initializer_list<const ui::Form*>{&main, &about, &dir, &girl})
    overflows += Overflows(*form);
  overflows += Overflows(init, init.gbxWave);
  EXPECT_EQ("", overflows);
}

}  // namespace
