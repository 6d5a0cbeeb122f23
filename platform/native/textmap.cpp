// Code page 932 text mapping that reproduces what Wine's LCMapStringA does under the Japanese
// locale: the text goes through Unicode and back, so a character whose mapped form has no code
// in code page 932 comes out as '?', and a broken double-byte character as "・".
#include <cstdint>
#include <iterator>
#include <optional>

#include "platform/sjis.h"
#include "platform/textmap.h"

namespace platform {
namespace {

// A character code: one byte below 0x100, otherwise lead byte * 0x100 + trail byte.
using Code = uint16_t;
// Written as '?': the mapped character is not in code page 932.
constexpr Code kNoCounterpart = 0;
constexpr Code kMiddleDot = 0x8145;

// Full-width forms of ASCII 0x20..0x7E. The backslash keeps its single byte.
constexpr Code kFullWidthAscii[] = {
    0x8140, 0x8149, 0xFA57, 0x8194, 0x8190, 0x8193, 0x8195, 0xFA56,  //  !"#$%&'
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,  // ()*+,-./
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,  // 01234567
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,  // 89:;<=>?
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266,  // @ABCDEFG
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,  // HIJKLMNO
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276,  // PQRSTUVW
    0x8277, 0x8278, 0x8279, 0x816D, 0x005C, 0x816E, 0x814F, 0x8151,  // XYZ[\]^_
    0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // `abcdefg
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // hijklmno
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // pqrstuvw
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8160,          // xyz{|}~
};
constexpr unsigned char kFirstAscii = 0x20, kLastAscii = 0x7E;
static_assert(std::size(kFullWidthAscii) == kLastAscii - kFirstAscii + 1);

// Full-width forms of half-width katakana 0xA1..0xDF. Wine turns the voiced and semi-voiced
// marks into combining marks, which code page 932 lacks.
constexpr Code kFullWidthKana[] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342,  // A1..A8
    0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362, 0x815B,  // A9..B0
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E,  // B1..B8
    0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E,  // B9..C0
    0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C,  // C1..C8
    0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E,  // C9..D0
    0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838A,  // D1..D8
    0x838B, 0x838C, 0x838D, 0x838F, 0x8393, kNoCounterpart, kNoCounterpart,  // D9..DF
};
constexpr unsigned char kFirstHalfWidthKana = 0xA1, kLastHalfWidthKana = 0xDF;
static_assert(std::size(kFullWidthKana) == kLastHalfWidthKana - kFirstHalfWidthKana + 1);
constexpr unsigned char kVoicedMark = 0xDE, kSemiVoicedMark = 0xDF;
constexpr unsigned char kHalfWidthU = 0xB3, kHalfWidthWa = 0xDC, kHalfWidthWo = 0xA6;
constexpr Code kVu = 0x8394;
constexpr Code kFullWidthVoicedMark = 0x814A, kFullWidthSemiVoicedMark = 0x814B;

// Katakana ァ..ン and hiragana ぁ..ん run in the same order; the katakana skip trail byte 0x7F.
constexpr Code kFirstKatakana = 0x8340, kLastKatakana = 0x8393;
constexpr Code kFirstHiragana = 0x829F, kLastHiragana = 0x82F1;
constexpr Code kKatakanaSkippedCode = 0x837F;
constexpr Code kSmallKatakanaKa = 0x8395, kSmallKatakanaKe = 0x8396;
constexpr Code kKatakanaIteration = 0x8152, kKatakanaVoicedIteration = 0x8153;
constexpr Code kHiraganaIteration = 0x8154, kHiraganaVoicedIteration = 0x8155;

bool IsSjisTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

void AppendCode(std::string& out, Code code) {
  if (code == kNoCounterpart) {
    out += '?';
  } else if (code < 0x100) {
    out += static_cast<char>(code);
  } else {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
  }
}

// The single character a half-width kana and the mark after it stand for, if they combine.
std::optional<Code> CombineMark(unsigned char kana, unsigned char mark) {
  const Code plain = kFullWidthKana[kana - kFirstHalfWidthKana];
  const bool isKaToTo = kana >= 0xB6 && kana <= 0xC4;
  const bool isHaToHo = kana >= 0xCA && kana <= 0xCE;
  if (mark == kVoicedMark) {
    if (isKaToTo || isHaToHo) return plain + 1;
    if (kana == kHalfWidthU) return kVu;
    // ヷ and ヺ exist in Unicode only.
    if (kana == kHalfWidthWa || kana == kHalfWidthWo) return kNoCounterpart;
  }
  if (mark == kSemiVoicedMark && isHaToHo) return plain + 2;
  return std::nullopt;
}

// Maps the single-byte character at `pos`; returns how many bytes it consumed.
size_t MapSingleToFullWidth(const std::string& text, size_t pos, std::string& out) {
  const unsigned char c = static_cast<unsigned char>(text[pos]);
  if (c >= kFirstAscii && c <= kLastAscii) {
    AppendCode(out, kFullWidthAscii[c - kFirstAscii]);
    return 1;
  }
  if (c < kFirstHalfWidthKana || c > kLastHalfWidthKana) {
    out += static_cast<char>(c);
    return 1;
  }
  const unsigned char next = pos + 1 < text.size() ? static_cast<unsigned char>(text[pos + 1]) : 0;
  if (const std::optional<Code> combined = CombineMark(c, next)) {
    AppendCode(out, *combined);
    return 2;
  }
  AppendCode(out, kFullWidthKana[c - kFirstHalfWidthKana]);
  return 1;
}

Code ToHiragana(Code code) {
  if (code >= kFirstKatakana && code <= kLastKatakana) {
    const int index = code - kFirstKatakana - (code > kKatakanaSkippedCode ? 1 : 0);
    return static_cast<Code>(kFirstHiragana + index);
  }
  if (code == kSmallKatakanaKa || code == kSmallKatakanaKe) return kNoCounterpart;
  if (code == kKatakanaIteration) return kHiraganaIteration;
  if (code == kKatakanaVoicedIteration) return kHiraganaVoicedIteration;
  return code;
}

Code ToKatakana(Code code) {
  if (code >= kFirstHiragana && code <= kLastHiragana) {
    const Code katakana = static_cast<Code>(kFirstKatakana + (code - kFirstHiragana));
    return katakana >= kKatakanaSkippedCode ? katakana + 1 : katakana;
  }
  if (code == kHiraganaIteration) return kKatakanaIteration;
  if (code == kHiraganaVoicedIteration) return kKatakanaVoicedIteration;
  return code;
}

Code MapDoubleByte(Code code, TextMapping mapping) {
  switch (mapping) {
    case TextMapping::FullWidth:
      // Wine turns these into combining marks too.
      return code == kFullWidthVoicedMark || code == kFullWidthSemiVoicedMark ? kNoCounterpart
                                                                              : code;
    case TextMapping::Hiragana: return ToHiragana(code);
    case TextMapping::Katakana: return ToKatakana(code);
  }
  return code;
}

// Maps the character that starts with the lead byte at `pos`; returns how many bytes it consumed.
size_t MapFromLeadByte(const std::string& text, size_t pos, TextMapping mapping, std::string& out) {
  // A lead byte at the end or before a zero byte stands alone; the zero byte is kept.
  if (pos + 1 == text.size() || text[pos + 1] == '\0') {
    AppendCode(out, kMiddleDot);
    return 1;
  }
  const auto lead = static_cast<unsigned char>(text[pos]);
  const auto trail = static_cast<unsigned char>(text[pos + 1]);
  const Code code = static_cast<Code>(lead << 8 | trail);
  AppendCode(out, IsSjisTrailByte(trail) ? MapDoubleByte(code, mapping) : kMiddleDot);
  return 2;
}

}  // namespace

std::string MapText(const std::string& text, TextMapping mapping) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    if (IsSjisLeadByte(static_cast<unsigned char>(text[pos]))) {
      pos += MapFromLeadByte(text, pos, mapping, out);
    } else if (mapping == TextMapping::FullWidth) {
      pos += MapSingleToFullWidth(text, pos, out);
    } else {
      out += text[pos++];
    }
  }
  return out;
}

}  // namespace platform
