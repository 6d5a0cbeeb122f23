// The yardstick of tools/bench_idle.sh: the least a window can do that animates two 120 x 176
// figures five times a second. A 200 ms timer draws a new 240 x 176 picture into a DIB and the
// window repaints it with StretchDIBits; nothing else happens. Close it like any window.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 176;
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMilliseconds = 200;

std::vector<uint32_t> picture(kWidth * kHeight);
BITMAPINFO pictureInfo{};
unsigned tick = 0;

// A moving gradient, so that every repaint has new pixels to show.
void DrawPicture() {
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      picture[y * kWidth + x] = 0xFF000000u | ((x + tick * 8) & 0xFF) << 16 |
                                ((y + tick * 4) & 0xFF) << 8 | ((tick * 16) & 0xFF);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      ++tick;
      DrawPicture();
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      StretchDIBits(dc, 0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight, picture.data(),
                    &pictureInfo, DIB_RGB_COLORS, SRCCOPY);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  pictureInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  pictureInfo.bmiHeader.biWidth = kWidth;
  pictureInfo.bmiHeader.biHeight = -kHeight;  // rows top-down
  pictureInfo.bmiHeader.biPlanes = 1;
  pictureInfo.bmiHeader.biBitCount = 32;
  pictureInfo.bmiHeader.biCompression = BI_RGB;
  DrawPicture();

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = "IdleWindow";
  if (!RegisterClassA(&windowClass)) return 1;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT outer = {0, 0, kWidth, kHeight};
  AdjustWindowRectEx(&outer, style, FALSE, 0);
  HWND window = CreateWindowExA(0, "IdleWindow", "idle window", style, CW_USEDEFAULT,
                                CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  SetTimer(window, kTickTimer, kTickMilliseconds, nullptr);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
