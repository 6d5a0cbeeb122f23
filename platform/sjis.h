#pragma once
// Shift-JIS byte classes; portable, no OS calls.
#include <cstddef>
#include <string>

namespace platform {

inline bool IsSjisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// True when the last byte of `text` is a character of its own, not the second byte of a
// double-byte character.
inline bool LastByteIsSingle(const std::string& text) {
  size_t i = 0;
  size_t lastStart = 0;
  while (i < text.size()) {
    lastStart = i;
    const bool pair = IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    i += pair ? 2 : 1;
  }
  return !text.empty() && lastStart == text.size() - 1;
}

// Two Shift-JIS paths equal as the file system compares names: ASCII letters of either case
// alike, double-byte characters byte for byte (a trail byte such as 0x5C or 0x61 is no letter
// and no separator), "/" as "\\".
inline bool SamePathIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  const auto fold = [](unsigned char c) {
    return c == '/' ? '\\' : (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
  };
  for (size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (IsSjisLeadByte(x) && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (fold(x) != fold(y)) return false;
  }
  return true;
}

}  // namespace platform
