#include "platform/textmap.h"

#include <windows.h>

#include "platform/win32/shift_jis.h"

namespace platform {

std::string MapText(const std::string& text, TextMapping mapping) {
  const DWORD flags = mapping == TextMapping::FullWidth  ? LCMAP_FULLWIDTH
                      : mapping == TextMapping::Hiragana ? LCMAP_HIRAGANA
                                                         : LCMAP_KATAKANA;
  const LCID locale = GetUserDefaultLCID();
  const std::wstring wide = win32::Wide(text);
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  const int needed = LCMapStringW(locale, flags, wide.data(), length, nullptr, 0);
  if (needed <= 0) return std::string();
  std::wstring mapped(static_cast<size_t>(needed), L'\0');
  const int written = LCMapStringW(locale, flags, wide.data(), length, &mapped[0], needed);
  mapped.resize(written > 0 ? static_cast<size_t>(written) : 0);
  // A mapped character without a Shift-JIS form (a lone sound mark, small "ka" as hiragana)
  // becomes "?", as the system's own Shift-JIS mapping gives it on Japanese Windows.
  if (mapped.empty()) return std::string();
  const int bytes = WideCharToMultiByte(win32::kShiftJis, 0, mapped.data(), static_cast<int>(mapped.size()),
                                        nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0)
    WideCharToMultiByte(win32::kShiftJis, 0, mapped.data(), static_cast<int>(mapped.size()), &result[0], bytes,
                        nullptr, nullptr);
  return result;
}

}  // namespace platform
