// Painting: a DIB back buffer per painted rectangle, GDI for text and shapes, software
// blending for pictures.
#include "ui/win32/common.h"

namespace ui::win32 {

HFONT FontHandle(const Font& font) {
  const auto key = std::make_tuple(font.name, font.PixelHeight(), font.bold, static_cast<int>(font.charset));
  auto& cached = S().fonts[key];
  if (!cached)
    cached = CreateFontW(-font.PixelHeight(), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                         font.charset == Charset::ShiftJis ? SHIFTJIS_CHARSET : DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, Wide(font.name).c_str());
  return cached;
}

BackBuffer::BackBuffer(HDC screen, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width > 0 ? width : 1;
  info.bmiHeader.biHeight = -(height > 0 ? height : 1);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return;
  memory_ = CreateCompatibleDC(screen);
  old_ = SelectObject(memory_, bitmap_);
  bits_ = static_cast<uint32_t*>(bits);
}

BackBuffer::~BackBuffer() {
  if (memory_) {
    SelectObject(memory_, old_);
    DeleteDC(memory_);
  }
  if (bitmap_) DeleteObject(bitmap_);
}

DibCanvas::DibCanvas(HDC dc, uint32_t* bits, int width, int height, int originX, int originY)
    : dc_(dc), bits_(bits), width_(width), height_(height), originX_(originX), originY_(originY) {
  SetViewportOrgEx(dc_, -originX_, -originY_, nullptr);
}

void DibCanvas::DrawBitmap(int left, int top, const Bitmap& picture) {
  GdiFlush();
  BlendOnto(bits_, width_, height_, picture, left - originX_, top - originY_);
}

// Under Wine every font selected into a display DC makes the X11 driver read the X resources
// again (files and system calls each time), so a DC keeps the last font it was given: the
// fonts live as long as the process, and the back buffers and the measuring DC are kept.
static void UseFont(HDC dc, HFONT font) {
  if (GetCurrentObject(dc, OBJ_FONT) != font) SelectObject(dc, font);
}

void DibCanvas::DrawText(int left, int top, const std::string& text, const Font& font, bool prefix) {
  UseFont(dc_, FontHandle(font));
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, Ref(font.color));
  RECT r{left, top, left + 32767, top + 32767};
  const std::wstring wide = Wide(text);
  ::DrawTextW(dc_, wide.data(), static_cast<int>(wide.size()), &r,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP | (prefix ? 0 : DT_NOPREFIX));
}

void DibCanvas::FillRect(int left, int top, int width, int height, Color color) {
  HBRUSH brush = CreateSolidBrush(Ref(color));
  RECT r{left, top, left + width, top + height};
  ::FillRect(dc_, &r, brush);
  DeleteObject(brush);
}

void DibCanvas::Ellipse(int left, int top, int width, int height, Color fill, Color pen) {
  HBRUSH brush = CreateSolidBrush(Ref(fill));
  HPEN outline = CreatePen(PS_SOLID, 1, Ref(pen));
  HGDIOBJ oldBrush = SelectObject(dc_, brush), oldPen = SelectObject(dc_, outline);
  ::Ellipse(dc_, left, top, left + width, top + height);
  SelectObject(dc_, oldBrush);
  SelectObject(dc_, oldPen);
  DeleteObject(brush);
  DeleteObject(outline);
}

void DibCanvas::RoundRect(int left, int top, int width, int height, int corner, Color fill, Color pen) {
  HBRUSH brush = CreateSolidBrush(Ref(fill));
  HPEN outline = CreatePen(PS_SOLID, 1, Ref(pen));
  HGDIOBJ oldBrush = SelectObject(dc_, brush), oldPen = SelectObject(dc_, outline);
  ::RoundRect(dc_, left, top, left + width, top + height, corner, corner);
  SelectObject(dc_, oldBrush);
  SelectObject(dc_, oldPen);
  DeleteObject(brush);
  DeleteObject(outline);
}

void DibCanvas::Frame3D(int left, int top, int width, int height, bool lowered) {
  RECT r{left, top, left + width, top + height};
  DrawEdge(dc_, &r, lowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

}  // namespace ui::win32

namespace ui::backend {

// A memory DC of the screen measures as the screen does; one is kept for every measurement.
static HDC MeasuringDc() {
  static HDC dc = CreateCompatibleDC(nullptr);
  return dc;
}

Size MeasureText(const Font& font, const std::string& text, bool prefix) {
  HDC dc = MeasuringDc();
  win32::UseFont(dc, win32::FontHandle(font));
  SIZE extent{0, 0};
  const std::wstring wide = win32::Wide(text);
  if (text.empty()) {
    TEXTMETRICW metric{};
    GetTextMetricsW(dc, &metric);
    extent.cy = metric.tmHeight;
  } else if (!prefix) {
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
  } else {
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &r, DT_SINGLELINE | DT_CALCRECT);
    extent = SIZE{r.right - r.left, r.bottom - r.top};
  }
  return Size{extent.cx, extent.cy};
}

}  // namespace ui::backend
