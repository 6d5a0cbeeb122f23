#pragma once
// DIDAZURA.DLL: makes a Windows shortcut (.lnk) file. One entry point, bound by name with
// GetProcAddress: the Windows standard calling convention (__stdcall, the convention of the
// Win32 API), exported under its plain name by didazura.def.
//
// All three texts are NUL-terminated Shift-JIS texts (code page 932), whatever the system's code
// page for non-Unicode programs is; the shortcut is written through the Unicode shell interface:
//   link       the shortcut file to write, a full path ending in ".lnk" (an existing file is
//              replaced); its folder must exist
//   target     the program the shortcut starts, a full path
//   arguments  the command-line arguments passed to it (may be empty)
// The shortcut starts the target in the target's own folder, shows its first icon, opens its
// window normally and carries a short description.
//
// The result is an HRESULT: S_OK (0) when the shortcut file was written; E_INVALIDARG for a null
// or empty link or target; otherwise the failing call's HRESULT (COM refused, no shell link
// object, a text that is not valid Shift-JIS, or the save failed: no right to write in the
// folder, no such folder). COM is initialised on the calling thread for the call and left as
// it was found.
#ifdef _WIN32
#define DIDAZURA_CALL __stdcall
#else
#define DIDAZURA_CALL
#endif

extern "C" {
long DIDAZURA_CALL CreateShortcut(const char* link, const char* target, const char* arguments);
}
