// Painting of forms and containers. Each rectangle of a window's update region is painted
// through a back buffer, kept for the next paints, in bands of rows; panels and group boxes
// draw their face and edges before the painted controls they hold.
#include <algorithm>
#include <memory>
#include <vector>

#include "ui/win32/common.h"

namespace ui::win32 {
namespace {

Color ContainerColor(const WinControl* container) {
  for (; container; container = container->Parent())
    if (auto* panel = dynamic_cast<const Panel*>(container)) return panel->color;
  return kButtonFace;
}

// Back buffers of the last paints, kept by size for the next ones: an animated window repaints
// the same rectangles five times a second. The few most recent sizes are kept.
BackBuffer& BufferFor(HDC screen, int width, int height) {
  struct Kept {
    int width, height;
    std::unique_ptr<BackBuffer> buffer;
  };
  static std::vector<Kept> kept;
  for (auto it = kept.begin(); it != kept.end(); ++it)
    if (it->width == width && it->height == height) {
      std::rotate(kept.begin(), it, it + 1);
      return *kept.front().buffer;
    }
  if (kept.size() >= 3) kept.pop_back();
  kept.insert(kept.begin(), Kept{width, height, std::make_unique<BackBuffer>(screen, width, height)});
  return *kept.front().buffer;
}

// The rectangles of the window's update region, read before BeginPaint validates it; empty
// when there are too many to be worth painting one by one.
std::vector<RECT> UpdateRects(HWND hwnd) {
  std::vector<RECT> rects;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (region && GetUpdateRgn(hwnd, region, FALSE) == COMPLEXREGION) {
    const DWORD bytes = GetRegionData(region, 0, nullptr);
    std::vector<char> data(bytes);
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    if (bytes && GetRegionData(region, bytes, header) && header->rdh.nCount <= 4) {
      const auto* first = reinterpret_cast<const RECT*>(header->Buffer);
      rects.assign(first, first + header->rdh.nCount);
    }
  }
  if (region) DeleteObject(region);
  return rects;
}

// The most a back buffer holds: a larger rectangle is painted in bands of rows. The first
// paint of a whole window would otherwise make a buffer of all of it, fresh memory to fault in
// (dear under Wine, at logon) and kept afterwards. An animated figure fits one band.
constexpr int kBandBytes = 128 * 1024;

// Paints the invalid part of a window through a back buffer. Each rectangle of the update
// region is painted on its own: the two animated figures of a window lie far apart, and their
// bounding box would repaint everything between them five times a second.
template <class PaintFunction>
void PaintSurface(HWND hwnd, PaintFunction paint) {
  std::vector<RECT> rects = UpdateRects(hwnd);
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(hwnd, &ps);
  if (rects.empty()) rects.push_back(ps.rcPaint);
  for (const RECT& r : rects) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) continue;
    const int bandRows = std::clamp(kBandBytes / (4 * w), 1, h);
    for (int top = r.top; top < r.bottom; top += bandRows) {
      const int rows = std::min(bandRows, static_cast<int>(r.bottom) - top);
      BackBuffer& buffer = BufferFor(screen, w, rows);
      if (!buffer.Ok()) continue;
      DibCanvas canvas(buffer.Dc(), buffer.Bits(), w, rows, r.left, top);
      paint(canvas);
      GdiFlush();
      SetViewportOrgEx(buffer.Dc(), 0, 0, nullptr);
      BitBlt(screen, r.left, top, w, rows, buffer.Dc(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(hwnd, &ps);
}

UINT EdgeOf(BevelCut cut, bool outer) {
  if (cut == BevelCut::Raised) return outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER;
  if (cut == BevelCut::Lowered) return outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
  return 0;
}

// The face and the bevels fill the client area, which a single border makes smaller than the
// panel.
void PaintPanel(HWND hwnd, DibCanvas& canvas, const Panel& panel) {
  RECT r;
  GetClientRect(hwnd, &r);
  canvas.FillRect(0, 0, r.right, r.bottom, panel.color);
  if (UINT edge = EdgeOf(panel.bevelOuter, true)) {
    DrawEdge(canvas.Dc(), &r, edge, BF_RECT);
    InflateRect(&r, -1, -1);
  }
  if (UINT edge = EdgeOf(panel.bevelInner, false)) DrawEdge(canvas.Dc(), &r, edge, BF_RECT);
  panel.Owner()->PaintControls(canvas, &panel);
}

void PaintGroupBox(DibCanvas& canvas, const GroupBox& group) {
  const Font& font = group.Owner()->font;
  const Size caption = backend::MeasureText(font, group.Caption(), true);
  canvas.FillRect(0, 0, group.Width(), group.Height(), SurfaceColor(group));
  RECT frame{0, caption.height / 2, group.Width(), group.Height()};
  DrawEdge(canvas.Dc(), &frame, EDGE_ETCHED, BF_RECT);
  if (!group.Caption().empty()) {
    canvas.FillRect(6, 0, caption.width + 4, caption.height, SurfaceColor(group));
    Font shown = font;
    shown.color = group.Usable() ? font.color : kGray;
    canvas.DrawText(8, 0, group.Caption(), shown, true);
  }
  group.Owner()->PaintControls(canvas, &group);
}

}  // namespace

Color SurfaceColor(const Control& control) {
  if (control.Parent()) return ContainerColor(control.Parent());
  return control.Owner() ? control.Owner()->color : kButtonFace;
}

void PaintForm(HWND hwnd, const Form& form) {
  PaintSurface(hwnd, [&form](DibCanvas& canvas) {
    canvas.FillRect(0, 0, form.ClientWidth(), form.ClientHeight(), form.color);
    form.PaintControls(canvas, nullptr);
  });
}

void PaintContainer(HWND hwnd, const WinControl& container) {
  PaintSurface(hwnd, [hwnd, &container](DibCanvas& canvas) {
    if (auto* panel = dynamic_cast<const Panel*>(&container)) PaintPanel(hwnd, canvas, *panel);
    if (auto* group = dynamic_cast<const GroupBox*>(&container)) PaintGroupBox(canvas, *group);
  });
}

}  // namespace ui::win32

namespace ui::backend {

using namespace ui::win32;

// The place of a painted control is painted again by the window it lies in.
void PaintedChanged(Control& control) {
  HWND container = ContainerWindow(control);
  if (!container) return;
  RECT r{control.Left(), control.Top(), control.Left() + control.Width(), control.Top() + control.Height()};
  InvalidateRect(container, &r, FALSE);
}

}  // namespace ui::backend
