#pragma once
// Looking at a path on a drive without its medium (a stored game folder on a removed CD or USB
// stick) must not make the system ask for the medium in a box of its own: the program only
// wants to know, and says so itself. Set for the calling thread only, for the guard's lifetime.
#include <windows.h>

namespace platform::win32 {

class QuietErrors {
 public:
  QuietErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_); }
  ~QuietErrors() { SetThreadErrorMode(old_, nullptr); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  DWORD old_ = 0;
};

}  // namespace platform::win32
