#pragma once
// Values under HKEY_CURRENT_USER, through a small owning key handle.
#include <cstdint>
#include <string>

namespace platform {

// The type of a stored value, as far as the program tells types apart: Text is REG_SZ,
// ExpandableText REG_EXPAND_SZ, Integer REG_DWORD.
enum class ValueType { Missing, Text, ExpandableText, Integer, Other };

class RegistryKey {
 public:
  // Opens `path` (leading backslash optional) under HKEY_CURRENT_USER for reading and writing;
  // with `create` the key is made when missing. Check IsOpen() afterwards.
  RegistryKey(const std::string& path, bool create);
  // Opens an existing key for reading only, which a key that the user may read but not write
  // allows. Writes through it fail.
  static RegistryKey ForReading(const std::string& path);
  ~RegistryKey();
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool IsOpen() const { return handle_ != nullptr; }
  bool ValueExists(const std::string& name) const;
  ValueType TypeOf(const std::string& name) const;
  // False when the value is missing or not of the asked type (REG_DWORD / REG_SZ or
  // REG_EXPAND_SZ, whose text comes back unexpanded), and for a text with a character that
  // Shift-JIS lacks.
  bool ReadInteger(const std::string& name, int32_t& value) const;
  bool ReadText(const std::string& name, std::string& value) const;
  bool WriteInteger(const std::string& name, int32_t value);
  bool WriteText(const std::string& name, const std::string& value);
  bool WriteExpandableText(const std::string& name, const std::string& value);  // REG_EXPAND_SZ
  bool WriteDefault(const std::string& value);  // the key's unnamed value
  bool DeleteValue(const std::string& name);
  bool DeleteDefault();  // afterwards the key has no unnamed value at all
  void Close();

 private:
  RegistryKey() = default;
  void* handle_ = nullptr;
  bool writable_ = true;
};

// Removes a key with everything below it; true when it is gone afterwards.
bool DeleteRegistryTree(const std::string& path);

}  // namespace platform
