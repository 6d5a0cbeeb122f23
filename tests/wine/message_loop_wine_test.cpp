// The win32 message loop: an exception from an event handler is shown in the exception box
// and the loop goes on.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "ui/ui.h"
#include "tests/wine/sjis_calls.h"

namespace {

const char kTitle[] = "M2K message loop test";

// A hidden main form whose timer fails on its first tick and closes the form on its second.
class FailingOnce : public ui::Form {
 public:
  explicit FailingOnce(std::atomic<int>& ticks) {
    Build({{.kind = ui::Kind::Timer, .name = "timTick", .enabled = true, .interval = 50}});
    Find<ui::Timer>("timTick")->onTimer = [this, &ticks] {
      if (++ticks == 1) throw std::runtime_error("tick failed");
      Close();
    };
  }
};

struct BoxSearch {
  HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM param) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  char className[32] = {};
  GetClassNameA(hwnd, className, sizeof className);
  wchar_t caption[128] = {};
  GetWindowTextW(hwnd, caption, 128);
  if (process == GetCurrentProcessId() && std::string(className) == "#32770" && sjis::Narrow(caption) == kTitle) {
    reinterpret_cast<BoxSearch*>(param)->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
  wchar_t text[256] = {};
  GetWindowTextW(child, text, 256);
  *reinterpret_cast<std::string*>(param) += sjis::Narrow(text) + "\n";
  return TRUE;
}

// Waits for the exception box, notes its texts and presses OK, as a user would.
void AnswerTheBox(std::atomic<bool>& stop, std::string& texts) {
  while (!stop) {
    BoxSearch search;
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      EnumChildWindows(search.found, CollectText, reinterpret_cast<LPARAM>(&texts));
      PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      return;
    }
    Sleep(50);
  }
}

TEST(MessageLoopWine, AnExceptionInAnEventHandlerIsShownAndTheLoopGoesOn) {
  ui::Application& app = ui::Application::Instance();
  app.Reset();
  app.title = kTitle;
  app.showMainForm = false;
  std::atomic<int> ticks{0};
  app.SetMainForm(std::make_unique<FailingOnce>(ticks));
  std::atomic<bool> stop{false};
  std::string texts;
  std::thread user(AnswerTheBox, std::ref(stop), std::ref(texts));
  EXPECT_NO_THROW(app.Run());
  stop = true;
  user.join();
  app.Reset();
  EXPECT_EQ(2, ticks.load());
  EXPECT_NE(std::string::npos, texts.find("tick failed")) << texts;
}

}  // namespace
