// DIDAZURA.DLL: a shortcut file written through the shell's own link object (IShellLinkA) and
// saved through IPersistFile, so the shell reads it back exactly as it starts shortcuts.
#include "components/didazura/didazura.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>

namespace {

const char kDescription[] = "パソコンの起動回数を数えます";

// COM on the calling thread for the length of one call: initialised here only when it was not,
// and then uninitialised again. A thread already in another apartment keeps its own.
class ComForCall {
 public:
  ComForCall() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComForCall() {
    if (SUCCEEDED(result_)) CoUninitialize();  // S_OK and S_FALSE both count one
  }
  ComForCall(const ComForCall&) = delete;
  ComForCall& operator=(const ComForCall&) = delete;
  bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }

 private:
  T* p_ = nullptr;
};

// Room for any path the shell's link object takes (it keeps MAX_PATH characters).
constexpr int kPathChars = MAX_PATH * 2;

// The folder of a full path, without its trailing backslash except at a drive's root
// ("C:\"); empty for a bare name or a path too long. Double-byte characters are stepped over
// whole: the second byte of one may be 0x5C, the backslash.
void FolderOf(const char* path, char (&folder)[kPathChars]) {
  folder[0] = '\0';
  const char* cut = nullptr;
  for (const char* p = path; *p; p = CharNextA(p))
    if (*p == '\\' || *p == '/') cut = p;
  if (!cut || cut - path + 2 > kPathChars) return;
  size_t length = static_cast<size_t>(cut - path);
  if (length == 2 && path[1] == ':') ++length;  // keep the root's backslash
  memcpy(folder, path, length);
  folder[length] = '\0';
}

HRESULT WidePath(const char* ansi, wchar_t (&wide)[kPathChars]) {
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, -1, wide, kPathChars) == 0)
    return HRESULT_FROM_WIN32(GetLastError());
  return S_OK;
}

HRESULT Describe(IShellLinkA& shortcut, const char* target, const char* arguments) {
  char folder[kPathChars];
  FolderOf(target, folder);
  HRESULT hr = shortcut.SetPath(target);
  if (SUCCEEDED(hr)) hr = shortcut.SetArguments(arguments ? arguments : "");
  if (SUCCEEDED(hr)) hr = shortcut.SetWorkingDirectory(folder);
  if (SUCCEEDED(hr)) hr = shortcut.SetIconLocation(target, 0);
  if (SUCCEEDED(hr)) hr = shortcut.SetShowCmd(SW_SHOWNORMAL);
  if (SUCCEEDED(hr)) hr = shortcut.SetDescription(kDescription);
  return hr;
}

HRESULT MakeShortcut(const char* link, const char* target, const char* arguments) {
  wchar_t wideLink[kPathChars];
  HRESULT hr = WidePath(link, wideLink);
  if (FAILED(hr)) return hr;
  ComPtr<IShellLinkA> shortcut;
  hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                        reinterpret_cast<void**>(shortcut.Out()));
  if (FAILED(hr)) return hr;
  hr = Describe(*shortcut, target, arguments);
  if (FAILED(hr)) return hr;
  ComPtr<IPersistFile> file;
  hr = shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()));
  if (FAILED(hr)) return hr;
  return file->Save(wideLink, TRUE);
}

}  // namespace

extern "C" long DIDAZURA_CALL CreateShortcut(const char* link, const char* target, const char* arguments) {
  if (!link || !*link || !target || !*target) return E_INVALIDARG;
  ComForCall com;
  if (!com.Usable()) return com.Result();
  return MakeShortcut(link, target, arguments);
}
