#pragma once
// The windowed kinds, one small class each, made from their design row. The model holds the
// state; a program change never raises an event unless the kind's rule below says so, and a
// user's change always does.
#include <functional>
#include <string>
#include <vector>

#include "ui/component.h"

namespace ui {

class UpDown;

enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

class Button : public WinControl {
 public:
  static constexpr Kind kKind = Kind::Button;
  Button(Form* owner, const Design& row, Kind kind = kKind);
  bool isDefault = false;  // Enter presses it
  bool isCancel = false;   // Esc presses it
  int modalResult = mrNone;  // given to a modal form before onClick runs
  Handler onClick;
  // A press of the button, by the user or the program.
  void Click();
  void UserClick() override { Click(); }
};

// A button that shows a picture, alone or beside its caption.
class BitmapButton : public Button {
 public:
  static constexpr Kind kKind = Kind::BitmapButton;
  BitmapButton(Form* owner, const Design& row);
  Bitmap glyph;
};

// What check boxes and radio buttons share: a mark that only the model changes, and onClick.
class Checkable : public WinControl {
 public:
  bool Checked() const { return checked_; }
  Handler onClick;

 protected:
  using WinControl::WinControl;
  // Sets the mark; false when it was so already.
  bool Mark(bool checked);

 private:
  bool checked_ = false;
};

class CheckBox : public Checkable {
 public:
  static constexpr Kind kKind = Kind::CheckBox;
  CheckBox(Form* owner, const Design& row) : Checkable(owner, kKind, row) {}
  // A change of the mark raises onClick, whether the user or the program made it.
  void SetChecked(bool checked);
  void UserClick() override { SetChecked(!Checked()); }
};

// Radio buttons form one group per parent: checking one clears the others.
class RadioButton : public Checkable {
 public:
  static constexpr Kind kKind = Kind::RadioButton;
  RadioButton(Form* owner, const Design& row) : Checkable(owner, kKind, row) {}
  // Checking raises onClick, whether the user or the program did it.
  void SetChecked(bool checked);
  void UserClick() override { SetChecked(true); }
};

// A control that holds others, painted and windowed: a group box or a panel. It never takes
// the focus itself.
class Container : public WinControl {
 protected:
  Container(Form* owner, Kind kind, const Design& row) : WinControl(owner, kind, row) { tabStop = false; }
};

class GroupBox : public Container {
 public:
  static constexpr Kind kKind = Kind::GroupBox;
  GroupBox(Form* owner, const Design& row) : Container(owner, kKind, row) {}
};

enum class BevelCut { None, Lowered, Raised };

// A container with a coloured face and bevelled edges.
class Panel : public Container {
 public:
  static constexpr Kind kKind = Kind::Panel;
  Panel(Form* owner, const Design& row);
  BevelCut bevelOuter = BevelCut::Raised;
  BevelCut bevelInner = BevelCut::None;
  // A sunken edge around the whole panel; the client area, where the bevels, the face and the
  // controls inside lie, is the part within it.
  bool singleBorder = false;
  Color color = kButtonFace;
};

class Edit : public WinControl {
 public:
  static constexpr Kind kKind = Kind::Edit;
  Edit(Form* owner, const Design& row);
  bool readOnly = false;
  Color color = kWhite;
  // Longest text in bytes of the ANSI code page (0: no limit); a double-byte character that
  // would not fit whole is refused, never cut.
  int maxLength = 0;
  const std::string& Text() const { return text_; }
  // Any change of the text raises onChange.
  void SetText(const std::string& text);
  // Text typed by the user at the end of the box, character by character, as far as the limit
  // lets it in.
  void Type(const std::string& text);
  // Text typed over the whole text the user selected: one change, as far as the limit lets
  // it in.
  void TypeOver(const std::string& text);
  Handler onChange;

 private:
  friend class UpDown;
  bool Fits(const std::string& before, const std::string& character) const;
  std::string text_;
  UpDown* upDown_ = nullptr;  // the up-down whose position the box shows
};

// Up and down arrows attached to an edit box that shows their position. A number typed into
// the box becomes the position when it lies within min..max; any other text leaves the
// position where it was, as the system's up-down control reads its box.
class UpDown : public WinControl {
 public:
  static constexpr Kind kKind = Kind::UpDown;
  // Shows its minimum in the edit box of the row's link.
  UpDown(Form* owner, const Design& row);
  ~UpDown() override;
  int min = 0, max = 100;
  bool wrap = false;
  Edit* Associate() const { return associate_; }
  void SetAssociate(Edit* edit);
  int Position() const { return position_; }
  // Kept within min..max; the associated edit box shows the value.
  void SetPosition(int position);
  // One step by the user's arrow (+1 up, -1 down), stopping at the ends unless wrap is set.
  void Step(int delta);
  Handler onClick;

 private:
  friend class Edit;
  void TakeAssociateText();
  Edit* associate_ = nullptr;
  int position_ = 0;
};

struct ItemDraw {
  int index;  // -1: the field of a drop-down list without a selection
  int left, top, width, height;
  bool selected;
};
using ItemDrawer = std::function<void(Canvas& canvas, const ItemDraw& item)>;

// What drop-down lists and lists share: rows of text, one of them selected or none; with
// onDrawItem set (before the form's window is made) the form draws every row itself.
class ItemList : public WinControl {
 public:
  ItemDrawer onDrawItem;
  const std::vector<std::string>& Items() const { return items_; }
  void Clear();
  void Add(const std::string& item);
  int ItemIndex() const { return itemIndex_; }
  // A selection made by the program raises no event.
  void SetItemIndex(int index);
  // The user's choice of an item, which raises the kind's event.
  virtual void Choose(int index) = 0;

 protected:
  using WinControl::WinControl;

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

// A drop-down list without free text; a drawn one draws its field too.
class ComboBox : public ItemList {
 public:
  static constexpr Kind kKind = Kind::ComboBox;
  ComboBox(Form* owner, const Design& row);
  int itemHeight = 0;  // 0: the system's
  void Choose(int index) override;  // onChange
  Handler onChange;
};

// A list of rows.
class ListBox : public ItemList {
 public:
  static constexpr Kind kKind = Kind::ListBox;
  ListBox(Form* owner, const Design& row);
  int itemHeight = 16;
  void Choose(int index) override;  // onClick
  void Activate(int index);         // a double click or Enter on a row: onDblClick
  Handler onClick;
  Handler onDblClick;
};

}  // namespace ui
