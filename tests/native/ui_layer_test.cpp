// The component layer's shared rules on the headless backend: which changes raise events,
// which input reaches a control, the dialog keyboard, modal forms and menus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/native_support.h"
#include "ui/headless/headless.h"
#include "ui/input.h"
#include "ui/ui.h"

namespace {

namespace headless = ui::headless;
using ui::Bind;

class Dialog : public ui::Form {
 public:
  explicit Dialog(ui::Form* owner = nullptr) {
    ownerForm = owner;
    caption = "試験";
    SetClientSize(300, 200);
    Build({
        Bind(gbxGroup, {.name = "gbxGroup", .left = 8, .top = 8, .width = 200, .height = 100, .caption = "組(&G)", .tabOrder = 2}),
        Bind(rbtA, {.name = "rbtA", .left = 8, .top = 16, .width = 80, .height = 16, .caption = "甲", .parent = gbxGroup}),
        Bind(rbtB, {.name = "rbtB", .left = 8, .top = 36, .width = 80, .height = 16, .caption = "乙", .parent = gbxGroup}),
        Bind(rbtOutside, {.name = "rbtOutside", .left = 220, .top = 8, .width = 60, .height = 16, .caption = "外", .tabOrder = 3}),
        Bind(chkFlag, {.name = "chkFlag", .left = 8, .top = 112, .width = 120, .height = 16, .caption = "印(&M)", .tabOrder = 1}),
        Bind(lblName, {.name = "lblName", .left = 8, .top = 136, .caption = "名前(&N)", .autoSize = true, .focusControl = edtName}),
        Bind(edtName, {.name = "edtName", .left = 80, .top = 134, .width = 100, .height = 20, .tabOrder = 4, .maxLength = 12}),
        Bind(btnOk, {.name = "btnOk", .left = 120, .top = 168, .width = 75, .height = 25, .caption = "OK", .isDefault = true, .modalResult = ui::mrOk, .tabOrder = 0}),
        Bind(btnCancel, {.name = "btnCancel", .left = 200, .top = 168, .width = 75, .height = 25, .caption = "キャンセル", .isCancel = true, .modalResult = ui::mrCancel, .tabOrder = 5}),
        Bind(timTick, {.name = "timTick", .enabled = true, .interval = 100}),
    });
    timTick->onTimer = [this] { ++ticks; };
  }
  ui::GroupBox* gbxGroup;
  ui::RadioButton *rbtA, *rbtB, *rbtOutside;
  ui::CheckBox* chkFlag;
  ui::Label* lblName;
  ui::Edit* edtName;
  ui::Button *btnOk, *btnCancel;
  ui::Timer* timTick;
  int ticks = 0;
};

class UiLayer : public ::testing::Test {
 protected:
  void SetUp() override { native_support::ResetMachine(); }
  void TearDown() override { native_support::ResetMachine(); }
};

TEST_F(UiLayer, ProgramChangesOfMarksRaiseClicksLikeTheUsers) {
  Dialog form;
  form.Show();
  std::vector<std::string> clicks;
  form.chkFlag->onClick = [&] { clicks.push_back("chk " + std::to_string(form.chkFlag->Checked())); };
  form.rbtA->onClick = [&] { clicks.push_back("A"); };
  form.rbtB->onClick = [&] { clicks.push_back("B"); };
  form.chkFlag->SetChecked(true);
  form.chkFlag->SetChecked(true);  // no change, no click
  headless::Click(*form.chkFlag);
  form.rbtA->SetChecked(true);
  headless::Click(*form.rbtB);
  EXPECT_EQ((std::vector<std::string>{"chk 1", "chk 0", "A", "B"}), clicks);
  EXPECT_FALSE(form.rbtA->Checked());
  EXPECT_TRUE(form.rbtB->Checked());
}

TEST_F(UiLayer, RadioButtonsAreGroupedByTheirParent) {
  Dialog form;
  form.Show();
  form.rbtA->SetChecked(true);
  form.rbtOutside->SetChecked(true);
  EXPECT_TRUE(form.rbtA->Checked());
  form.rbtB->SetChecked(true);
  EXPECT_FALSE(form.rbtA->Checked());
  EXPECT_TRUE(form.rbtOutside->Checked());
}

TEST_F(UiLayer, DisabledOrHiddenControlsTakeNoInput) {
  Dialog form;
  form.Show();
  int clicks = 0;
  form.btnOk->onClick = [&] { ++clicks; };
  form.btnOk->SetEnabled(false);
  EXPECT_FALSE(headless::Click(*form.btnOk));
  EXPECT_FALSE(headless::PressKey(form, headless::Key::Enter));
  form.btnOk->SetEnabled(true);
  form.btnOk->SetVisible(false);
  EXPECT_FALSE(headless::Click(*form.btnOk));
  form.btnOk->SetVisible(true);
  form.gbxGroup->SetEnabled(false);  // a disabled container disables what it holds
  EXPECT_FALSE(headless::Click(*form.rbtA));
  EXPECT_EQ(0, clicks);
  EXPECT_TRUE(headless::Click(*form.btnOk));
  EXPECT_EQ(1, clicks);
}

TEST_F(UiLayer, TabFollowsTabOrderIntoContainersAndSkipsWhatCannotTakeFocus) {
  Dialog form;
  form.Show();
  EXPECT_EQ(form.btnOk, headless::Focused(form));
  form.rbtOutside->SetEnabled(false);
  const ui::WinControl* expected[] = {form.chkFlag, form.rbtA, form.rbtB, form.edtName, form.btnCancel, form.btnOk};
  for (const ui::WinControl* control : expected) {
    headless::PressKey(form, headless::Key::Tab);
    EXPECT_EQ(control, headless::Focused(form)) << control->Name();
  }
  headless::PressKey(form, headless::Key::ShiftTab);
  EXPECT_EQ(form.btnCancel, headless::Focused(form));
}

TEST_F(UiLayer, EnterAndEscPressTheDefaultAndCancelButtons) {
  Dialog form;
  form.Show();
  std::vector<std::string> pressed;
  form.btnOk->onClick = [&] { pressed.push_back("ok"); };
  form.btnCancel->onClick = [&] { pressed.push_back("cancel"); };
  form.edtName->SetFocus();
  headless::PressKey(form, headless::Key::Enter);
  headless::PressKey(form, headless::Key::Escape);
  form.btnCancel->SetFocus();
  headless::PressKey(form, headless::Key::Enter);  // a focused button takes Enter itself
  form.btnCancel->SetEnabled(false);
  EXPECT_FALSE(headless::PressKey(form, headless::Key::Escape));
  EXPECT_EQ((std::vector<std::string>{"ok", "cancel", "cancel"}), pressed);
}

TEST_F(UiLayer, MnemonicsClickButtonsAndLabelsFocusTheirControl) {
  Dialog form;
  form.Show();
  EXPECT_TRUE(headless::PressAlt(form, 'n'));
  EXPECT_EQ(form.edtName, headless::Focused(form));
  EXPECT_TRUE(headless::PressAlt(form, 'M'));
  EXPECT_TRUE(form.chkFlag->Checked());
  EXPECT_FALSE(headless::PressAlt(form, 'Z'));
}

TEST_F(UiLayer, CaptionsShowMnemonicsWithoutTheirMark) {
  EXPECT_EQ('C', ui::MnemonicOf("詳細設定(&C)..."));
  EXPECT_EQ('F', ui::MnemonicOf("機能(&f)"));
  EXPECT_EQ(0, ui::MnemonicOf("A&&B"));
  EXPECT_EQ(0, ui::MnemonicOf("末尾&"));
  EXPECT_EQ("詳細設定(C)...", ui::StripMnemonic("詳細設定(&C)..."));
  EXPECT_EQ("A&B", ui::StripMnemonic("A&&B"));
  // A label measures what it shows: the "&" takes no room (the headless metric: 6 px a byte).
  EXPECT_EQ(ui::MeasureText(ui::Font{}, "AB").width, ui::MeasureText(ui::Font{}, "&AB", true).width);
}

TEST_F(UiLayer, EditKeepsItsByteLimitWithoutCuttingACharacter) {
  Dialog form;
  form.Show();
  headless::TypeText(*form.edtName, "あいうえおかき");  // seven double-byte characters
  EXPECT_EQ("あいうえおか", form.edtName->Text());
  form.edtName->SetText("abcdefghijk");
  headless::TypeText(*form.edtName, "あ1");  // the double-byte one would end at byte 13
  EXPECT_EQ("abcdefghijk1", form.edtName->Text());
}

// A list with a double-click action, an up-down on an edit box, and a default button.
class ListDialog : public ui::Form {
 public:
  ListDialog() {
    SetClientSize(200, 200);
    Build({
        Bind(lstRows, {.name = "lstRows", .left = 8, .top = 8, .width = 100, .height = 100, .tabOrder = 0}),
        Bind(edtNumber, {.name = "edtNumber", .left = 8, .top = 120, .width = 17, .height = 20, .maxLength = 1}),
        Bind(updNumber, {.name = "updNumber", .left = 25, .top = 120, .width = 15, .height = 20, .min = 1, .max = 9,
                         .associate = edtNumber}),
        Bind(btnOk, {.name = "btnOk", .left = 120, .top = 168, .width = 75, .height = 25, .caption = "OK",
                     .isDefault = true}),
    });
    for (const char* row : {"甲", "乙", "丙"}) lstRows->Add(row);
    lstRows->onDblClick = [this] { opened.push_back(lstRows->ItemIndex()); };
    btnOk->onClick = [this] { ++okPresses; };
  }
  ui::ListBox* lstRows;
  ui::Edit* edtNumber;
  ui::UpDown* updNumber;
  ui::Button* btnOk;
  std::vector<int> opened;
  int okPresses = 0;
};

TEST_F(UiLayer, EnterInAFocusedListOpensItsSelectedRowAndNeverPressesTheDefaultButton) {
  ListDialog form;
  form.Show();
  ASSERT_EQ(form.lstRows, headless::Focused(form));
  EXPECT_FALSE(headless::PressKey(form, headless::Key::Enter));  // no row selected: nothing
  headless::ChooseItem(*form.lstRows, 1);
  EXPECT_TRUE(headless::PressKey(form, headless::Key::Enter));
  headless::ActivateItem(*form.lstRows, 2);
  EXPECT_EQ((std::vector<int>{1, 2}), form.opened);
  EXPECT_EQ(0, form.okPresses);
  headless::PressKey(form, headless::Key::Tab);  // to the edit box: Enter is the default button's
  EXPECT_TRUE(headless::PressKey(form, headless::Key::Enter));
  EXPECT_EQ(1, form.okPresses);
}

TEST_F(UiLayer, AnUpDownTakesATypedNumberOnlyWithinItsRange) {
  ListDialog form;
  form.Show();
  form.updNumber->SetPosition(5);
  EXPECT_EQ("5", form.edtNumber->Text());
  const struct {
    const char* typed;
    int position;
  } cases[] = {{"7", 7}, {"0", 7}, {"x", 7}, {"9", 9}, {"", 9}, {"1", 1}, {"-", 1}};
  for (const auto& c : cases) {
    headless::TypeOver(*form.edtNumber, c.typed);
    EXPECT_EQ(c.position, form.updNumber->Position()) << '"' << c.typed << '"';
    EXPECT_EQ(c.typed, form.edtNumber->Text()) << "the box keeps what was typed";
  }
  headless::TypeOver(*form.edtNumber, "8");
  headless::StepUpDown(*form.updNumber, +1);
  headless::StepUpDown(*form.updNumber, +1);  // no wrap
  EXPECT_EQ(9, form.updNumber->Position());
  EXPECT_EQ("9", form.edtNumber->Text());
  headless::TypeOver(*form.edtNumber, "0");  // refused as a position: the arrows go on from 9
  headless::StepUpDown(*form.updNumber, -1);
  EXPECT_EQ(8, form.updNumber->Position());
}

TEST_F(UiLayer, ModalFormDisablesItsOwnerWhileTheOwnersTimersGoOn) {
  Dialog owner;
  owner.Show();
  int ownerTicksInside = 0;
  headless::OnModal<Dialog>([&](Dialog& dialog) {
    EXPECT_FALSE(headless::FormEnabled(owner));
    EXPECT_FALSE(headless::Click(*owner.btnOk));
    const int before = owner.ticks;
    headless::AdvanceTime(300);
    ownerTicksInside = owner.ticks - before;
    headless::PressKey(dialog, headless::Key::Enter);
  });
  Dialog dialog(&owner);
  EXPECT_EQ(ui::mrOk, dialog.ShowModal());
  EXPECT_EQ(3, ownerTicksInside);
  EXPECT_TRUE(headless::FormEnabled(owner));
  EXPECT_FALSE(dialog.Visible());
}

TEST_F(UiLayer, NestedModalsAndTheirResults) {
  Dialog owner;
  owner.Show();
  std::vector<std::string> steps;
  headless::OnModal<Dialog>([&](Dialog& outer) {
    headless::OnModal<Dialog>([&](Dialog& inner) {
      EXPECT_FALSE(headless::FormEnabled(outer));
      EXPECT_FALSE(headless::FormEnabled(owner));
      inner.Close();  // the close box: Cancel
    });
    Dialog inner(&outer);
    steps.push_back("inner " + std::to_string(inner.ShowModal()));
    EXPECT_TRUE(headless::FormEnabled(outer));
    EXPECT_FALSE(headless::FormEnabled(owner));
    // A handler can take the button's result back and keep the dialog open.
    outer.btnOk->onClick = [&] { outer.modalResult = ui::mrNone; };
    headless::Click(*outer.btnOk);
    EXPECT_EQ(ui::mrNone, outer.modalResult);
    headless::Click(*outer.btnCancel);
  });
  Dialog outer(&owner);
  steps.push_back("outer " + std::to_string(outer.ShowModal()));
  EXPECT_EQ((std::vector<std::string>{"inner 2", "outer 2"}), steps);
  EXPECT_TRUE(headless::FormEnabled(owner));
}

TEST_F(UiLayer, AModalWithoutAScriptIsClosedAndNoted) {
  Dialog owner;
  owner.Show();
  Dialog dialog(&owner);
  EXPECT_EQ(ui::mrCancel, dialog.ShowModal());
  EXPECT_EQ(1u, headless::UnscriptedModals().size());
}

TEST_F(UiLayer, AnExceptionInAHandlerIsShownAndTheProgramGoesOn) {
  Dialog form;
  form.Show();
  form.timTick->onTimer = [] { throw ui::Error("故障"); };
  headless::AdvanceTime(250);
  ASSERT_EQ(2u, headless::ShownExceptions().size());
  EXPECT_EQ("故障", headless::ShownExceptions()[0].message);
}

TEST_F(UiLayer, MenuItemsRunOnlyWhenTheyAndTheirParentsAreEnabled) {
  Dialog form;
  form.Show();
  int runs = 0;
  ui::MenuItem *top = nullptr, *item = nullptr;
  form.MakeMainMenu("mnuMain", {{&top, "mnuTop", "上(&T)", nullptr, {{&item, "mnuItem", "項目", [&] { ++runs; }}}}});
  EXPECT_TRUE(headless::ChooseMenuItem(*item));
  top->SetEnabled(false);
  headless::ChooseMenuItem(*item);
  top->SetEnabled(true);
  headless::ChooseMenuItem(*top);  // a sub-menu opens, it runs nothing
  EXPECT_EQ(1, runs);
  EXPECT_EQ(form.ClientHeight() + 2 * 3 + 23 + 19, form.OuterHeight());  // the menu bar is outside the client area
}

}  // namespace

// A picture drawn partly or wholly off its target: the part on it lands pixel for pixel, and
// nothing outside the target's pixel block, or under the picture's off-target part, changes.
TEST(BlendOnto, DrawsOnlyThePartOfAPictureThatLiesOnTheTarget) {
  struct Case {
    int left, top;
  };
  const Case cases[] = {{0, 0}, {-1, -1}, {2, 3}, {-2, 1}, {3, -2}, {4, 0}, {0, 4}, {-3, 0}, {0, -3}, {5, 5}};
  constexpr int kSize = 4, kGuard = 8;
  ui::Bitmap picture;
  picture.Resize(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) picture.At(x, y) = 0x00100000u * (y + 1) + 0x10u * (x + 1);  // opaque
  for (const Case& c : cases) {
    // The target's block lies inside a guarded one, so writes past its ends are seen too.
    std::vector<uint32_t> block(kGuard + kSize * kSize + kGuard, 0x5A5A5A5Au);
    ui::BlendOnto(block.data() + kGuard, kSize, kSize, picture, c.left, c.top);
    for (int i = 0; i < kGuard; ++i) {
      EXPECT_EQ(0x5A5A5A5Au, block[i]) << c.left << "," << c.top;
      EXPECT_EQ(0x5A5A5A5Au, block[kGuard + kSize * kSize + i]) << c.left << "," << c.top;
    }
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const int px = x - c.left, py = y - c.top;
        const bool covered = px >= 0 && px < 3 && py >= 0 && py < 3;
        const uint32_t expected = covered ? (0xFF000000u | (0x00100000u * (py + 1) + 0x10u * (px + 1))) : 0x5A5A5A5Au;
        EXPECT_EQ(expected, block[kGuard + y * kSize + x]) << "picture at " << c.left << "," << c.top << ", pixel " << x << "," << y;
      }
  }
}

namespace {

// A bitmap file of 3 x 2 pixels of the given depth and row order, its pixels `offset` bytes in,
// and the pixels it holds, top row first, as a picture keeps them.
struct BmpFixture {
  std::string bytes;
  std::vector<uint32_t> pixels;
};

BmpFixture MakeBmp(int bits, bool topDown, uint32_t offset, bool opaque32 = false) {
  constexpr int kWidth = 3, kHeight = 2;
  BmpFixture f;
  const auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) f.bytes += static_cast<char>(v >> (8 * i)); };
  const auto put16 = [&](uint16_t v) { f.bytes += static_cast<char>(v); f.bytes += static_cast<char>(v >> 8); };
  const int stride = (kWidth * bits / 8 + 3) & ~3;
  f.bytes = "BM";
  put32(offset + stride * kHeight);
  put32(0);
  put32(offset);
  put32(40);
  put32(kWidth);
  put32(static_cast<uint32_t>(topDown ? -kHeight : kHeight));
  put16(1);
  put16(static_cast<uint16_t>(bits));
  put32(opaque32 ? 3 : 0);  // BI_BITFIELDS, with the masks after the header, or BI_RGB
  for (int i = 0; i < 5; ++i) put32(0);
  if (opaque32)
    for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu}) put32(mask);
  f.bytes.resize(offset, '\0');
  const bool alpha = bits == 32 && !opaque32;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      f.pixels.push_back((alpha ? 0x40u * (x + 1) << 24 : 0xFF000000u) | 0x112233u * (y * kWidth + x + 1));
  for (int row = 0; row < kHeight; ++row) {
    const int y = topDown ? row : kHeight - 1 - row;
    std::string line;
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t p = f.pixels[y * kWidth + x];
      line += {static_cast<char>(p), static_cast<char>(p >> 8), static_cast<char>(p >> 16)};
      if (bits == 32) line += static_cast<char>(p >> 24);
    }
    line.resize(stride, '\0');
    f.bytes += line;
  }
  return f;
}

std::vector<uint32_t> PixelsOf(const ui::Bitmap& b) {
  return {b.Pixels(), b.Pixels() + static_cast<size_t>(b.width) * b.height};
}

}  // namespace

// Only a 32-bit top-down bitmap whose pixels are aligned is used where it lies; every form
// gives the same picture as decoding it. One whose bit fields name red, green and blue only is
// opaque, as a 24-bit one is.
TEST(PictureBytes, UsedInPlaceOnlyWhenTheBytesAreThePictureAsKept) {
  struct Case {
    const char* form;
    int bits;
    bool topDown;
    uint32_t offset;
    bool inPlace;
    bool opaque32 = false;
  };
  const Case cases[] = {{"32-bit top-down, aligned", 32, true, 64, true},
                        {"32-bit top-down, unaligned", 32, true, 54, false},
                        {"32-bit bottom-up", 32, false, 64, false},
                        {"24-bit top-down", 24, true, 64, false},
                        {"32-bit opaque top-down, aligned", 32, true, 80, true, true},
                        {"32-bit opaque bottom-up", 32, false, 80, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    const BmpFixture f = MakeBmp(c.bits, c.topDown, c.offset, c.opaque32);
    ui::Bitmap used, decoded;
    ASSERT_TRUE(ui::UseBmp(f.bytes, used));
    ASSERT_TRUE(ui::DecodeBmp(f.bytes, decoded));
    EXPECT_EQ(c.inPlace, used.Borrowed());
    EXPECT_EQ(c.inPlace, used.Pixels() == reinterpret_cast<const uint32_t*>(f.bytes.data() + c.offset));
    EXPECT_FALSE(decoded.Borrowed());
    EXPECT_EQ(f.pixels, PixelsOf(used));
    EXPECT_EQ(f.pixels, PixelsOf(decoded));
    EXPECT_EQ(c.bits == 32 && !c.opaque32, used.hasAlpha);
    EXPECT_EQ(used.hasAlpha, decoded.hasAlpha);
  }
  ui::Bitmap refused;
  EXPECT_FALSE(ui::UseBmp(MakeBmp(32, true, 64).bytes.substr(0, 80), refused)) << "rows missing";
  std::string otherMasks = MakeBmp(32, true, 80, true).bytes;
  otherMasks[56] = 0x7F;  // red's mask 0x007F0000
  EXPECT_FALSE(ui::UseBmp(otherMasks, refused)) << "bit fields other than red, green, blue";
}

// A change to a picture used in place makes the pixels its own: the bytes, and any copy still
// reading them, stay as they were.
TEST(PictureBytes, FirstChangeCopiesABorrowedPicture) {
  const BmpFixture f = MakeBmp(32, true, 64);
  const std::string before = f.bytes;
  ui::Bitmap picture;
  ASSERT_TRUE(ui::UseBmp(f.bytes, picture));
  const ui::Bitmap copy = picture;
  picture.At(1, 1) = 0xFF000000u;
  EXPECT_FALSE(picture.Borrowed());
  EXPECT_EQ(0xFF000000u, picture.At(1, 1));
  EXPECT_EQ(f.pixels[0], picture.At(0, 0));
  EXPECT_EQ(before, f.bytes);
  EXPECT_TRUE(copy.Borrowed());
  EXPECT_EQ(f.pixels, PixelsOf(copy));
  ui::Bitmap blended;
  ASSERT_TRUE(ui::UseBmp(f.bytes, blended));
  ui::BlendOnto(blended, picture, 0, 0);
  EXPECT_EQ(before, f.bytes) << "drawing onto a borrowed picture";
}

// The counter's pictures, read at every logon, are stored so that the program uses them in place.
TEST(PictureBytes, CountersPicturesAreUsedInPlace) {
  for (const char* name : {"COUNT_BACK", "BUBBLE_UPPER", "BUBBLE_LOWER"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(ui::LoadPictureResource(name).Borrowed());
  }
}
