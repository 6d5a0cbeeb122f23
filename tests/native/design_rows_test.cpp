// Forms are built from design rows: every kind is made from a row of its kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/native_support.h"
#include "ui/ui.h"

namespace {

using ui::Bind;

class EveryKind : public ui::Form {
 public:
  EveryKind() {
    SetClientSize(200, 200);
    Build({
        Bind(img, {.name = "img"}),      Bind(lbl, {.name = "lbl"}),       Bind(shp, {.name = "shp"}),
        Bind(bev, {.name = "bev"}),      Bind(btn, {.name = "btn"}),       Bind(bbt, {.name = "bbt"}),
        Bind(chk, {.name = "chk"}),      Bind(rbt, {.name = "rbt"}),       Bind(gbx, {.name = "gbx"}),
        Bind(pnl, {.name = "pnl"}),      Bind(edt, {.name = "edt"}),       Bind(upd, {.name = "upd"}),
        Bind(cbx, {.name = "cbx"}),      Bind(lst, {.name = "lst"}),       Bind(tim, {.name = "tim"}),
        Bind(mpl, {.name = "mpl"}),
    });
  }
  ui::Image* img = nullptr;
  ui::Label* lbl = nullptr;
  ui::Shape* shp = nullptr;
  ui::Bevel* bev = nullptr;
  ui::Button* btn = nullptr;
  ui::BitmapButton* bbt = nullptr;
  ui::CheckBox* chk = nullptr;
  ui::RadioButton* rbt = nullptr;
  ui::GroupBox* gbx = nullptr;
  ui::Panel* pnl = nullptr;
  ui::Edit* edt = nullptr;
  ui::UpDown* upd = nullptr;
  ui::ComboBox* cbx = nullptr;
  ui::ListBox* lst = nullptr;
  ui::Timer* tim = nullptr;
  ui::MediaPlayer* mpl = nullptr;
};

template <class T>
void ExpectMade(const ui::Form& form, const T* member, const char* name) {
  SCOPED_TRACE(name);
  ASSERT_NE(nullptr, member);
  EXPECT_EQ(T::kKind, member->GetKind());
  EXPECT_EQ(member, form.FindComponent(name));
}

TEST(DesignRows, EveryKindIsMadeFromARowOfItsKind) {
  native_support::ResetProcessState();
  EveryKind form;
  ExpectMade(form, form.img, "img");
  ExpectMade(form, form.lbl, "lbl");
  ExpectMade(form, form.shp, "shp");
  ExpectMade(form, form.bev, "bev");
  ExpectMade(form, form.btn, "btn");
  ExpectMade(form, form.bbt, "bbt");
  ExpectMade(form, form.chk, "chk");
  ExpectMade(form, form.rbt, "rbt");
  ExpectMade(form, form.gbx, "gbx");
  ExpectMade(form, form.pnl, "pnl");
  ExpectMade(form, form.edt, "edt");
  ExpectMade(form, form.upd, "upd");
  ExpectMade(form, form.cbx, "cbx");
  ExpectMade(form, form.lst, "lst");
  ExpectMade(form, form.tim, "tim");
  ExpectMade(form, form.mpl, "mpl");
  EXPECT_EQ(16u, form.Components().size());
}

}  // namespace
