// An in-memory HKEY_CURRENT_USER for native tests, with the Windows rules that matter:
// case-insensitive key and value names, typed values.
#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

#include "platform/native/testing.h"
#include "platform/registry.h"

namespace platform {
namespace {

struct Value {
  ValueType type;  // Integer, Text, ExpandableText or Other (binary data)
  int32_t integer = 0;
  std::string bytes;
};
struct Key {
  std::map<std::string, Value> values;
  bool writeDenied = false;  // the user may read the key but not write it
};

std::map<std::string, Key>& Hive() {
  static std::map<std::string, Key> hive;
  return hive;
}
bool unavailable = false;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string Normal(const std::string& path) {
  std::string p = Lower(path);
  while (!p.empty() && p.front() == '\\') p.erase(0, 1);
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return p;
}

Key* KeyOf(void* handle) { return static_cast<Key*>(handle); }

const Value* Find(void* handle, const std::string& name) {
  if (!handle) return nullptr;
  auto& values = KeyOf(handle)->values;
  auto it = values.find(Lower(name));
  return it == values.end() ? nullptr : &it->second;
}

}  // namespace

RegistryKey::RegistryKey(const std::string& path, bool create) {
  if (unavailable) return;
  const std::string key = Normal(path);
  auto& hive = Hive();
  auto it = hive.find(key);
  if (it == hive.end()) {
    if (!create) return;
    // Creating a key creates its parents too.
    for (size_t cut = key.find('\\'); cut != std::string::npos; cut = key.find('\\', cut + 1))
      hive[key.substr(0, cut)];
    it = hive.emplace(key, Key{}).first;
  }
  if (it->second.writeDenied) return;  // opening for writing is refused
  handle_ = &it->second;
}

RegistryKey RegistryKey::ForReading(const std::string& path) {
  RegistryKey opened;
  opened.writable_ = false;
  if (unavailable) return opened;
  auto it = Hive().find(Normal(path));
  if (it != Hive().end()) opened.handle_ = &it->second;
  return opened;
}

RegistryKey::~RegistryKey() { Close(); }
RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : handle_(other.handle_), writable_(other.writable_) {
  other.handle_ = nullptr;
}
RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  handle_ = other.handle_;
  writable_ = other.writable_;
  other.handle_ = nullptr;
  return *this;
}
void RegistryKey::Close() { handle_ = nullptr; }

bool RegistryKey::ValueExists(const std::string& name) const { return Find(handle_, name); }

ValueType RegistryKey::TypeOf(const std::string& name) const {
  const Value* v = Find(handle_, name);
  return v ? v->type : ValueType::Missing;
}

bool RegistryKey::ReadInteger(const std::string& name, int32_t& value) const {
  const Value* v = Find(handle_, name);
  if (!v || v->type != ValueType::Integer) return false;
  value = v->integer;
  return true;
}

bool RegistryKey::ReadText(const std::string& name, std::string& value) const {
  const Value* v = Find(handle_, name);
  if (!v || (v->type != ValueType::Text && v->type != ValueType::ExpandableText)) return false;
  value = v->bytes;
  return true;
}

namespace {

bool Store(void* handle, bool writable, const std::string& name, Value value) {
  if (!handle || !writable) return false;
  KeyOf(handle)->values[Lower(name)] = std::move(value);
  return true;
}

// REG_SZ and REG_EXPAND_SZ end at their first zero byte.
std::string TextUpToZero(const std::string& value) { return value.substr(0, value.find('\0')); }

}  // namespace

bool RegistryKey::WriteInteger(const std::string& name, int32_t value) {
  return Store(handle_, writable_, name, Value{ValueType::Integer, value, {}});
}

bool RegistryKey::WriteText(const std::string& name, const std::string& value) {
  return Store(handle_, writable_, name, Value{ValueType::Text, 0, TextUpToZero(value)});
}

bool RegistryKey::WriteExpandableText(const std::string& name, const std::string& value) {
  return Store(handle_, writable_, name, Value{ValueType::ExpandableText, 0, TextUpToZero(value)});
}

bool RegistryKey::WriteDefault(const std::string& value) { return WriteText("", value); }

bool RegistryKey::DeleteValue(const std::string& name) {
  return handle_ && writable_ && KeyOf(handle_)->values.erase(Lower(name)) > 0;
}

bool RegistryKey::DeleteDefault() { return DeleteValue(""); }

bool DeleteRegistryTree(const std::string& path) {
  const std::string key = Normal(path);
  auto& hive = Hive();
  for (auto it = hive.begin(); it != hive.end();) {
    const bool inside = it->first == key || it->first.rfind(key + "\\", 0) == 0;
    it = inside ? hive.erase(it) : std::next(it);
  }
  return true;
}

namespace testing {

void ResetRegistry() {
  Hive().clear();
  unavailable = false;
}
void SetRegistryUnavailable(bool value) { unavailable = value; }
void WriteBinaryValue(const std::string& keyPath, const std::string& name, const std::string& data) {
  Hive()[Normal(keyPath)].values[Lower(name)] = Value{ValueType::Other, 0, data};
}
void DenyWriting(const std::string& keyPath) { Hive()[Normal(keyPath)].writeDenied = true; }
bool KeyExists(const std::string& keyPath) { return Hive().count(Normal(keyPath)) != 0; }
int ValueCount(const std::string& keyPath) {
  auto it = Hive().find(Normal(keyPath));
  return it == Hive().end() ? 0 : static_cast<int>(it->second.values.size());
}

}  // namespace testing
}  // namespace platform
