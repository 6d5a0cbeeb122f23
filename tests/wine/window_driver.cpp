#include "tests/wine/window_driver.h"

#include <cstdlib>
#include <fstream>
#include <vector>

namespace wine_test::drive {
namespace {

struct BoxSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK VisitTopLevel(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  char className[16] = {};
  GetClassNameA(hwnd, className, sizeof className);
  if (owner == search->process && IsWindowVisible(hwnd) && std::string(className) == "#32770") {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct ChildSearch {
  const char* className;
  std::string caption;  // empty: any
  HWND found;
};

BOOL CALLBACK VisitChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  char className[32] = {}, text[512] = {};
  GetClassNameA(child, className, sizeof className);
  GetWindowTextA(child, text, sizeof text);
  if (_stricmp(className, search->className) == 0 && (search->caption.empty() || search->caption == text)) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

HWND FindChild(HWND parent, const char* className, const std::string& caption) {
  ChildSearch search{className, caption, nullptr};
  EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

bool WriteBmp(const std::string& path, int width, int height, const std::vector<unsigned char>& rows) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom row first, as GetDIBits gives them
  info.biPlanes = 1;
  info.biBitCount = 24;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(rows.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(reinterpret_cast<const char*>(rows.data()), static_cast<std::streamsize>(rows.size()));
  return static_cast<bool>(out);
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(50);
  }
}

bool Type(HWND window, std::initializer_list<WORD> modifiers, std::initializer_list<WORD> keys) {
  // Not again while it is in front: a menu that is open would close.
  if (GetForegroundWindow() != window) SetForegroundWindow(window);
  if (!WaitFor([&] { return GetForegroundWindow() == window; }, 3000)) return false;
  for (WORD modifier : modifiers) SendKey(modifier, false);
  for (WORD key : keys) {
    SendKey(key, false);
    SendKey(key, true);
    Sleep(100);  // each key is a step of the menu; let the program take it in order
  }
  for (WORD modifier : modifiers) SendKey(modifier, true);
  return true;
}

HWND WaitMessageBox(DWORD process, DWORD ms) {
  HWND box = nullptr;
  WaitFor(
      [&] {
        BoxSearch search{process, nullptr};
        EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
        box = search.found;
        return box != nullptr;
      },
      ms);
  return box;
}

std::string MessageText(HWND box) {
  // The message is the static control that holds text (the icon is a static control too).
  std::string longest;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char className[16] = {}, text[1024] = {};
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    if (_stricmp(className, "Static") == 0 && std::string(text).size() > longest.size()) longest = text;
  }
  return longest;
}

std::string Caption(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool Answer(HWND box, const std::string& button) {
  return PressButton(box, button) && WaitFor([box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

bool PressButton(HWND window, const std::string& caption) {
  HWND button = FindChild(window, "Button", caption);
  if (!button) return false;
  const int id = GetDlgCtrlID(button);
  return PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != 0;
}

void SaveScreenshot(const std::string& name, HWND first, HWND second) {
  const char* folder = std::getenv("M2K_SCREENSHOTS");
  if (!folder || !*folder) return;
  Sleep(700);  // a window that has just come up paints first
  RECT area{}, other{};
  GetWindowRect(first, &area);
  if (second && GetWindowRect(second, &other)) UnionRect(&area, &area, &other);
  InflateRect(&area, 8, 8);
  const int width = area.right - area.left, height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::vector<unsigned char> rows(stride * static_cast<size_t>(height));
  GetDIBits(memory, picture, 0, static_cast<UINT>(height), rows.data(), &info, DIB_RGB_COLORS);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  CreateDirectoryA(folder, nullptr);
  WriteBmp(std::string(folder) + "\\" + name + ".bmp", width, height, rows);
}

}  // namespace wine_test::drive
