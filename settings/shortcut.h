#pragma once
// The binding of the shortcut library DIDAZURA.DLL: loaded on its first use only, so the
// program runs without it until a shortcut is asked for, and kept by its owner from then on.
#include <string>

#include "platform/dynlib.h"

enum class ShortcutCall {
  Called,          // CreateShortcut ran; whether the file was written is for the caller to test
  LibraryMissing,  // no DIDAZURA.DLL, or one without CreateShortcut
};

class ShortcutLibrary {
 public:
  // Asks the library for a shortcut at `link` that starts `target` with `arguments` in the
  // target's folder. A library that failed to load is looked for again at the next call.
  ShortcutCall Create(const std::string& link, const std::string& target, const std::string& arguments);
  bool Loaded() const { return create_ != nullptr; }

 private:
  bool Load();
  platform::DynamicLibrary library_;
  void* create_ = nullptr;
};
