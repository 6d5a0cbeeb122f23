#include "platform/textmap.h"

#include <windows.h>

namespace platform {

std::string MapText(const std::string& text, TextMapping mapping) {
  const DWORD flags = mapping == TextMapping::FullWidth  ? LCMAP_FULLWIDTH
                      : mapping == TextMapping::Hiragana ? LCMAP_HIRAGANA
                                                         : LCMAP_KATAKANA;
  const LCID locale = GetUserDefaultLCID();
  const int length = static_cast<int>(text.size());
  if (length == 0) return std::string();
  const int needed = LCMapStringA(locale, flags, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::string();
  std::string mapped(static_cast<size_t>(needed), '\0');
  const int written = LCMapStringA(locale, flags, text.data(), length, &mapped[0], needed);
  mapped.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return mapped;
}

}  // namespace platform
