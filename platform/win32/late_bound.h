#pragma once
// Functions of system libraries that only some runs need: the common controls (windowed
// controls of the settings windows), the media control interface (voices), the shell and COM
// (Startup folders, opening files). Imported the usual way, each library is loaded and started
// with the program, and the counter at logon would wait for libraries it never calls; bound
// late, a library is loaded the first time one of its functions is asked for.
#include <windows.h>

namespace platform::win32 {

// The function `name` of the system library `library`, loading the library on first use (it
// stays loaded for the rest of the run); null when the library or the function is missing.
template <class Function>
Function* LateBound(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (!module) module = LoadLibraryW(library);
  if (!module) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace platform::win32
