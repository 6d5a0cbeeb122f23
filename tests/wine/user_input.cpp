#include "tests/wine/user_input.h"

namespace wine_test {

namespace {

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  return input;
}

// The normalised absolute coordinate (0..65535 across the screen) of a pixel.
LONG Normalised(int pixel, int screenSize) { return static_cast<LONG>((65536LL * pixel) / screenSize + 1); }

}  // namespace

bool MovePointer(int screenX, int screenY) {
  INPUT move = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(screenX, GetSystemMetrics(SM_CXSCREEN)),
                          Normalised(screenY, GetSystemMetrics(SM_CYSCREEN)));
  SendInput(1, &move, sizeof(INPUT));
  return WaitFor(
      [&] {
        POINT at{};
        return GetCursorPos(&at) && at.x == screenX && at.y == screenY;
      },
      1000);
}

bool ClickInClient(HWND window, int x, int y) {
  POINT at{x, y};
  ClientToScreen(window, &at);
  if (!MovePointer(at.x, at.y)) return false;
  INPUT clicks[2] = {MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)};
  return SendInput(2, clicks, sizeof(INPUT)) == 2;
}

std::vector<uint32_t> CaptureClient(HWND window, int left, int top, int width, int height) {
  std::vector<uint32_t> pixels;
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY)) {
      GdiFlush();
      const auto* first = static_cast<const uint32_t*>(bits);
      pixels.assign(first, first + static_cast<size_t>(width) * height);
      for (uint32_t& p : pixels) p &= 0x00FFFFFF;
    }
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return pixels;
}

COLORREF PixelInClient(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

}  // namespace wine_test

namespace wine_test {

bool MenuShown(DWORD process) {
  struct Search {
    DWORD process;
    bool found;
  } search{process, false};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        char name[16] = {};
        GetClassNameA(hwnd, name, sizeof name);
        if (owner == s->process && IsWindowVisible(hwnd) && std::string(name) == "#32768") s->found = true;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ChooseFromMenu(ProgramRun& run, HWND window, char menuLetter, char itemLetter, const std::string& opened) {
  if (!BringToFront(window)) return nullptr;
  // On a busy machine the menu can take seconds to open; a key press that the window took
  // before it was ready to open a menu is pressed once more.
  PressKey(static_cast<WORD>(menuLetter), {VK_MENU});
  if (!WaitFor([&] { return MenuShown(run.ProcessId()); }, 8000)) {
    PressKey(static_cast<WORD>(menuLetter), {VK_MENU});
    if (!WaitFor([&] { return MenuShown(run.ProcessId()); }, 8000)) return nullptr;
  }
  PressKey(static_cast<WORD>(itemLetter));
  HWND dialog = run.WaitWindow(opened, 2000);
  if (!dialog && MenuShown(run.ProcessId())) {
    PressKey(VK_RETURN);
    dialog = run.WaitWindow(opened, 5000);
  }
  if (dialog) BringToFront(dialog);
  return dialog;
}

}  // namespace wine_test
