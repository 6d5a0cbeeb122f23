#pragma once
// A dynamic library loaded by name and released by its owner.
#include <string>

namespace platform {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary() { Free(); }
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  bool Load(const std::string& name);
  bool IsLoaded() const { return handle_ != nullptr; }
  void* Symbol(const std::string& name) const;
  void Free();

 private:
  void* handle_ = nullptr;
};

}  // namespace platform
