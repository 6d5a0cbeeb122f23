#include "settings/shortcut.h"

namespace {

#ifdef _WIN32
#define SHORTCUT_CALL __stdcall
// The standard library search: the program's folder first, where the library is shipped.
constexpr const char* kLibraryName = "DIDAZURA.DLL";
#else
#define SHORTCUT_CALL  // one calling convention only; the attribute would just warn
// dlopen looks in the current folder only for a name with a slash; the work folder is the
// program's folder, as on Windows.
constexpr const char* kLibraryName = "./DIDAZURA.DLL";
#endif

using CreateShortcutFunction = long(SHORTCUT_CALL*)(const char* link, const char* target, const char* arguments);

}  // namespace

bool ShortcutLibrary::Load() {
  if (create_) return true;
  if (!library_.Load(kLibraryName)) return false;
  create_ = library_.Symbol("CreateShortcut");
  if (!create_) library_.Free();
  return create_ != nullptr;
}

ShortcutCall ShortcutLibrary::Create(const std::string& link, const std::string& target,
                                     const std::string& arguments) {
  if (!Load()) return ShortcutCall::LibraryMissing;
  // The library's own result is not needed: the caller tests the file, which also catches a
  // library that reports success without writing it.
  reinterpret_cast<CreateShortcutFunction>(create_)(link.c_str(), target.c_str(), arguments.c_str());
  return ShortcutCall::Called;
}
