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

}  // namespace platform
