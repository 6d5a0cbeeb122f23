// Messages from child controls, the same for forms and containers: commands, notices, owner
// drawing and scrolling go to the control's peer; the colours of static parts come from the
// surface the control stands on.
#include "ui/input.h"
#include "ui/win32/common.h"

namespace ui::win32 {
namespace {

HBRUSH BrushOf(Color color) {
  static std::map<Color, HBRUSH> brushes;
  HBRUSH& brush = brushes[color];
  if (!brush) brush = CreateSolidBrush(Ref(color));
  return brush;
}

}  // namespace

bool HandleChildMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      if (WinPeer* peer = lParam ? PeerOf(reinterpret_cast<HWND>(lParam)) : nullptr) {
        Guarded([peer, wParam] { peer->Command(HIWORD(wParam)); });
        return true;
      }
      if (lParam) return false;
      const UINT id = LOWORD(wParam);
      if (RunMenuCommand(id)) return true;
      // Enter and Esc from the dialog manager, when no button of ours is behind them.
      HWND top = GetActiveWindow();
      Form* form = FormOf(top);
      if (form && (id == IDOK || id == IDCANCEL))
        Guarded([form, id] { id == IDOK ? input::PressDefault(*form) : input::PressCancel(*form); });
      return form != nullptr;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      WinPeer* peer = header ? PeerOf(header->hwndFrom) : nullptr;
      if (!peer) return false;
      Guarded([&] { result = peer->Notify(header); });
      return true;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      WinPeer* peer = item ? PeerOf(item->hwndItem) : nullptr;
      if (!peer) return false;
      bool drawn = false;
      Guarded([&] { drawn = peer->DrawItem(*item); });
      result = drawn;
      return drawn;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
      WinPeer* peer = lParam ? PeerOf(reinterpret_cast<HWND>(lParam)) : nullptr;
      if (!peer) return false;
      Guarded([peer] { peer->Scrolled(); });
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      WinPeer* peer = PeerOf(reinterpret_cast<HWND>(lParam));
      if (!peer) return false;
      const Control& control = peer->Model();
      Color face = SurfaceColor(control);
      if (auto* edit = dynamic_cast<const Edit*>(&control); edit && message != WM_CTLCOLORSTATIC) face = edit->color;
      if (auto* edit = dynamic_cast<const Edit*>(&control); edit && message == WM_CTLCOLORSTATIC) face = edit->color;
      if (message == WM_CTLCOLORLISTBOX) face = kWhite;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, Ref(face));
      SetTextColor(dc, Ref(control.Owner() ? control.Owner()->font.color : kBlack));
      result = reinterpret_cast<LRESULT>(BrushOf(face));
      return true;
    }
  }
  return false;
}

}  // namespace ui::win32
