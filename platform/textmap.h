#pragma once
// Shift-JIS text mapping under the user's default locale.
#include <string>

namespace platform {

enum class TextMapping { FullWidth, Hiragana, Katakana };

std::string MapText(const std::string& text, TextMapping mapping);

}  // namespace platform
