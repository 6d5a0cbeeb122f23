#include "settings/shortcut.h"

namespace {

using CreateShortcutFunction = long(LIBRARY_CALL*)(const char* link, const char* target, const char* arguments);

}  // namespace

bool ShortcutLibrary::Load() {
  if (create_) return true;
  return library_.LoadWith(platform::ShippedLibraryName("DIDAZURA.DLL"), {{"CreateShortcut", &create_}});
}

ShortcutCall ShortcutLibrary::Create(const std::string& link, const std::string& target,
                                     const std::string& arguments) {
  if (!Load()) return ShortcutCall::LibraryMissing;
  // The library's own result is not needed: the caller tests the file, which also catches a
  // library that reports success without writing it.
  reinterpret_cast<CreateShortcutFunction>(create_)(link.c_str(), target.c_str(), arguments.c_str());
  return ShortcutCall::Called;
}
