// Timers, MCI wave playback, the application's own window and icon, message boxes, the screen
// and the program's resources.

#include "ui/win32/common.h"

namespace ui::win32 {

State& S() {
  static State state;
  return state;
}

}  // namespace ui::win32

namespace ui::backend {

using namespace ui::win32;

void TimerChanged(Timer& timer) {
  HWND window = MessageWindow();
  UINT_PTR id = reinterpret_cast<UINT_PTR>(timer.peer);
  if (id) {
    KillTimer(window, id);
    S().timers.erase(id);
    timer.peer = nullptr;
  }
  if (!timer.Enabled() || timer.Interval() <= 0) return;
  id = S().nextTimerId++;
  S().timers[id] = &timer;
  timer.peer = reinterpret_cast<void*>(id);
  SetTimer(window, id, static_cast<UINT>(timer.Interval()), nullptr);
}

void TimerDestroyed(Timer& timer) {
  const UINT_PTR id = reinterpret_cast<UINT_PTR>(timer.peer);
  if (!id) return;
  KillTimer(MessageWindow(), id);
  S().timers.erase(id);
  timer.peer = nullptr;
}

namespace {

// The media control interface is loaded with the first clip: a run without voices never needs it.
MCIERROR SendMci(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters) {
  static auto* const send = platform::win32::LateBound<decltype(mciSendCommandW)>(L"winmm.dll", "mciSendCommandW");
  return send ? send(device, message, flags, parameters) : MCIERR_CANNOT_LOAD_DRIVER;
}

[[noreturn]] void ThrowMci(MCIERROR error) {
  static auto* const describe =
      platform::win32::LateBound<decltype(mciGetErrorStringW)>(L"winmm.dll", "mciGetErrorStringW");
  wchar_t text[256] = {};
  std::string described;
  if (describe && describe(error, text, 256)) described = platform::win32::ShiftJisOrEmpty(text);
  // The system's words may be in a language Shift-JIS cannot write; the number always can.
  throw Error(described.empty() ? "MCI error " + std::to_string(error) : described);
}

}  // namespace

void MediaOpen(MediaPlayer& player) {
  // Wine's wave player opens its file by an ANSI name: a Japanese one goes by its short form.
  const std::wstring file = platform::win32::AnsiSafePath(Wide(player.fileName));
  MCI_OPEN_PARMSW open{};
  open.lpstrDeviceType = L"waveaudio";
  open.lpstrElementName = file.c_str();
  if (MCIERROR error = SendMci(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)))
    ThrowMci(error);
  player.peer = reinterpret_cast<void*>(static_cast<UINT_PTR>(open.wDeviceID));
  S().players[open.wDeviceID] = &player;
}

void MediaPlay(MediaPlayer& player) {
  const auto device = static_cast<MCIDEVICEID>(reinterpret_cast<UINT_PTR>(player.peer));
  MCI_PLAY_PARMS play{};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(MessageWindow());
  if (MCIERROR error = SendMci(device, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play)))
    ThrowMci(error);
}

void MediaClose(MediaPlayer& player) {
  const auto device = static_cast<MCIDEVICEID>(reinterpret_cast<UINT_PTR>(player.peer));
  S().players.erase(device);  // a late notice of the closed device is dropped
  SendMci(device, MCI_CLOSE, MCI_WAIT, 0);
  player.peer = nullptr;
}

void ApplicationIcon(const std::string& resource) {
  S().icon = LoadIconW(S().instance, Wide(resource).c_str());
}

void ApplicationHideTaskbar() { S().taskbarHidden = true; }

void ApplicationRestore() {
  Form* main = Application::Instance().MainForm();
  FormWindow* window = main ? WindowOf(*main) : nullptr;
  if (window && window->hwnd && IsIconic(window->hwnd)) ShowWindow(window->hwnd, SW_RESTORE);
}

void ShowException(const std::string& title, const std::string& message) {
  ::MessageBoxW(nullptr, Wide(message).c_str(), Wide(title).c_str(), MB_OK | MB_ICONERROR);
}

MessageResult MessageBox(const Form& owner, const std::string& text, MessageIcon icon,
                         MessageButtons buttons) {
  const UINT iconFlag = icon == MessageIcon::Error     ? MB_ICONERROR
                        : icon == MessageIcon::Warning ? MB_ICONWARNING
                        : icon == MessageIcon::Question ? MB_ICONQUESTION
                                                        : MB_ICONINFORMATION;
  const UINT buttonFlag = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
  const FormWindow* window = WindowOf(owner);
  const int answer = ::MessageBoxW(window ? window->hwnd : nullptr, Wide(text).c_str(), Wide(owner.caption).c_str(),
                                   iconFlag | buttonFlag);
  return answer == IDYES ? MessageResult::Yes : answer == IDNO ? MessageResult::No : MessageResult::Ok;
}

Size ScreenSize() { return Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

std::string_view ResourceBytes(const std::string& name) {
  // A resource lies in the program's image for as long as it runs: read in place, not copied.
  HRSRC found = FindResourceW(S().instance, Wide(name).c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!found) return std::string_view();
  HGLOBAL loaded = LoadResource(S().instance, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::string_view();
  return std::string_view(static_cast<const char*>(data), SizeofResource(S().instance, found));
}

}  // namespace ui::backend
