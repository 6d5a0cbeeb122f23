#pragma once
// The program's texts are Shift-JIS (code page 932) whatever the system's code page for
// non-Unicode programs is: every text crosses into Windows through the W functions, converted
// here with code page 932 by name. The A functions would convert with the system's code page,
// which outside Japan turns every Japanese caption into mojibake and every Japanese path into
// "?". Header-only, so that the two libraries use the same conversions as the program.
#include <windows.h>

#include <string>
#include <string_view>

namespace platform::win32 {

constexpr UINT kShiftJis = 932;

// Shift-JIS bytes as UTF-16. Bytes that are no Shift-JIS character become U+30FB, as the system
// converts them.
inline std::wstring Wide(std::string_view sjis) {
  if (sjis.empty()) return std::wstring();
  const int length = static_cast<int>(sjis.size());
  const int needed = MultiByteToWideChar(kShiftJis, 0, sjis.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 0), L'\0');
  if (needed > 0) MultiByteToWideChar(kShiftJis, 0, sjis.data(), length, &wide[0], needed);
  return wide;
}

// UTF-16 as Shift-JIS; false, with `sjis` empty, when a character has no Shift-JIS form. No
// character is ever replaced by a look-alike or by "?": a path so converted would name another
// file, or none.
inline bool ToShiftJis(std::wstring_view wide, std::string& sjis) {
  sjis.clear();
  if (wide.empty()) return true;
  const int length = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int needed = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                         nullptr, 0, nullptr, &usedDefault);
  if (needed <= 0 || usedDefault) return false;
  sjis.assign(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), length, &sjis[0], needed,
                      nullptr, &usedDefault);
  if (usedDefault) sjis.clear();
  return !usedDefault;
}

// A NUL-terminated UTF-16 text from the system as Shift-JIS; empty when it has no Shift-JIS
// form (the callers treat that as "not available").
inline std::string ShiftJisOrEmpty(const wchar_t* wide) {
  std::string sjis;
  ToShiftJis(wide ? std::wstring_view(wide) : std::wstring_view(), sjis);
  return sjis;
}

// Some parts of Wine still keep a path in the system's ANSI code page: its shortcut writer (the
// target's path) and its MCI wave player (the file it opens). Under an English locale a
// Japanese name becomes "???" there. Such a path is given in its short (8.3) form, which any
// code page carries and which names the same file; a path the code page holds (every path on
// Japanese Windows) is returned as it is, as is one without a short form.
inline std::wstring AnsiSafePath(const std::wstring& path) {
  BOOL lost = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, nullptr, 0, nullptr, &lost);
  if (!lost) return path;
  const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return path;
  std::wstring shortPath(needed, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), &shortPath[0], needed);
  if (length == 0 || length >= needed) return path;
  shortPath.resize(length);
  return shortPath;
}

}  // namespace platform::win32
