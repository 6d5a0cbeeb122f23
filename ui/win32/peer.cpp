// The part of a peer every windowed kind shares: its child window, kept in step with the
// model's place, caption, enabled state and visibility; and the keyboard focus.
#include "ui/win32/common.h"

namespace ui::win32 {

WinPeer::WinPeer(WinControl& control, const wchar_t* windowClass, DWORD style, DWORD exStyle)
    : control_(control), id_(S().nextControlId++) {
  EnsureCommonControls();
  HWND parent = ContainerWindow(control);
  hwnd_ = CreateWindowExW(exStyle, windowClass, Wide(control.Caption()).c_str(),
                          WS_CHILD | style | (control.tabStop ? WS_TABSTOP : 0), control.Left(), control.Top(),
                          control.Width(), control.Height(), parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), S().instance, nullptr);
  if (!hwnd_) throw Error("control window not created: " + control.Name());
  SetPropW(hwnd_, L"M2KPeer", this);
  const Font& font = control.Owner()->font;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(font)), FALSE);
}

WinPeer::~WinPeer() {
  if (IsWindow(hwnd_)) {
    RemovePropW(hwnd_, L"M2KPeer");
    DestroyWindow(hwnd_);
  }
}

bool WindowText(HWND hwnd, std::string& text) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, &wide[0], length + 1);
  wide.resize(static_cast<size_t>(got > 0 ? got : 0));
  return platform::win32::ToShiftJis(wide, text);
}

void WinPeer::SetTextIfChanged(const std::string& text) {
  std::string current;
  if (WindowText(hwnd_, current) && current == text) return;
  syncing_ = true;
  SetWindowTextW(hwnd_, Wide(text).c_str());
  syncing_ = false;
}

void WinPeer::Sync() {
  RECT now;
  GetWindowRect(hwnd_, &now);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&now), 2);
  if (now.left != control_.Left() || now.top != control_.Top() || now.right - now.left != control_.Width() ||
      now.bottom - now.top != control_.Height())
    MoveWindow(hwnd_, control_.Left(), control_.Top(), control_.Width(), control_.Height(), TRUE);
  if (control_.GetKind() != Kind::Edit) SetTextIfChanged(control_.Caption());
  if (!IsWindowEnabled(hwnd_) != !control_.Enabled()) EnableWindow(hwnd_, control_.Enabled());
  if (!IsWindowVisible(hwnd_) != !control_.Visible() || (control_.Visible() && !(GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE)))
    ShowWindow(hwnd_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
}

WinPeer* PeerOf(HWND hwnd) { return hwnd ? static_cast<WinPeer*>(GetPropW(hwnd, L"M2KPeer")) : nullptr; }

}  // namespace ui::win32

namespace ui::backend {

using namespace ui::win32;

void FocusControl(WinControl& control) {
  if (auto* peer = static_cast<WinPeer*>(control.GetPeer())) SetFocus(peer->Handle());
}

WinControl* FocusedControl(const Form& form) {
  for (HWND focus = GetFocus(); focus; focus = GetParent(focus))
    if (WinPeer* peer = PeerOf(focus)) return peer->Model().Owner() == &form ? &peer->Model() : nullptr;
  return nullptr;
}

void ControlDestroyed(WinControl& control) { control.DetachPeer(); }

}  // namespace ui::backend
