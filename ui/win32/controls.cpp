// The peers of the windowed kinds: how each is created, how it shows the model, and how the
// user's changes come back into the model before the model's handler runs. Kinds that behave
// alike share a peer; the table at the end names the peer of every kind.
#include "ui/input.h"
#include "ui/win32/common.h"

namespace ui::win32 {
namespace {

// Window subclassing lives in the common controls, which are bound late (EnsureCommonControls
// has loaded them before any windowed control exists).
void Subclass(HWND hwnd, SUBCLASSPROC proc, DWORD_PTR data) {
  static auto* const subclass =
      platform::win32::LateBound<decltype(SetWindowSubclass)>(L"comctl32.dll", "SetWindowSubclass");
  if (subclass) subclass(hwnd, proc, 0, data);
}

void Unsubclass(HWND hwnd, SUBCLASSPROC proc) {
  static auto* const remove =
      platform::win32::LateBound<decltype(RemoveWindowSubclass)>(L"comctl32.dll", "RemoveWindowSubclass");
  if (remove) remove(hwnd, proc, 0);
}

LRESULT NextProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static auto* const next = platform::win32::LateBound<decltype(DefSubclassProc)>(L"comctl32.dll", "DefSubclassProc");
  return next ? next(hwnd, message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

class ButtonPeer : public WinPeer {
 public:
  explicit ButtonPeer(Button& button)
      : WinPeer(button, L"BUTTON", button.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), button_(button) {}
  void Command(WORD code) override {
    // Esc reaches a cancel button even when it is disabled: it never presses one.
    if (code == BN_CLICKED && button_.Usable()) button_.Click();
  }

 private:
  Button& button_;
};

class BitmapButtonPeer : public WinPeer {
 public:
  explicit BitmapButtonPeer(BitmapButton& button) : WinPeer(button, L"BUTTON", BS_OWNERDRAW), button_(button) {
    Subclass(Handle(), KeyProc, reinterpret_cast<DWORD_PTR>(this));
  }
  ~BitmapButtonPeer() override { Unsubclass(Handle(), KeyProc); }
  // An owner-drawn button reports the second press of a quick pair as BN_DOUBLECLICKED, and no
  // BN_CLICKED for it: both are clicks, or quick paging would go at half speed.
  void Command(WORD code) override {
    if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && button_.Usable()) button_.Click();
  }
  bool DrawItem(const DRAWITEMSTRUCT& item) override {
    const int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
    BackBuffer buffer(item.hDC, w, h);
    if (!buffer.Ok()) return false;
    DibCanvas canvas(buffer.Dc(), buffer.Bits(), w, h, 0, 0);
    const bool pushed = item.itemState & ODS_SELECTED;
    RECT r{0, 0, w, h};
    DrawFrameControl(buffer.Dc(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    const int shift = pushed ? 1 : 0;
    Font font = button_.Owner()->font;
    if (!button_.Usable()) font.color = kGray;
    const Size text = button_.Caption().empty() ? Size{} : backend::MeasureText(font, button_.Caption(), true);
    const int gap = text.width > 0 && !button_.glyph.Empty() ? 4 : 0;
    const int total = button_.glyph.width + gap + text.width;
    int x = (w - total) / 2 + shift;
    if (!button_.glyph.Empty()) {
      canvas.DrawBitmap(x, (h - button_.glyph.height) / 2 + shift, button_.glyph);
      x += button_.glyph.width + gap;
    }
    if (text.width > 0) canvas.DrawText(x, (h - text.height) / 2 + shift, button_.Caption(), font, true);
    if (item.itemState & ODS_FOCUS) {
      RECT focus{3, 3, w - 3, h - 3};
      DrawFocusRect(buffer.Dc(), &focus);
    }
    GdiFlush();
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, w, h, buffer.Dc(), 0, 0, SRCCOPY);
    return true;
  }

 private:
  // Enter presses the focused button, as it presses a focused push button: the dialog manager
  // leaves an owner-drawn button out of that rule and would send Enter to the default button.
  static LRESULT CALLBACK KeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<BitmapButtonPeer*>(data);
    if (message == WM_GETDLGCODE && lParam) {
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
        return NextProc(hwnd, message, wParam, lParam) | DLGC_WANTMESSAGE;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
      if (self->button_.Usable()) Guarded([self] { self->button_.Click(); });
      return 0;
    }
    return NextProc(hwnd, message, wParam, lParam);
  }

  BitmapButton& button_;
};

// Check boxes and radio buttons keep their mark in the model: the window never changes it by
// itself, so a click is a request that the model answers.
class CheckPeer : public WinPeer {
 public:
  explicit CheckPeer(CheckBox& box) : CheckPeer(box, BS_CHECKBOX) {}
  explicit CheckPeer(RadioButton& radio) : CheckPeer(radio, BS_RADIOBUTTON) {}
  void Sync() override {
    WinPeer::Sync();
    SendMessageW(Handle(), BM_SETCHECK, mark_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void Command(WORD code) override {
    if (code == BN_CLICKED && mark_.Usable()) mark_.UserClick();
  }

 private:
  CheckPeer(Checkable& mark, DWORD style) : WinPeer(mark, L"BUTTON", style), mark_(mark) {}
  Checkable& mark_;
};

// A panel's single border is the system's sunken client edge: the window draws it outside
// its client area, so everything inside keeps its client coordinates.
DWORD ContainerExStyle(const Container& container) {
  const auto* panel = dynamic_cast<const Panel*>(&container);
  return WS_EX_CONTROLPARENT | (panel && panel->singleBorder ? WS_EX_CLIENTEDGE : 0);
}

// Panels and group boxes are windows of our own class, painted like a form.
class ContainerPeer : public WinPeer {
 public:
  explicit ContainerPeer(Container& container)
      : WinPeer(container, ContainerClassName(), WS_CLIPCHILDREN | WS_CLIPSIBLINGS, ContainerExStyle(container)) {}
  void Sync() override {
    WinPeer::Sync();
    InvalidateRect(Handle(), nullptr, FALSE);
  }
};

class EditPeer : public WinPeer {
 public:
  explicit EditPeer(Edit& edit)
      : WinPeer(edit, L"EDIT", ES_AUTOHSCROLL | (edit.readOnly ? ES_READONLY : 0), WS_EX_CLIENTEDGE), edit_(edit) {
    if (edit.maxLength > 0) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(edit.maxLength), 0);
  }
  void Sync() override {
    WinPeer::Sync();
    SetTextIfChanged(edit_.Text());
    SendMessageW(Handle(), EM_SETREADONLY, edit_.readOnly, 0);
  }
  void Command(WORD code) override {
    if (code != EN_CHANGE || syncing_) return;
    std::string typed;
    // The limit is in Shift-JIS bytes, while the control counts characters: a change that would
    // not fit is taken back whole, so no character is ever cut. So is one with a character that
    // Shift-JIS cannot store (an accented letter, an emoji), which would come back as "?".
    const bool storable = WindowText(Handle(), typed);
    if (!storable || (edit_.maxLength > 0 && typed.size() > static_cast<size_t>(edit_.maxLength))) {
      syncing_ = true;
      SetWindowTextW(Handle(), Wide(edit_.Text()).c_str());
      syncing_ = false;
      const LPARAM end = static_cast<LPARAM>(Wide(edit_.Text()).size());
      SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(end), end);
      MessageBeep(MB_OK);
      return;
    }
    edit_.SetText(typed);
  }
  void Fetch() override {
    std::string text;
    if (!syncing_ && WindowText(Handle(), text)) edit_.SetText(text);
  }

 private:
  Edit& edit_;
};

class UpDownPeer : public WinPeer {
 public:
  explicit UpDownPeer(UpDown& upDown)
      : WinPeer(upDown, UPDOWN_CLASSW, UDS_ARROWKEYS | UDS_NOTHOUSANDS | (upDown.wrap ? UDS_WRAP : 0)),
        upDown_(upDown) {}
  void Sync() override {
    WinPeer::Sync();
    if (upDown_.Associate() && upDown_.Associate()->GetPeer())
      SendMessageW(Handle(), UDM_SETBUDDY,
                   reinterpret_cast<WPARAM>(static_cast<WinPeer*>(upDown_.Associate()->GetPeer())->Handle()), 0);
    SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(upDown_.min), static_cast<LPARAM>(upDown_.max));
    SendMessageW(Handle(), UDM_SETPOS32, 0, static_cast<LPARAM>(upDown_.Position()));
  }
  // The arrows moved the control: the model steps by the same amount, with its own rules.
  LRESULT Notify(NMHDR* header) override {
    if (header->code != UDN_DELTAPOS) return 0;
    const auto* delta = reinterpret_cast<NMUPDOWN*>(header);
    upDown_.Step(delta->iDelta > 0 ? 1 : -1);
    return 1;  // the model moved it (or refused); the control keeps the model's position
  }
  void Fetch() override {
    BOOL failed = FALSE;
    const int position = static_cast<int>(SendMessageW(Handle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    if (!failed) upDown_.SetPosition(position);
  }

 private:
  UpDown& upDown_;
};

// An owner-drawn row (or a drop-down list's field) painted by the model's drawer through a
// back buffer of the row's size.
bool PaintItem(const DRAWITEMSTRUCT& item, const ItemDrawer& drawer) {
  const int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
  BackBuffer buffer(item.hDC, w, h);
  if (!buffer.Ok()) return false;
  DibCanvas canvas(buffer.Dc(), buffer.Bits(), w, h, 0, 0);
  const int index = item.itemID == static_cast<UINT>(-1) ? -1 : static_cast<int>(item.itemID);
  drawer(canvas, ItemDraw{index, 0, 0, w, h, (item.itemState & ODS_SELECTED) != 0});
  GdiFlush();
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, w, h, buffer.Dc(), 0, 0, SRCCOPY);
  return true;
}

// The messages of the two list controls that do the same.
struct ListMessages {
  UINT reset, add, getSelection, setSelection;
};
constexpr ListMessages kComboBoxMessages{CB_RESETCONTENT, CB_ADDSTRING, CB_GETCURSEL, CB_SETCURSEL};
constexpr ListMessages kListBoxMessages{LB_RESETCONTENT, LB_ADDSTRING, LB_GETCURSEL, LB_SETCURSEL};

// What the peers of drop-down lists and lists share: the rows shown and the selection.
class ItemListPeer : public WinPeer {
 public:
  ItemListPeer(ItemList& list, const ListMessages& messages, const wchar_t* windowClass, DWORD style,
               DWORD exStyle = 0)
      : WinPeer(list, windowClass, style, exStyle), list_(list), messages_(messages) {}
  void Fetch() override { list_.SetItemIndex(Selection()); }

 protected:
  int Selection() const { return static_cast<int>(SendMessageW(Handle(), messages_.getSelection, 0, 0)); }
  bool RowsChanged() const { return shown_ != list_.Items(); }
  void ShowRows() {
    SendMessageW(Handle(), messages_.reset, 0, 0);
    for (const std::string& item : list_.Items())
      SendMessageW(Handle(), messages_.add, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    shown_ = list_.Items();
  }
  void ShowSelection() {
    if (Selection() != list_.ItemIndex())
      SendMessageW(Handle(), messages_.setSelection, static_cast<WPARAM>(list_.ItemIndex()), 0);
  }

 private:
  ItemList& list_;
  const ListMessages& messages_;
  std::vector<std::string> shown_;
};

constexpr int kDropDownRows = 8;

class ComboBoxPeer : public ItemListPeer {
 public:
  explicit ComboBoxPeer(ComboBox& combo)
      : ItemListPeer(combo, kComboBoxMessages, L"COMBOBOX",
                     CBS_DROPDOWNLIST | WS_VSCROLL | (combo.onDrawItem ? CBS_OWNERDRAWFIXED | CBS_HASSTRINGS : 0)),
        combo_(combo) {
    if (combo.itemHeight > 0) SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, combo.itemHeight);
    // The field shows a row as the list does.
    if (combo.itemHeight > 0 && combo.onDrawItem)
      SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), combo.itemHeight);
    // The window's height includes the dropped list.
    const int rowHeight = static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0));
    const int fieldHeight = static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    SetWindowPos(Handle(), nullptr, 0, 0, combo.Width(), fieldHeight + 8 + rowHeight * kDropDownRows,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void Sync() override {
    RECT r;
    GetWindowRect(Handle(), &r);
    MapWindowPoints(nullptr, GetParent(Handle()), reinterpret_cast<POINT*>(&r), 2);
    if (r.left != combo_.Left() || r.top != combo_.Top() || r.right - r.left != combo_.Width())
      MoveWindow(Handle(), combo_.Left(), combo_.Top(), combo_.Width(), r.bottom - r.top, TRUE);
    if (!IsWindowEnabled(Handle()) != !combo_.Enabled()) EnableWindow(Handle(), combo_.Enabled());
    ShowWindow(Handle(), combo_.Visible() ? SW_SHOWNA : SW_HIDE);
    if (RowsChanged()) ShowRows();
    ShowSelection();
  }
  void Command(WORD code) override {
    if (code == CBN_SELCHANGE && combo_.Usable()) combo_.Choose(Selection());
  }
  bool DrawItem(const DRAWITEMSTRUCT& item) override { return combo_.onDrawItem && PaintItem(item, combo_.onDrawItem); }

 private:
  ComboBox& combo_;
};

class ListBoxPeer : public ItemListPeer {
 public:
  explicit ListBoxPeer(ListBox& list)
      : ItemListPeer(list, kListBoxMessages, L"LISTBOX",
                     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                         (list.onDrawItem ? LBS_OWNERDRAWFIXED | LBS_HASSTRINGS : 0),
                     WS_EX_CLIENTEDGE),
        list_(list) {
    SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, list.itemHeight);
    Subclass(Handle(), KeyProc, reinterpret_cast<DWORD_PTR>(this));
  }
  ~ListBoxPeer() override { Unsubclass(Handle(), KeyProc); }
  void Sync() override {
    WinPeer::Sync();
    if (RowsChanged()) {
      SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
      ShowRows();
      SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
      InvalidateRect(Handle(), nullptr, TRUE);
    }
    ShowSelection();
  }
  void Command(WORD code) override {
    if (!list_.Usable()) return;
    const int index = Selection();
    if (code == LBN_SELCHANGE) list_.Choose(index);
    if (code == LBN_DBLCLK) list_.Activate(index);
  }
  bool DrawItem(const DRAWITEMSTRUCT& item) override {
    if (!list_.onDrawItem || item.itemID == static_cast<UINT>(-1)) return false;
    return PaintItem(item, list_.onDrawItem);
  }

 private:
  // Enter on a row opens it, as a double click does, instead of going to the default button.
  static LRESULT CALLBACK KeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<ListBoxPeer*>(data);
    if (message == WM_GETDLGCODE && lParam) {
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
      const int index = static_cast<int>(SendMessageW(hwnd, LB_GETCURSEL, 0, 0));
      if (index >= 0) Guarded([self, index] { self->list_.Activate(index); });
      return 0;
    }
    return NextProc(hwnd, message, wParam, lParam);
  }

  ListBox& list_;
};

using PeerMaker = std::unique_ptr<WinPeer> (*)(WinControl& control);

template <class Model, class ModelPeer>
constexpr std::pair<Kind, PeerMaker> PeerFor() {
  return {Model::kKind, [](WinControl& control) -> std::unique_ptr<WinPeer> {
            return std::make_unique<ModelPeer>(static_cast<Model&>(control));
          }};
}

// The peer of every windowed kind.
constexpr std::pair<Kind, PeerMaker> kPeers[] = {
    PeerFor<Button, ButtonPeer>(),      PeerFor<BitmapButton, BitmapButtonPeer>(),
    PeerFor<CheckBox, CheckPeer>(),     PeerFor<RadioButton, CheckPeer>(),
    PeerFor<GroupBox, ContainerPeer>(), PeerFor<Panel, ContainerPeer>(),
    PeerFor<Edit, EditPeer>(),          PeerFor<UpDown, UpDownPeer>(),
    PeerFor<ComboBox, ComboBoxPeer>(),  PeerFor<ListBox, ListBoxPeer>(),
};

}  // namespace

std::unique_ptr<WinPeer> MakePeer(WinControl& control) {
  for (const auto& [kind, make] : kPeers)
    if (kind == control.GetKind()) return make(control);
  throw Error("no peer for the kind of " + control.Name());
}

}  // namespace ui::win32

