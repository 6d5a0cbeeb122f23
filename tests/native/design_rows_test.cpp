// Forms are built from design rows: every kind is made from a row of its kind, and a row's
// links reach controls that the form has made before it reads them.
#include <gtest/gtest.h>

#include <functional>
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
  native_support::ResetMachine();
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

// Members that the rows of the cases below bind and link; null until a row binds them.
struct Members {
  ui::Panel* pnlBox = nullptr;
  ui::Edit* edtText = nullptr;
  ui::UpDown* updText = nullptr;
  ui::Label* lblText = nullptr;
};

TEST(DesignRows, ALinkToAControlTheFormHasNotMadeIsAnError) {
  native_support::ResetMachine();
  // A panel of another form, which the last case links to.
  Members other;
  ui::Form otherForm;
  otherForm.Build({Bind(other.pnlBox, {.name = "pnlBox"})});
  struct Case {
    const char* what;
    std::function<std::vector<ui::Design>(Members&)> rows;
  };
  const Case cases[] = {
      {"a parent of a later row",
       [](Members& m) {
         return std::vector<ui::Design>{Bind(m.edtText, {.name = "edtText", .parent = m.pnlBox}),
                                        Bind(m.pnlBox, {.name = "pnlBox"})};
       }},
      {"an up-down's edit box of a later row",
       [](Members& m) {
         return std::vector<ui::Design>{Bind(m.updText, {.name = "updText", .associate = m.edtText}),
                                        Bind(m.edtText, {.name = "edtText"})};
       }},
      {"a label's control of no row",
       [](Members& m) {
         return std::vector<ui::Design>{Bind(m.lblText, {.name = "lblText", .focusControl = m.edtText})};
       }},
      {"a parent of another form",
       [&other](Members& m) {
         return std::vector<ui::Design>{Bind(m.edtText, {.name = "edtText", .parent = other.pnlBox})};
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Members members;
    ui::Form form;
    EXPECT_THROW(form.Build(c.rows(members)), ui::Error);
  }
}

TEST(DesignRows, ALabelLinksToTheControlOfALaterRow) {
  native_support::ResetMachine();
  Members m;
  ui::Form form;
  form.Build({Bind(m.lblText, {.name = "lblText", .focusControl = m.edtText}),
              Bind(m.pnlBox, {.name = "pnlBox"}),
              Bind(m.edtText, {.name = "edtText", .parent = m.pnlBox}),
              Bind(m.updText, {.name = "updText", .min = 3, .associate = m.edtText})});
  EXPECT_EQ(m.edtText, m.lblText->focusControl);
  EXPECT_EQ(m.pnlBox, m.edtText->Parent());
  EXPECT_EQ(m.edtText, m.updText->Associate());
  EXPECT_EQ("3", m.edtText->Text());
}

}  // namespace
