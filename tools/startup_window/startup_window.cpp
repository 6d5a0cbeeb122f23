// The yardstick of tools/bench_startup.sh: the least a program can do that opens the counter's
// window. A 600 x 176 client area with the counter window's styles (single frame, system menu
// and minimise button, always on top, centred on the screen), filled with one colour. Given a
// WAV file, it plays it through MCI as soon as the window is up, as the counter starts its
// first clip, and closes half a second after the clip has ended (the counter's pause between
// two clips; closing the device at once, while the player's thread is still finishing, crashed
// Wine now and then); without a clip it closes after half a second. Like the counter, it loads
// the media control interface only to play: a run without a clip does not load it at all.
//
//   startup_window.exe [CLIP.wav]
#include <windows.h>
#include <mmsystem.h>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 176;
constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kCloseAfterMilliseconds = 500;
MCIDEVICEID device = 0;

decltype(mciSendCommandA)* sendMci = nullptr;  // bound when there is a clip to play

MCIERROR SendMci(MCIDEVICEID id, UINT message, DWORD_PTR flags, DWORD_PTR parameters) {
  return sendMci ? sendMci(id, message, flags, parameters) : MCIERR_CANNOT_LOAD_DRIVER;
}

void BindMci() {
  if (HMODULE library = LoadLibraryA("winmm.dll"))
    sendMci = reinterpret_cast<decltype(mciSendCommandA)*>(reinterpret_cast<void*>(GetProcAddress(library, "mciSendCommandA")));
}

MCIDEVICEID PlayClip(HWND window, const char* path) {
  MCI_OPEN_PARMSA open{};
  open.lpstrDeviceType = "waveaudio";
  open.lpstrElementName = path;
  if (SendMci(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)))
    return 0;
  MCI_PLAY_PARMS play{};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(window);
  if (SendMci(open.wDeviceID, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play))) {
    SendMci(open.wDeviceID, MCI_CLOSE, MCI_WAIT, 0);
    return 0;
  }
  return open.wDeviceID;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      EndPaint(window, &paint);
      return 0;
    }
    case MM_MCINOTIFY:
      SetTimer(window, kCloseTimer, kCloseAfterMilliseconds, nullptr);
      return 0;
    case WM_TIMER:
      KillTimer(window, kCloseTimer);
      if (device) SendMci(device, MCI_CLOSE, MCI_WAIT, 0);
      device = 0;
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = "StartupWindow";
  if (!RegisterClassA(&windowClass)) return 1;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
  RECT outer = {0, 0, kWidth, kHeight};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  HWND window = CreateWindowExA(exStyle, "StartupWindow", "startup window", style,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  if (*commandLine) {
    BindMci();
    device = PlayClip(window, commandLine);
  }
  if (!device) SetTimer(window, kCloseTimer, kCloseAfterMilliseconds, nullptr);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
