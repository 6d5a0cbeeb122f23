#pragma once
// A dynamic library loaded by name and released by its owner.
#include <initializer_list>
#include <string>
#include <utility>

// The calling convention of the libraries the program ships (the Windows standard one); the
// native builds know one convention only, where the attribute would just warn.
#ifdef _WIN32
#define LIBRARY_CALL __stdcall
#else
#define LIBRARY_CALL
#endif

namespace platform {

// The name that finds a library shipped beside the program, in the program's folder, which is
// the work folder: Windows' standard search looks there first for a bare name, while dlopen
// looks in the current folder only for a name with a slash ("./ogog.dll").
std::string ShippedLibraryName(const std::string& fileName);

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary() { Free(); }
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  bool Load(const std::string& name);
  // Loads `name` with every one of `symbols`, each address written through its pointer, or
  // nothing: false, the library released and every pointer null, when it or one is missing.
  bool LoadWith(const std::string& name, std::initializer_list<std::pair<const char*, void**>> symbols);
  bool IsLoaded() const { return handle_ != nullptr; }
  void* Symbol(const std::string& name) const;
  void Free();

 private:
  void* handle_ = nullptr;
};

}  // namespace platform
