#include "platform/dynlib.h"

#include <windows.h>

#include "platform/win32/shift_jis.h"

namespace platform {

bool DynamicLibrary::Load(const std::string& name) {
  Free();
  handle_ = LoadLibraryW(win32::Wide(name).c_str());
  return handle_ != nullptr;
}

void* DynamicLibrary::Symbol(const std::string& name) const {
  if (!handle_) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name.c_str()));
}

void DynamicLibrary::Free() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

}  // namespace platform
