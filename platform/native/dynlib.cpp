#include <dlfcn.h>

#include "platform/dynlib.h"

namespace platform {

bool DynamicLibrary::Load(const std::string& name) {
  Free();
  handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  return handle_ != nullptr;
}

void* DynamicLibrary::Symbol(const std::string& name) const {
  return handle_ ? dlsym(handle_, name.c_str()) : nullptr;
}

void DynamicLibrary::Free() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace platform
