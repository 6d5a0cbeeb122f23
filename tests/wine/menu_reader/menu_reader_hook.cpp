// m2k_menu_reader.dll: reads a menu inside the process that owns it. A menu handle means
// nothing to another process under Wine (GetMenuItemCount fails there), so a test hooks this
// DLL into the program's window thread and sends it a request; the hook, running in that
// thread, writes the menu's items into a shared memory block named after the test's process.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/wine/sjis_calls.h"

namespace {

constexpr DWORD kBlockSize = 64 * 1024;

// One line per item, depth first: "depth state caption", the state as GetMenuState gives it.
void AppendItems(HMENU menu, int depth, std::string& out) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    // Asked for as Unicode and written as Shift-JIS by name: what the program gave Windows,
    // whatever the code page of the program's process.
    wchar_t caption[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), caption, 256, MF_BYPOSITION);
    char head[32];
    std::snprintf(head, sizeof head, "%d %x ", depth, GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION));
    out += head;
    out += sjis::Narrow(caption);
    out += '\n';
    if (HMENU sub = GetSubMenu(menu, i)) AppendItems(sub, depth + 1, out);
  }
}

void Answer(HMENU menu, DWORD readerProcess) {
  std::string out = IsMenu(menu) ? "menu\n" : "no menu\n";
  if (IsMenu(menu)) AppendItems(menu, 0, out);
  char name[64];
  std::snprintf(name, sizeof name, "M2KMenuReader-%lu", readerProcess);
  HANDLE block = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
  if (!block) return;
  if (char* view = static_cast<char*>(MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, kBlockSize))) {
    const size_t length = out.size() < kBlockSize - 1 ? out.size() : kBlockSize - 1;
    out.copy(view, length);
    view[length] = '\0';
    UnmapViewOfFile(view);
  }
  CloseHandle(block);
}

}  // namespace

// WH_CALLWNDPROC hook: the request is the registered message "M2KMenuReaderRequest" with the
// menu handle in wParam and the reader's process id in lParam.
extern "C" __declspec(dllexport) LRESULT CALLBACK MenuReaderHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT request = RegisterWindowMessageA("M2KMenuReaderRequest");
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message == request) Answer(reinterpret_cast<HMENU>(sent->wParam), static_cast<DWORD>(sent->lParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
