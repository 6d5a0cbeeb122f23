// Hints: a tooltip window per form, made with the first control that has a hint.
#include "ui/win32/common.h"

namespace ui::win32 {

void AddHints(FormWindow& window, const Form& form) {
  for (const auto& c : form.Components()) {
    auto* control = dynamic_cast<WinControl*>(c.get());
    auto* peer = control ? static_cast<WinPeer*>(control->GetPeer()) : nullptr;
    if (!peer || control->hint.empty()) continue;
    if (!window.tooltip)
      window.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       window.hwnd, nullptr, S().instance, nullptr);
    const std::wstring hint = Wide(control->hint);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window.hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(peer->Handle());
    tool.lpszText = const_cast<wchar_t*>(hint.c_str());
    SendMessageW(window.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

}  // namespace ui::win32
