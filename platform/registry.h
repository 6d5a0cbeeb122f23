#pragma once
// Values under HKEY_CURRENT_USER, through a small owning key handle.
#include <cstdint>
#include <string>

namespace platform {

class RegistryKey {
 public:
  // Opens `path` (leading backslash optional) under HKEY_CURRENT_USER; with `create` the key
  // is made when missing. Check IsOpen() afterwards.
  RegistryKey(const std::string& path, bool create);
  ~RegistryKey();
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool IsOpen() const { return handle_ != nullptr; }
  bool ValueExists(const std::string& name) const;
  // False when the value is missing or not of the asked type (REG_DWORD / REG_SZ).
  bool ReadInteger(const std::string& name, int32_t& value) const;
  bool ReadText(const std::string& name, std::string& value) const;
  bool WriteInteger(const std::string& name, int32_t value);
  bool WriteText(const std::string& name, const std::string& value);
  bool WriteDefault(const std::string& value);  // the key's unnamed value
  bool DeleteValue(const std::string& name);
  void Close();

 private:
  void* handle_ = nullptr;
};

// Removes a key with everything below it; true when it is gone afterwards.
bool DeleteRegistryTree(const std::string& path);

}  // namespace platform
