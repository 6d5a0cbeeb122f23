#pragma once
// The windowed kinds, one small class each. The model holds the state; a program change never
// raises an event unless the kind's rule below says so, and a user's change always does.
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
  Button(Form* owner, std::string name, Kind kind = kKind) : WinControl(owner, kind, std::move(name)) {}
  bool isDefault = false;  // Enter presses it
  bool isCancel = false;   // Esc presses it
  int modalResult = mrNone;  // given to a modal form before onClick runs
  Handler onClick;
  // A press of the button, by the user or the program.
  void Click();
  void UserClick() override { Click(); }
  std::unique_ptr<Peer> MakePeer() override;
};

// A button that shows a picture, alone or beside its caption.
class BitmapButton : public Button {
 public:
  static constexpr Kind kKind = Kind::BitmapButton;
  BitmapButton(Form* owner, std::string name) : Button(owner, std::move(name), kKind) {}
  Bitmap glyph;
  std::unique_ptr<Peer> MakePeer() override;
};

class CheckBox : public WinControl {
 public:
  static constexpr Kind kKind = Kind::CheckBox;
  CheckBox(Form* owner, std::string name) : WinControl(owner, kKind, std::move(name)) {}
  bool Checked() const { return checked_; }
  // A change of the mark raises onClick, whether the user or the program made it.
  void SetChecked(bool checked);
  Handler onClick;
  void UserClick() override { SetChecked(!checked_); }
  std::unique_ptr<Peer> MakePeer() override;

 private:
  bool checked_ = false;
};

// Radio buttons form one group per parent: checking one clears the others.
class RadioButton : public WinControl {
 public:
  static constexpr Kind kKind = Kind::RadioButton;
  RadioButton(Form* owner, std::string name) : WinControl(owner, kKind, std::move(name)) {}
  bool Checked() const { return checked_; }
  // Checking raises onClick, whether the user or the program did it.
  void SetChecked(bool checked);
  Handler onClick;
  void UserClick() override { SetChecked(true); }
  std::unique_ptr<Peer> MakePeer() override;

 private:
  bool checked_ = false;
};

class GroupBox : public WinControl {
 public:
  static constexpr Kind kKind = Kind::GroupBox;
  GroupBox(Form* owner, std::string name) : WinControl(owner, kKind, std::move(name)) { tabStop = false; }
  std::unique_ptr<Peer> MakePeer() override;
};

enum class BevelCut { None, Lowered, Raised };

// A container with a coloured face and bevelled edges; holds painted and windowed controls.
class Panel : public WinControl {
 public:
  static constexpr Kind kKind = Kind::Panel;
  Panel(Form* owner, std::string name) : WinControl(owner, kKind, std::move(name)) { tabStop = false; }
  BevelCut bevelOuter = BevelCut::Raised;
  BevelCut bevelInner = BevelCut::None;
  // A sunken edge around the whole panel; the client area, where the bevels, the face and the
  // controls inside lie, is the part within it.
  bool singleBorder = false;
  Color color = kButtonFace;
  std::unique_ptr<Peer> MakePeer() override;
};

class Edit : public WinControl {
 public:
  static constexpr Kind kKind = Kind::Edit;
  Edit(Form* owner, std::string name) : WinControl(owner, kKind, std::move(name)) {}
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
  std::unique_ptr<Peer> MakePeer() override;

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
  UpDown(Form* owner, std::string name) : WinControl(owner, kKind, std::move(name)) { tabStop = false; }
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
  std::unique_ptr<Peer> MakePeer() override;

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

// A drop-down list without free text; with onDrawItem set (before the form's window is made)
// the form draws every row and the field itself.
class ComboBox : public WinControl {
 public:
  static constexpr Kind kKind = Kind::ComboBox;
  ComboBox(Form* owner, std::string name) : WinControl(owner, kKind, std::move(name)) {}
  int itemHeight = 0;  // 0: the system's
  ItemDrawer onDrawItem;
  const std::vector<std::string>& Items() const { return items_; }
  void Clear();
  void Add(const std::string& item);
  int ItemIndex() const { return itemIndex_; }
  // A selection made by the program raises no event.
  void SetItemIndex(int index);
  // The user's choice of an item raises onChange.
  void Choose(int index);
  Handler onChange;
  std::unique_ptr<Peer> MakePeer() override;

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

// A list of rows; with onDrawItem set the form draws every row itself.
class ListBox : public WinControl {
 public:
  static constexpr Kind kKind = Kind::ListBox;
  ListBox(Form* owner, std::string name) : WinControl(owner, kKind, std::move(name)) {}
  int itemHeight = 16;
  ItemDrawer onDrawItem;
  const std::vector<std::string>& Items() const { return items_; }
  void Clear();
  void Add(const std::string& item);
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);  // raises no event
  void Choose(int index);        // the user's choice: onClick
  void Activate(int index);      // a double click or Enter on a row: onDblClick
  Handler onClick;
  Handler onDblClick;
  std::unique_ptr<Peer> MakePeer() override;

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

}  // namespace ui
