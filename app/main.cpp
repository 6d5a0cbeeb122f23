// M2KCOUNT.EXE: the Windows entry point.
#include <windows.h>

#include <cstdlib>

#include "app/entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunProgram(__argc, __argv);
}
