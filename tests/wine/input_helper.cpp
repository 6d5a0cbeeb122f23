#include "tests/wine/input_helper.h"

#include <commctrl.h>

#include "tests/wine/sjis_calls.h"

namespace wine_test {

bool WaitFor(const std::function<bool()>& condition, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start >= ms) return condition();
    Sleep(50);
  }
  return true;
}

void PumpMessages(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
}

// ---- input ----

namespace {

INPUT KeyEvent(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT UnicodeEvent(wchar_t c, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = static_cast<WORD>(c);
  input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
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

bool PointerAt(POINT screen) {
  POINT at{};
  return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
}

}  // namespace

bool BringToFront(HWND window) {
  HWND root = GetAncestor(window, GA_ROOT);
  // Not again while it is in front: a menu that is open would close.
  if (GetForegroundWindow() != root) SetForegroundWindow(root);
  return WaitFor([root] { return GetForegroundWindow() == root; }, 5000);
}

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
  std::vector<INPUT> inputs;
  for (WORD modifier : modifiers) inputs.push_back(KeyEvent(modifier, false));
  inputs.push_back(KeyEvent(key, false));
  inputs.push_back(KeyEvent(key, true));
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) inputs.push_back(KeyEvent(*it, true));
  Send(inputs);
}

void TypeUnicode(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    inputs.push_back(UnicodeEvent(c, false));
    inputs.push_back(UnicodeEvent(c, true));
  }
  if (!inputs.empty()) Send(inputs);
}

void SelectAllAndType(HWND edit, const std::wstring& text) {
  Click(edit);
  PressKey(VK_END);
  PressKey(VK_HOME, {VK_SHIFT});
  if (text.empty()) PressKey(VK_DELETE);
  TypeUnicode(text);
}

bool ClickAt(POINT screen, Button button, int clicks) {
  Send({MouseEvent(screen, 0)});
  if (!WaitFor([screen] { return PointerAt(screen); }, 2000)) return false;
  const bool left = button == Button::Left;
  std::vector<INPUT> inputs;
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(MouseEvent(screen, left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN));
    inputs.push_back(MouseEvent(screen, left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP));
  }
  Send(inputs);
  return true;
}

bool ClickInClient(HWND window, int x, int y, int clicks) {
  if (!BringToFront(window)) return false;
  return ClickAt(ClientToScreenPoint(window, x, y), Button::Left, clicks);
}

bool Click(HWND window, int clicks) {
  RECT r{};
  GetClientRect(window, &r);
  return ClickInClient(window, r.right / 2, r.bottom / 2, clicks);
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

bool OpenMenu(DWORD process, HWND window, char menuLetter) {
  if (!BringToFront(window)) return false;
  const auto shown = [process] { return FindTopLevel(process, "#32768") != nullptr; };
  // On a busy machine the menu can take seconds to open; a key press that the window took
  // before it was ready to open a menu is pressed once more.
  PressKey(static_cast<WORD>(menuLetter), {VK_MENU});
  if (WaitFor(shown, 8000)) return true;
  PressKey(static_cast<WORD>(menuLetter), {VK_MENU});
  return WaitFor(shown, 8000);
}

HWND ChooseFromMenu(ProgramRun& run, HWND window, char menuLetter, char itemLetter, const std::string& opened) {
  if (!OpenMenu(run.ProcessId(), window, menuLetter)) return nullptr;
  PressKey(static_cast<WORD>(itemLetter));
  HWND dialog = run.WaitWindow(opened, 2000);
  if (!dialog) {
    // A menu still open after its letter: the letter only selected the item.
    if (FindTopLevel(run.ProcessId(), "#32768")) PressKey(VK_RETURN);
    dialog = run.WaitWindow(opened, 8000);
  }
  if (dialog) BringToFront(dialog);
  return dialog;
}

// ---- windows and controls ----

HWND FocusOfThread(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::string WindowText(HWND window) { return sjis::WindowText(window); }

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

namespace {

bool OfClass(HWND window, const char* className) { return lstrcmpiA(ClassOf(window).c_str(), className) == 0; }

struct Search {
  const char* className;
  const char* text;
  DWORD process;
  HWND owner;
  HWND form;
  POINT at;
  HWND found;
};

BOOL CALLBACK VisitChild(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!OfClass(hwnd, search->className)) return TRUE;
  if (search->text && WindowText(hwnd) != search->text) return TRUE;
  search->found = hwnd;
  return FALSE;
}

BOOL CALLBACK VisitTopLevel(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != search->process || !IsWindowVisible(hwnd) || !OfClass(hwnd, search->className)) return TRUE;
  if (search->owner && GetWindow(hwnd, GW_OWNER) != search->owner) return TRUE;
  search->found = hwnd;
  return FALSE;
}

BOOL CALLBACK VisitPlace(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!OfClass(hwnd, search->className)) return TRUE;
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, search->form, reinterpret_cast<POINT*>(&r), 2);
  if (r.left != search->at.x || r.top != search->at.y) return TRUE;
  search->found = hwnd;
  return FALSE;
}

// The rows of another process's list come back as Unicode whatever was asked for: they are
// asked for as Unicode and turned into Shift-JIS here.
std::string RowText(HWND window, UINT message, WPARAM row) {
  wchar_t wide[512] = {};
  SendMessageW(window, message, row, reinterpret_cast<LPARAM>(wide));
  return sjis::Narrow(wide);
}

std::vector<std::string> Rows(HWND window, UINT countMessage, UINT textMessage) {
  std::vector<std::string> rows;
  const LRESULT count = SendMessageA(window, countMessage, 0, 0);
  for (LRESULT i = 0; i < count; ++i) rows.push_back(RowText(window, textMessage, static_cast<WPARAM>(i)));
  return rows;
}

}  // namespace

HWND FindChild(HWND parent, const char* className, const char* text) {
  Search search{className, text, 0, nullptr, nullptr, {}, nullptr};
  EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindTopLevel(DWORD process, const char* className, HWND owner) {
  Search search{className, nullptr, process, owner, nullptr, {}, nullptr};
  EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ControlAt(HWND form, int x, int y, const char* className) {
  Search search{className, nullptr, 0, nullptr, form, {x, y}, nullptr};
  EnumChildWindows(form, VisitPlace, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::vector<std::string> ListItems(HWND list) { return Rows(list, LB_GETCOUNT, LB_GETTEXT); }

std::vector<std::string> ComboItems(HWND combo) { return Rows(combo, CB_GETCOUNT, CB_GETLBTEXT); }

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

// ---- message boxes ----

HWND WaitMessageBox(DWORD process, DWORD ms, HWND owner) {
  HWND box = nullptr;
  WaitFor([&] { return (box = FindTopLevel(process, "#32770", owner)) != nullptr; }, ms);
  return box;
}

std::string MessageText(HWND box) {
  // The message is the static control that holds text (the icon is a static control too).
  std::string longest;
  if (!box) return longest;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!OfClass(child, "Static")) continue;
    const std::string text = WindowText(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

bool PressButton(HWND window, const std::string& caption) {
  HWND button = FindChild(window, "Button", caption.c_str());
  if (!button) return false;
  const int id = GetDlgCtrlID(button);
  return PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != 0;
}

bool Answer(HWND box, int button) {
  HWND pressed = box ? GetDlgItem(box, button) : nullptr;
  if (!pressed) return false;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(pressed));
  return WaitFor([box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

// ---- the screen ----

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

namespace {

std::string Variable(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD length = sjis::GetEnvironmentVariable(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? value : "";
}

// Asks the script watching `folder` for a picture and waits until it has written it.
void AskForPicture(const std::string& folder, const std::string& name) {
  const std::string base = folder + "\\" + name;
  HANDLE request = sjis::CreateFile((base + ".request").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (request == INVALID_HANDLE_VALUE) return;
  CloseHandle(request);
  const std::string picture = base + ".png";
  WaitFor([&picture] { return sjis::GetFileAttributes(picture.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000);
}

}  // namespace

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
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  bytes.append(reinterpret_cast<const char*>(rows.data()), rows.size());
  HANDLE out = sjis::CreateFile(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(out);
  return ok;
}

namespace {

// The screen's pixels in `area` as 24-bit rows, bottom row first, each padded to 4 bytes.
std::vector<unsigned char> ScreenRows(const RECT& area) {
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
  return rows;
}

}  // namespace

void SaveScreenshot(const std::string& name, HWND first, HWND second) {
  const std::string desktopFolder = Variable("M2K_SHOT_DIR");
  if (!desktopFolder.empty()) return AskForPicture(desktopFolder, name);
  const std::string folder = Variable("M2K_SCREENSHOTS");
  if (folder.empty()) return;
  Sleep(700);  // a window that has just come up paints first
  RECT area{}, other{};
  GetWindowRect(first, &area);
  if (second && GetWindowRect(second, &other)) UnionRect(&area, &area, &other);
  InflateRect(&area, 8, 8);
  sjis::CreateDirectory(folder.c_str(), nullptr);
  WriteBmp(folder + "\\" + name + ".bmp", area.right - area.left, area.bottom - area.top, ScreenRows(area));
}

}  // namespace wine_test
