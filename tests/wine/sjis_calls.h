#pragma once
// The Windows calls of the Wine tests that take or give text, with the tests' Shift-JIS texts
// converted by code page 932 by name, as the program converts them. The tests run under code
// page 932 and 1252 alike: the A functions would convert with the system's code page and turn
// the tests' own Japanese paths, captions and values into "?". The functions keep the A forms'
// shapes, so a call changes only by its prefix (sjis::CreateFile for CreateFileA); as
// <windows.h> defines those names as macros, the compiler sees sjis::CreateFileA, which is
// still this file's function.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/shift_jis.h"

namespace sjis {

using platform::win32::Wide;

// UTF-16 as Shift-JIS; a character without a Shift-JIS form becomes "?", which no expected text
// of the tests holds, so a mismatch shows where the program gave Windows the wrong characters.
inline std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  const int needed = WideCharToMultiByte(platform::win32::kShiftJis, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
  if (needed > 0) WideCharToMultiByte(platform::win32::kShiftJis, 0, wide.data(), length, &text[0], needed, nullptr, nullptr);
  return text;
}

// Copies `text` into an A-style buffer of `size` bytes; the A functions' result: the length
// copied, or the size needed (with its terminating zero) when it does not fit.
inline DWORD CopyOut(const std::string& text, char* buffer, DWORD size) {
  if (text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
  text.copy(buffer, text.size());
  buffer[text.size()] = '\0';
  return static_cast<DWORD>(text.size());
}

inline BOOL CreateDirectory(const std::string& path, LPSECURITY_ATTRIBUTES security) {
  return CreateDirectoryW(Wide(path).c_str(), security);
}
inline BOOL RemoveDirectory(const std::string& path) { return RemoveDirectoryW(Wide(path).c_str()); }
inline BOOL DeleteFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()); }
inline DWORD GetFileAttributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }
inline BOOL SetFileAttributes(const std::string& path, DWORD attributes) {
  return SetFileAttributesW(Wide(path).c_str(), attributes);
}
inline BOOL CopyFile(const std::string& from, const std::string& to, BOOL failIfExists) {
  return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), failIfExists);
}
inline BOOL SetCurrentDirectory(const std::string& path) { return SetCurrentDirectoryW(Wide(path).c_str()); }
inline HANDLE CreateFile(const std::string& path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                         DWORD creation, DWORD flags, HANDLE model) {
  return CreateFileW(Wide(path).c_str(), access, share, security, creation, flags, model);
}
inline HMODULE LoadLibrary(const std::string& path) { return LoadLibraryW(Wide(path).c_str()); }
inline HMODULE LoadLibraryEx(const std::string& path, HANDLE file, DWORD flags) {
  return LoadLibraryExW(Wide(path).c_str(), file, flags);
}

inline DWORD GetTempPath(DWORD size, char* buffer) {
  wchar_t wide[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, wide);
  return length ? CopyOut(Narrow(std::wstring_view(wide, length)), buffer, size) : 0;
}
inline DWORD GetCurrentDirectory(DWORD size, char* buffer) {
  wchar_t wide[MAX_PATH * 2] = {};
  const DWORD length = GetCurrentDirectoryW(MAX_PATH * 2, wide);
  return length ? CopyOut(Narrow(std::wstring_view(wide, length)), buffer, size) : 0;
}
inline DWORD GetModuleFileName(HMODULE module, char* buffer, DWORD size) {
  wchar_t wide[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameW(module, wide, MAX_PATH * 2);
  return length ? CopyOut(Narrow(std::wstring_view(wide, length)), buffer, size) : 0;
}
inline DWORD GetEnvironmentVariable(const std::string& name, char* buffer, DWORD size) {
  wchar_t wide[4096] = {};
  const DWORD length = GetEnvironmentVariableW(Wide(name).c_str(), wide, 4096);
  return length && length < 4096 ? CopyOut(Narrow(std::wstring_view(wide, length)), buffer, size) : 0;
}
inline UINT GetTempFileName(const std::string& folder, const std::string& prefix, UINT unique, char* buffer) {
  wchar_t wide[MAX_PATH] = {};
  const UINT result = GetTempFileNameW(Wide(folder).c_str(), Wide(prefix).c_str(), unique, wide);
  if (result) CopyOut(Narrow(wide), buffer, MAX_PATH);
  return result;
}

// A file search whose found names come back as Shift-JIS in the A form of the find data.
inline void FromWide(const WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA& found) {
  found.dwFileAttributes = wide.dwFileAttributes;
  found.ftCreationTime = wide.ftCreationTime;
  found.ftLastAccessTime = wide.ftLastAccessTime;
  found.ftLastWriteTime = wide.ftLastWriteTime;
  found.nFileSizeHigh = wide.nFileSizeHigh;
  found.nFileSizeLow = wide.nFileSizeLow;
  CopyOut(Narrow(wide.cFileName), found.cFileName, sizeof found.cFileName);
  CopyOut(Narrow(wide.cAlternateFileName), found.cAlternateFileName, sizeof found.cAlternateFileName);
}
inline HANDLE FindFirstFile(const std::string& pattern, WIN32_FIND_DATAA* found) {
  WIN32_FIND_DATAW wide{};
  HANDLE search = FindFirstFileW(Wide(pattern).c_str(), &wide);
  if (search != INVALID_HANDLE_VALUE) FromWide(wide, *found);
  return search;
}
inline BOOL FindNextFile(HANDLE search, WIN32_FIND_DATAA* found) {
  WIN32_FIND_DATAW wide{};
  if (!FindNextFileW(search, &wide)) return FALSE;
  FromWide(wide, *found);
  return TRUE;
}

// A window's text, asked of the window itself (WM_GETTEXT works across processes).
inline std::string WindowText(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR copied = 0;
  if (!window || !SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                                      5000, &copied))
    return std::string();
  return Narrow(text);
}

}  // namespace sjis
