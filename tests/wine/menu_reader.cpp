#include "tests/wine/menu_reader.h"

#include <cstdio>
#include <sstream>

#include "tests/wine/program_runner.h"
#include "tests/wine/sjis_calls.h"

namespace wine_test {

namespace {

constexpr DWORD kBlockSize = 64 * 1024;
constexpr UINT kGetMenuOfPopup = 0x01E1;  // MN_GETHMENU

class SharedBlock {
 public:
  SharedBlock() {
    char name[64];
    std::snprintf(name, sizeof name, "M2KMenuReader-%lu", GetCurrentProcessId());
    block_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockSize, name);
    view_ = block_ ? static_cast<char*>(MapViewOfFile(block_, FILE_MAP_WRITE, 0, 0, kBlockSize)) : nullptr;
    if (view_) view_[0] = '\0';
  }
  ~SharedBlock() {
    if (view_) UnmapViewOfFile(view_);
    if (block_) CloseHandle(block_);
  }
  std::string Text() const { return view_ ? std::string(view_) : std::string(); }

 private:
  HANDLE block_ = nullptr;
  char* view_ = nullptr;
};

std::vector<MenuLine> Parse(const std::string& text) {
  std::vector<MenuLine> lines;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != "menu") return lines;
  while (std::getline(in, line)) {
    MenuLine item{};
    int used = 0;
    if (std::sscanf(line.c_str(), "%d %x %n", &item.depth, &item.state, &used) < 2) continue;
    item.caption = line.substr(static_cast<size_t>(used));
    lines.push_back(item);
  }
  return lines;
}

}  // namespace

std::vector<MenuLine> ReadMenu(HWND window, HMENU menu) {
  HMODULE reader = sjis::LoadLibrary((BinFolder() + "m2k_menu_reader.dll").c_str());
  if (!reader) return {};
  auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(reader, "MenuReaderHook")));
  SharedBlock block;
  HHOOK installed = hook ? SetWindowsHookExA(WH_CALLWNDPROC, hook, reader, GetWindowThreadProcessId(window, nullptr))
                         : nullptr;
  if (installed) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, RegisterWindowMessageA("M2KMenuReaderRequest"), reinterpret_cast<WPARAM>(menu),
                        static_cast<LPARAM>(GetCurrentProcessId()), SMTO_ABORTIFHUNG, 5000, &ignored);
    UnhookWindowsHookEx(installed);
  }
  FreeLibrary(reader);
  return Parse(block.Text());
}

HMENU MenuOfPopup(HWND popup) {
  DWORD_PTR menu = 0;
  SendMessageTimeoutA(popup, kGetMenuOfPopup, 0, 0, SMTO_ABORTIFHUNG, 5000, &menu);
  return reinterpret_cast<HMENU>(menu);
}

}  // namespace wine_test
