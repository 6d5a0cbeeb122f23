// What both platforms share of loading a library: its shipped name, and all symbols or none.
#include "platform/dynlib.h"

namespace platform {

std::string ShippedLibraryName(const std::string& fileName) {
#ifdef _WIN32
  return fileName;
#else
  return "./" + fileName;
#endif
}

bool DynamicLibrary::LoadWith(const std::string& name,
                              std::initializer_list<std::pair<const char*, void**>> symbols) {
  bool complete = Load(name);
  for (const auto& [symbol, address] : symbols) {
    *address = complete ? Symbol(symbol) : nullptr;
    complete = complete && *address;
  }
  if (complete) return true;
  Free();
  for (const auto& [symbol, address] : symbols) *address = nullptr;
  return false;
}

}  // namespace platform
