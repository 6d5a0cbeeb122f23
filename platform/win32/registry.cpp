#include "platform/registry.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/shift_jis.h"

namespace platform {
namespace {

using win32::Wide;

std::string RelativeKeyPath(const std::string& path) {
  return (!path.empty() && path[0] == '\\') ? path.substr(1) : path;
}

HKEY Key(void* handle) { return static_cast<HKEY>(handle); }

// A value that fits the first buffer is read in one call, a larger one in two: each call is a
// request to the wineserver under Wine, and the counter reads some twenty values at logon.
bool QueryValue(void* handle, const std::string& name, DWORD& type, std::string& data) {
  data.assign(256, '\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(data.size());
    const LONG result =
        RegQueryValueExW(Key(handle), Wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    if (result == ERROR_SUCCESS) {
      data.resize(size);
      return true;
    }
    if (result != ERROR_MORE_DATA) return false;
    data.assign(size, '\0');  // the value's size, for a second call
  }
}

}  // namespace

RegistryKey::RegistryKey(const std::string& path, bool create) {
  HKEY key = nullptr;
  const std::wstring relative = Wide(RelativeKeyPath(path));
  LONG result = create ? RegCreateKeyExW(HKEY_CURRENT_USER, relative.c_str(), 0, nullptr, 0,
                                         KEY_ALL_ACCESS, nullptr, &key, nullptr)
                       : RegOpenKeyExW(HKEY_CURRENT_USER, relative.c_str(), 0, KEY_ALL_ACCESS, &key);
  if (result == ERROR_SUCCESS) handle_ = key;
}

RegistryKey RegistryKey::ForReading(const std::string& path) {
  RegistryKey opened;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(RelativeKeyPath(path)).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS)
    opened.handle_ = key;
  opened.writable_ = false;
  return opened;
}

RegistryKey::~RegistryKey() { Close(); }

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : handle_(other.handle_), writable_(other.writable_) {
  other.handle_ = nullptr;
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    writable_ = other.writable_;
    other.handle_ = nullptr;
  }
  return *this;
}

void RegistryKey::Close() {
  if (handle_) RegCloseKey(Key(handle_));
  handle_ = nullptr;
}

bool RegistryKey::ValueExists(const std::string& name) const {
  return handle_ && RegQueryValueExW(Key(handle_), Wide(name).c_str(), nullptr, nullptr, nullptr,
                                     nullptr) == ERROR_SUCCESS;
}

ValueType RegistryKey::TypeOf(const std::string& name) const {
  DWORD type = 0;
  if (!handle_ || RegQueryValueExW(Key(handle_), Wide(name).c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
    return ValueType::Missing;
  switch (type) {
    case REG_SZ: return ValueType::Text;
    case REG_EXPAND_SZ: return ValueType::ExpandableText;
    case REG_DWORD: return ValueType::Integer;
    default: return ValueType::Other;
  }
}

bool RegistryKey::ReadInteger(const std::string& name, int32_t& value) const {
  DWORD type = 0;
  std::string data;
  if (!handle_ || !QueryValue(handle_, name, type, data)) return false;
  if (type != REG_DWORD || data.size() != sizeof(DWORD)) return false;
  DWORD raw = 0;
  memcpy(&raw, data.data(), sizeof raw);
  value = static_cast<int32_t>(raw);
  return true;
}

bool RegistryKey::ReadText(const std::string& name, std::string& value) const {
  DWORD type = 0;
  std::string data;
  if (!handle_ || !QueryValue(handle_, name, type, data)) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  // The stored size counts the terminating zero, which may be missing or doubled. A text with a
  // character that Shift-JIS lacks is not read at all: the program would act on another text.
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
  text.resize(std::min(text.size(), text.find(L'\0')));
  std::string converted;
  if (!win32::ToShiftJis(text, converted)) return false;
  value = converted;
  return true;
}

bool RegistryKey::WriteInteger(const std::string& name, int32_t value) {
  DWORD raw = static_cast<DWORD>(value);
  return handle_ && RegSetValueExW(Key(handle_), Wide(name).c_str(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&raw), sizeof raw) == ERROR_SUCCESS;
}

namespace {

bool SetText(void* handle, const std::string& name, DWORD type, const std::string& value) {
  const std::wstring text = Wide(value);
  return handle && RegSetValueExW(Key(handle), Wide(name).c_str(), 0, type,
                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

bool RegistryKey::WriteText(const std::string& name, const std::string& value) {
  return SetText(handle_, name, REG_SZ, value);
}

bool RegistryKey::WriteExpandableText(const std::string& name, const std::string& value) {
  return SetText(handle_, name, REG_EXPAND_SZ, value);
}

bool RegistryKey::WriteDefault(const std::string& value) { return WriteText("", value); }

bool RegistryKey::DeleteValue(const std::string& name) {
  return handle_ && RegDeleteValueW(Key(handle_), Wide(name).c_str()) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteDefault() { return DeleteValue(""); }

bool DeleteRegistryTree(const std::string& path) {
  const std::wstring relative = Wide(RelativeKeyPath(path));
  LONG result = RegDeleteTreeW(HKEY_CURRENT_USER, relative.c_str());
  if (result == ERROR_SUCCESS) RegDeleteKeyW(HKEY_CURRENT_USER, relative.c_str());
  HKEY probe = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, relative.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
    RegCloseKey(probe);
    return false;
  }
  return true;
}

}  // namespace platform
