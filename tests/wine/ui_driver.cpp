#include "tests/wine/ui_driver.h"

#include <commctrl.h>

#include <fstream>

namespace wine_test {

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(50);
  }
}

namespace {

struct PlaceSearch {
  HWND form;
  POINT at;
  const char* windowClass;
  HWND found;
};

BOOL CALLBACK VisitChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<PlaceSearch*>(param);
  char name[64] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, search->windowClass) != 0) return TRUE;
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, search->form, reinterpret_cast<POINT*>(&r), 2);
  if (r.left == search->at.x && r.top == search->at.y) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(30);
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

void BringRootToFront(HWND window) { BringToFront(GetAncestor(window, GA_ROOT)); }

namespace {

struct BoxSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK VisitTop(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  char name[32] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (owner == search->process && IsWindowVisible(hwnd) && std::string(name) == "#32770") {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
  char name[32] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Static") == 0) *reinterpret_cast<std::string*>(param) += Text(child);
  return TRUE;
}

}  // namespace

HWND ControlAt(HWND form, int x, int y, const char* windowClass) {
  PlaceSearch search{form, {x, y}, windowClass, nullptr};
  EnumChildWindows(form, VisitChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string Text(HWND window) {
  // GetWindowText does not ask another process's window, it reads its caption: WM_GETTEXT asks.
  char text[1024] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

namespace {

// The rows of another process's list come back as Unicode whatever was asked for: they are
// asked for as Unicode and turned into the ANSI code page here.
std::string RowText(HWND window, UINT message, WPARAM row) {
  wchar_t wide[512] = {};
  SendMessageW(window, message, row, reinterpret_cast<LPARAM>(wide));
  char text[1024] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

}  // namespace

bool Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) items.push_back(RowText(list, LB_GETTEXT, static_cast<WPARAM>(i)));
  return items;
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) items.push_back(RowText(combo, CB_GETLBTEXT, static_cast<WPARAM>(i)));
  return items;
}

void UpDownRange(HWND upDown, int& low, int& high) {
  low = high = -1;
  DWORD process = 0;
  GetWindowThreadProcessId(upDown, &process);
  HANDLE handle = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
  if (!handle) return;
  void* remote = VirtualAllocEx(handle, nullptr, 2 * sizeof(int), MEM_COMMIT, PAGE_READWRITE);
  if (remote) {
    auto* ints = static_cast<int*>(remote);
    SendMessageA(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(ints), reinterpret_cast<LPARAM>(ints + 1));
    int got[2] = {-1, -1};
    SIZE_T read = 0;
    if (ReadProcessMemory(handle, remote, got, sizeof got, &read) && read == sizeof got) low = got[0], high = got[1];
    VirtualFreeEx(handle, remote, 0, MEM_RELEASE);
  }
  CloseHandle(handle);
}

void ClickAt(HWND window, int x, int y, int clicks) {
  BringRootToFront(window);
  POINT at{x, y};
  ClientToScreen(window, &at);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = at.x * 65535 / (w - 1);
  move.mi.dy = at.y * 65535 / (h - 1);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send({move});
  Sleep(100);  // the pointer is over the control before the button goes down
  std::vector<INPUT> inputs;
  for (int i = 0; i < clicks; ++i)
    for (const DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
      INPUT button = move;
      button.mi.dwFlags = flag | MOUSEEVENTF_ABSOLUTE;
      inputs.push_back(button);
    }
  Send(inputs);
}

void Click(HWND window, int clicks) {
  RECT r;
  GetClientRect(window, &r);
  ClickAt(window, r.right / 2, r.bottom / 2, clicks);
}

void Key(WORD vk) { Send({KeyInput(vk, false), KeyInput(vk, true)}); }

void KeyWith(WORD modifier, WORD vk) {
  Send({KeyInput(modifier, false), KeyInput(vk, false), KeyInput(vk, true), KeyInput(modifier, true)});
}

void TypeUnicode(const std::wstring& text) {
  for (const wchar_t c : text) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wScan = static_cast<WORD>(c);
    down.ki.dwFlags = KEYEVENTF_UNICODE;
    INPUT up = down;
    up.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    Send({down, up});
  }
}

void SelectAllAndType(HWND edit, const std::wstring& text) {
  Click(edit);
  Key(VK_END);
  KeyWith(VK_SHIFT, VK_HOME);
  if (text.empty()) Key(VK_DELETE);
  TypeUnicode(text);
}

HWND MessageBoxOf(DWORD process) {
  BoxSearch search{process, nullptr};
  EnumWindows(VisitTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string MessageBoxText(HWND box) {
  std::string text;
  EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&text));
  return text;
}

bool SaveWindowPicture(HWND window, const std::string& path) {
  RECT r;
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;  // bottom-up, as the file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  BITMAPFILEHEADER head{};
  head.bfType = 0x4D42;
  head.bfOffBits = sizeof head + sizeof info.bmiHeader;
  head.bfSize = head.bfOffBits + stride * static_cast<DWORD>(h);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&head), sizeof head);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride) * h);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return static_cast<bool>(out);
}

}  // namespace wine_test
