#pragma once
// Text mapping cases shared by the native test and the Wine test. The expected bytes are what
// Wine's LCMapStringA returned under the Japanese locale (code page 932).
#include <cstddef>
#include <cstdio>
#include <string>

#include "platform/textmap.h"

struct TextMapCase {
  const char* input;
  int inputLength;
  platform::TextMapping mapping;
  const char* expected;
  int expectedLength;
};

// A string literal and its length; the length counts zero bytes written inside the literal.
#define TEXTMAP_BYTES(literal) literal, static_cast<int>(sizeof(literal) - 1)

inline constexpr TextMapCase kTextMapCases[] = {
    // ---- ASCII: letters, digits, space, punctuation
    // letters of both cases, space, digit
    {TEXTMAP_BYTES("Ab 1"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x82\x60\x82\x82\x81\x40\x82\x50")},
    // letters at both ends of the alphabet
    {TEXTMAP_BYTES("AMZamz"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x82\x60\x82\x6C\x82\x79\x82\x81\x82\x8D\x82\x9A")},
    // digits
    {TEXTMAP_BYTES("0189"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x82\x4F\x82\x50\x82\x57\x82\x58")},
    // punctuation 0x21..0x2F (quotes become the IBM full-width quotes)
    {TEXTMAP_BYTES("!\"#$%&'()*+,-./"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x81\x49\xFA\x57\x81\x94\x81\x90\x81\x93\x81\x95\xFA\x56\x81\x69\x81\x6A"
                   "\x81\x96\x81\x7B\x81\x43\x81\x7C\x81\x44\x81\x5E")},
    // punctuation 0x3A..0x40
    {TEXTMAP_BYTES(":;<=>?@"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x81\x46\x81\x47\x81\x83\x81\x81\x81\x84\x81\x48\x81\x97")},
    // punctuation 0x5B..0x60 (the backslash stays single-byte)
    {TEXTMAP_BYTES("[\\]^_`"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x81\x6D\\\x81\x6E\x81\x4F\x81\x51\x81\x4D")},
    // punctuation 0x7B..0x7E
    {TEXTMAP_BYTES("{|}~"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x81\x6F\x81\x62\x81\x70\x81\x60")},
    // control characters and non-lead high bytes pass through
    {TEXTMAP_BYTES("A\x09" "B\x80\xA0\xFD"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x82\x60\x09\x82\x61\x80\xA0\xFD")},
    // ASCII is left alone by the kana mappings
    {TEXTMAP_BYTES("Ab 1!~\\"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("Ab 1!~\\")},
    // ASCII is left alone by the kana mappings
    {TEXTMAP_BYTES("Ab 1!~\\"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("Ab 1!~\\")},
    // ---- half-width katakana
    // punctuation, wo, small kana, long vowel mark
    {TEXTMAP_BYTES("\xA1\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xAF\xB0"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x83\x92\x83\x40\x83\x42\x83\x44"
                   "\x83\x46\x83\x48\x83\x83\x83\x85\x83\x87\x83\x62\x81\x5B")},
    // a row to so
    {TEXTMAP_BYTES("\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xBB\xBC\xBD\xBE\xBF\xC0"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4A\x83\x4C\x83\x4E\x83\x50"
                   "\x83\x52\x83\x54\x83\x56\x83\x58\x83\x5A\x83\x5C\x83\x5E")},
    // ta row to ho
    {TEXTMAP_BYTES("\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x60\x83\x63\x83\x65\x83\x67\x83\x69\x83\x6A\x83\x6B\x83\x6C\x83\x6D"
                   "\x83\x6E\x83\x71\x83\x74\x83\x77\x83\x7A\x83\x7D\x83\x7E")},
    // ma row to n
    {TEXTMAP_BYTES("\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xDD"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x80\x83\x81\x83\x82\x83\x84\x83\x86\x83\x88\x83\x89\x83\x8A\x83\x8B"
                   "\x83\x8C\x83\x8D\x83\x8F\x83\x93")},
    // voiced and semi-voiced marks combine
    {TEXTMAP_BYTES("\xB6\xDE\xBB\xDE\xC0\xDE\xCA\xDE\xCA\xDF"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x4B\x83\x55\x83\x5F\x83\x6F\x83\x70")},
    // last kana of the combining ranges
    {TEXTMAP_BYTES("\xBA\xDE\xBF\xDE\xC4\xDE\xCE\xDE\xCE\xDF"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x53\x83\x5D\x83\x68\x83\x7B\x83\x7C")},
    // u with voiced mark becomes vu
    {TEXTMAP_BYTES("\xB3\xDE"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x94")},
    // marks after kana that take none become '?'
    {TEXTMAP_BYTES("\xB1\xDE\xB7\xDF\xAF\xDE\xDD\xDF"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x41?\x83\x4C?\x83\x62?\x83\x93?")},
    // wa and wo with voiced mark become a single '?'
    {TEXTMAP_BYTES("\xDC\xDE\xA6\xDE"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("??")},
    // lone marks become '?'
    {TEXTMAP_BYTES("\xDE\xDF"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("??")},
    // a second mark is not combined
    {TEXTMAP_BYTES("\xB6\xDE\xDE\xCA\xDF\xDF"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x4B?\x83\x70?")},
    // full-width marks become '?' and never combine
    {TEXTMAP_BYTES("\xB6\x81\x4A\xCA\x81\x4B"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x4A?\x83\x6E?")},
    // half-width mark after a full-width kana is not combined
    {TEXTMAP_BYTES("\x83\x4A\xDE"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x4A?")},
    // half-width katakana are left alone by the kana mappings
    {TEXTMAP_BYTES("\xB6\xDE\xCA\xDF\xB1\xB0"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("\xB6\xDE\xCA\xDF\xB1\xB0")},
    // half-width katakana are left alone by the kana mappings
    {TEXTMAP_BYTES("\xB6\xDE\xCA\xDF\xB1\xB0"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("\xB6\xDE\xCA\xDF\xB1\xB0")},
    // ---- full-width katakana to hiragana
    // small and plain vowels
    {TEXTMAP_BYTES("\x83\x40\x83\x41\x83\x42\x83\x43\x83\x44\x83\x45\x83\x46\x83\x47\x83\x48"
                   "\x83\x49"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("\x82\x9F\x82\xA0\x82\xA1\x82\xA2\x82\xA3\x82\xA4\x82\xA5\x82\xA6\x82\xA7"
                   "\x82\xA8")},
    // ka to do, incl. small tsu and the trail byte 0x5C
    {TEXTMAP_BYTES("\x83\x4A\x83\x4B\x83\x4C\x83\x4D\x83\x4E\x83\x4F\x83\x50\x83\x51\x83\x52"
                   "\x83\x53\x83\x54\x83\x55\x83\x56\x83\x57\x83\x58\x83\x59\x83\x5A\x83\x5B"
                   "\x83\x5C\x83\x5D\x83\x5E\x83\x5F\x83\x60\x83\x61\x83\x62\x83\x63\x83\x64"
                   "\x83\x65\x83\x66\x83\x67"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("\x82\xA9\x82\xAA\x82\xAB\x82\xAC\x82\xAD\x82\xAE\x82\xAF\x82\xB0\x82\xB1"
                   "\x82\xB2\x82\xB3\x82\xB4\x82\xB5\x82\xB6\x82\xB7\x82\xB8\x82\xB9\x82\xBA"
                   "\x82\xBB\x82\xBC\x82\xBD\x82\xBE\x82\xBF\x82\xC0\x82\xC1\x82\xC2\x82\xC3"
                   "\x82\xC4\x82\xC5\x82\xC6")},
    // do to mo, around the trail byte gap at 0x7F
    {TEXTMAP_BYTES("\x83\x68\x83\x69\x83\x6A\x83\x6B\x83\x6C\x83\x6D\x83\x6E\x83\x6F\x83\x70"
                   "\x83\x71\x83\x72\x83\x73\x83\x74\x83\x75\x83\x76\x83\x77\x83\x78\x83\x79"
                   "\x83\x7A\x83\x7B\x83\x7C\x83\x7D\x83\x7E\x83\x80\x83\x81\x83\x82"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("\x82\xC7\x82\xC8\x82\xC9\x82\xCA\x82\xCB\x82\xCC\x82\xCD\x82\xCE\x82\xCF"
                   "\x82\xD0\x82\xD1\x82\xD2\x82\xD3\x82\xD4\x82\xD5\x82\xD6\x82\xD7\x82\xD8"
                   "\x82\xD9\x82\xDA\x82\xDB\x82\xDC\x82\xDD\x82\xDE\x82\xDF\x82\xE0")},
    // small ya to n
    {TEXTMAP_BYTES("\x83\x83\x83\x84\x83\x85\x83\x86\x83\x87\x83\x88\x83\x89\x83\x8A\x83\x8B"
                   "\x83\x8C\x83\x8D\x83\x8E\x83\x8F\x83\x90\x83\x91\x83\x92\x83\x93"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("\x82\xE1\x82\xE2\x82\xE3\x82\xE4\x82\xE5\x82\xE6\x82\xE7\x82\xE8\x82\xE9"
                   "\x82\xEA\x82\xEB\x82\xEC\x82\xED\x82\xEE\x82\xEF\x82\xF0\x82\xF1")},
    // vu stays, small ka and ke become '?'
    {TEXTMAP_BYTES("\x83\x94\x83\x95\x83\x96"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("\x83\x94??")},
    // iteration marks
    {TEXTMAP_BYTES("\x81\x52\x81\x53"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("\x81\x54\x81\x55")},
    // long vowel mark, hiragana, kanji and symbols are kept
    {TEXTMAP_BYTES("\x81\x5B\x82\xA0\x8A\xBF\x8E\x9A\x95\x5C\x81\x9A\x81\xA7\x82\x60\x82\x50"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("\x81\x5B\x82\xA0\x8A\xBF\x8E\x9A\x95\x5C\x81\x9A\x81\xA7\x82\x60\x82\x50")},
    // ---- hiragana to full-width katakana
    // small and plain vowels
    {TEXTMAP_BYTES("\x82\x9F\x82\xA0\x82\xA1\x82\xA2\x82\xA3\x82\xA4\x82\xA5\x82\xA6\x82\xA7"
                   "\x82\xA8"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("\x83\x40\x83\x41\x83\x42\x83\x43\x83\x44\x83\x45\x83\x46\x83\x47\x83\x48"
                   "\x83\x49")},
    // ka to do, incl. small tsu
    {TEXTMAP_BYTES("\x82\xA9\x82\xAA\x82\xAB\x82\xAC\x82\xAD\x82\xAE\x82\xAF\x82\xB0\x82\xB1"
                   "\x82\xB2\x82\xB3\x82\xB4\x82\xB5\x82\xB6\x82\xB7\x82\xB8\x82\xB9\x82\xBA"
                   "\x82\xBB\x82\xBC\x82\xBD\x82\xBE\x82\xBF\x82\xC0\x82\xC1\x82\xC2\x82\xC3"
                   "\x82\xC4\x82\xC5\x82\xC6"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("\x83\x4A\x83\x4B\x83\x4C\x83\x4D\x83\x4E\x83\x4F\x83\x50\x83\x51\x83\x52"
                   "\x83\x53\x83\x54\x83\x55\x83\x56\x83\x57\x83\x58\x83\x59\x83\x5A\x83\x5B"
                   "\x83\x5C\x83\x5D\x83\x5E\x83\x5F\x83\x60\x83\x61\x83\x62\x83\x63\x83\x64"
                   "\x83\x65\x83\x66\x83\x67")},
    // do to mo, across the katakana trail byte gap
    {TEXTMAP_BYTES("\x82\xC7\x82\xC8\x82\xC9\x82\xCA\x82\xCB\x82\xCC\x82\xCD\x82\xCE\x82\xCF"
                   "\x82\xD0\x82\xD1\x82\xD2\x82\xD3\x82\xD4\x82\xD5\x82\xD6\x82\xD7\x82\xD8"
                   "\x82\xD9\x82\xDA\x82\xDB\x82\xDC\x82\xDD\x82\xDE\x82\xDF\x82\xE0"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("\x83\x68\x83\x69\x83\x6A\x83\x6B\x83\x6C\x83\x6D\x83\x6E\x83\x6F\x83\x70"
                   "\x83\x71\x83\x72\x83\x73\x83\x74\x83\x75\x83\x76\x83\x77\x83\x78\x83\x79"
                   "\x83\x7A\x83\x7B\x83\x7C\x83\x7D\x83\x7E\x83\x80\x83\x81\x83\x82")},
    // small ya to n
    {TEXTMAP_BYTES("\x82\xE1\x82\xE2\x82\xE3\x82\xE4\x82\xE5\x82\xE6\x82\xE7\x82\xE8\x82\xE9"
                   "\x82\xEA\x82\xEB\x82\xEC\x82\xED\x82\xEE\x82\xEF\x82\xF0\x82\xF1"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("\x83\x83\x83\x84\x83\x85\x83\x86\x83\x87\x83\x88\x83\x89\x83\x8A\x83\x8B"
                   "\x83\x8C\x83\x8D\x83\x8E\x83\x8F\x83\x90\x83\x91\x83\x92\x83\x93")},
    // iteration marks
    {TEXTMAP_BYTES("\x81\x54\x81\x55"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("\x81\x52\x81\x53")},
    // katakana without hiragana, long vowel mark, kanji and symbols are kept
    {TEXTMAP_BYTES("\x83\x94\x83\x95\x83\x96\x81\x5B\x83\x41\x8A\xBF\x8E\x9A\x95\x5C\x81\x9A"
                   "\x81\xA7\x82\x60\x82\x50"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("\x83\x94\x83\x95\x83\x96\x81\x5B\x83\x41\x8A\xBF\x8E\x9A\x95\x5C\x81\x9A"
                   "\x81\xA7\x82\x60\x82\x50")},
    // ---- already full-width text
    // kana, kanji, letters, digits, space and symbols are kept
    {TEXTMAP_BYTES("\x83\x41\x82\xA0\x83\x94\x83\x95\x83\x96\x81\x5B\x8A\xBF\x8E\x9A\x95\x5C"
                   "\x82\x60\x82\x50\x81\x40\x81\x9A\x81\xA7"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x41\x82\xA0\x83\x94\x83\x95\x83\x96\x81\x5B\x8A\xBF\x8E\x9A\x95\x5C"
                   "\x82\x60\x82\x50\x81\x40\x81\x9A\x81\xA7")},
    // ---- mixed strings
    // half-width and ASCII mixed with kanji
    {TEXTMAP_BYTES("\xC3\xDE\xB0\xC0 2\x8D\x86\x8B\x40"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x66\x81\x5B\x83\x5E\x81\x40\x82\x51\x8D\x86\x8B\x40")},
    // katakana among other text
    {TEXTMAP_BYTES("\x83\x5C\x83\x74\x83\x67ID:\x83\x4A\x83\x5E\x83\x4A\x83\x69\x82\xC6\x82\xD0"
                   "\x82\xE7\x82\xAA\x82\xC8"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("\x82\xBB\x82\xD3\x82\xC6ID:\x82\xA9\x82\xBD\x82\xA9\x82\xC8\x82\xC6\x82\xD0"
                   "\x82\xE7\x82\xAA\x82\xC8")},
    // hiragana among other text
    {TEXTMAP_BYTES("\x83\x5C\x83\x74\x83\x67ID:\x83\x4A\x83\x5E\x83\x4A\x83\x69\x82\xC6\x82\xD0"
                   "\x82\xE7\x82\xAA\x82\xC8"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("\x83\x5C\x83\x74\x83\x67ID:\x83\x4A\x83\x5E\x83\x4A\x83\x69\x83\x67\x83\x71"
                   "\x83\x89\x83\x4B\x83\x69")},
    // ---- terminating zero bytes and broken double-byte characters
    // zero byte is kept after ASCII
    {TEXTMAP_BYTES("ABC\x00"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x82\x60\x82\x61\x82\x62\x00")},
    // zero byte is kept after combined kana
    {TEXTMAP_BYTES("\xB6\xDE\x00"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x83\x4B\x00")},
    // zero byte is kept after katakana
    {TEXTMAP_BYTES("\x83\x41\x00"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("\x82\xA0\x00")},
    // zero byte is kept after hiragana
    {TEXTMAP_BYTES("\x82\xA0\x00"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("\x83\x41\x00")},
    // only zero bytes
    {TEXTMAP_BYTES("\x00\x00"),
     platform::TextMapping::Katakana,
     TEXTMAP_BYTES("\x00\x00")},
    // lead byte before the zero byte becomes a middle dot
    {TEXTMAP_BYTES("\x82\x00"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x81\x45\x00")},
    // lead byte at the end becomes a middle dot
    {TEXTMAP_BYTES("A\x82"),
     platform::TextMapping::Hiragana,
     TEXTMAP_BYTES("A\x81\x45")},
    // lead byte with an invalid trail byte becomes a middle dot
    {TEXTMAP_BYTES("\x82\x20" "A"),
     platform::TextMapping::FullWidth,
     TEXTMAP_BYTES("\x81\x45\x82\x60")},
    // trail byte 0x7F amid the katakana is invalid too
    {TEXTMAP_BYTES("\x83\x7F"), platform::TextMapping::Hiragana, TEXTMAP_BYTES("\x81\x45")},
    // empty input
    {TEXTMAP_BYTES(""), platform::TextMapping::FullWidth, TEXTMAP_BYTES("")},
};

#undef TEXTMAP_BYTES

inline std::string TextMapHex(const std::string& bytes) {
  std::string hex;
  char pair[4];
  for (const unsigned char byte : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", byte);
    hex += hex.empty() ? "" : " ";
    hex += pair;
  }
  return hex.empty() ? "(empty)" : hex;
}

inline const char* TextMappingName(platform::TextMapping mapping) {
  switch (mapping) {
    case platform::TextMapping::FullWidth: return "FullWidth";
    case platform::TextMapping::Hiragana: return "Hiragana";
    case platform::TextMapping::Katakana: return "Katakana";
  }
  return "Unknown";
}

// A test name such as "07_FullWidth_41_62_20_31": row number, mapping, first input bytes.
inline std::string TextMapCaseName(const TextMapCase& mapCase, size_t row) {
  constexpr int kShownBytes = 8;
  const int shown = mapCase.inputLength < kShownBytes ? mapCase.inputLength : kShownBytes;
  std::string hex = TextMapHex(std::string(mapCase.input, static_cast<size_t>(shown)));
  for (char& c : hex) c = c == ' ' ? '_' : c;
  if (shown == 0) hex = "empty";
  char number[8];
  std::snprintf(number, sizeof number, "%02zu", row);
  return std::string(number) + "_" + TextMappingName(mapCase.mapping) + "_" + hex;
}
