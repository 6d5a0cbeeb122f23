#include "tests/wine/input_helper.h"

#include <vector>

namespace wine_test {

bool WaitFor(const std::function<bool()>& condition, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start >= ms) return condition();
    Sleep(20);
  }
  return true;
}

bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return WaitFor([window] { return GetForegroundWindow() == window; });
}

namespace {

INPUT KeyEvent(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// Absolute coordinates run over 0..65535 across the primary screen; rounding up lands the
// pointer on the very pixel asked for.
INPUT MouseEvent(POINT screen, DWORD flags) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = (screen.x * 65536 + width - 1) / width;
  input.mi.dy = (screen.y * 65536 + height - 1) / height;
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  return input;
}

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
  std::vector<INPUT> inputs;
  for (WORD modifier : modifiers) inputs.push_back(KeyEvent(modifier, false));
  inputs.push_back(KeyEvent(key, false));
  inputs.push_back(KeyEvent(key, true));
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) inputs.push_back(KeyEvent(*it, true));
  Send(inputs);
}

void ClickAt(POINT screen, Button button) {
  const bool left = button == Button::Left;
  Send({MouseEvent(screen, 0), MouseEvent(screen, left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN),
        MouseEvent(screen, left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP)});
}

void DragLeft(POINT from, POINT to) {
  Send({MouseEvent(from, 0), MouseEvent(from, MOUSEEVENTF_LEFTDOWN), MouseEvent(to, 0),
        MouseEvent(to, MOUSEEVENTF_LEFTUP)});
}

POINT ClientToScreenPoint(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  return point;
}

POINT CenterOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND FocusOfThread(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

namespace {

struct Search {
  const char* className;
  const char* text;
  DWORD process;
  HWND owner;
  HWND found;
};

BOOL CALLBACK VisitChild(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (ClassOf(hwnd) != search->className) return TRUE;
  if (search->text && WindowText(hwnd) != search->text) return TRUE;
  search->found = hwnd;
  return FALSE;
}

BOOL CALLBACK VisitTopLevel(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != search->process || !IsWindowVisible(hwnd) || ClassOf(hwnd) != search->className) return TRUE;
  if (search->owner && GetWindow(hwnd, GW_OWNER) != search->owner) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

HWND FindChild(HWND parent, const char* className, const char* text) {
  Search search{className, text, 0, nullptr, nullptr};
  EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindTopLevel(DWORD process, const char* className, HWND owner) {
  Search search{className, nullptr, process, owner, nullptr};
  EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void ScreenshotIfAsked(const std::string& name) {
  char folder[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("M2K_SHOT_DIR", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::string base = std::string(folder) + "\\" + name;
  HANDLE request = CreateFileA((base + ".request").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (request == INVALID_HANDLE_VALUE) return;
  CloseHandle(request);
  const std::string picture = base + ".png";
  WaitFor([&picture] { return GetFileAttributesA(picture.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000);
}

}  // namespace wine_test
