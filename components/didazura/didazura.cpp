// DIDAZURA.DLL: a shortcut file written through the shell's own link object (IShellLinkW) and
// saved through IPersistFile, so the shell reads it back exactly as it starts shortcuts. The
// caller's Shift-JIS texts become UTF-16 by code page 932 whatever the system's code page is.
#include "components/didazura/didazura.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "platform/win32/shift_jis.h"

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

// The folder of a full path, without its trailing backslash except at a drive's root
// ("C:\"); empty for a bare name. In UTF-16 a backslash is always a separator (in Shift-JIS
// the second byte of a double-byte character may be 0x5C).
std::wstring FolderOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return std::wstring();
  const size_t length = (cut == 2 && path[1] == L':') ? 3 : cut;  // keep the root's backslash
  return path.substr(0, length);
}

// Text that is no Shift-JIS (a lead byte without its second byte) is refused, not guessed at.
HRESULT WideText(const char* sjis, std::wstring& wide) {
  wide.clear();
  if (!*sjis) return S_OK;
  const int needed = MultiByteToWideChar(platform::win32::kShiftJis, MB_ERR_INVALID_CHARS, sjis, -1, nullptr, 0);
  if (needed == 0) return HRESULT_FROM_WIN32(GetLastError());
  wide.assign(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(platform::win32::kShiftJis, MB_ERR_INVALID_CHARS, sjis, -1, &wide[0], needed);
  wide.resize(static_cast<size_t>(needed) - 1);  // without the terminating zero
  return S_OK;
}

HRESULT Describe(IShellLinkW& shortcut, const std::wstring& longTarget, const std::wstring& arguments) {
  const std::wstring description = platform::win32::Wide(kDescription);
  // Wine's link writer would keep a Japanese folder as "???" under an English locale, and the
  // shell could not start the link at logon.
  const std::wstring target = platform::win32::AnsiSafePath(longTarget);
  HRESULT hr = shortcut.SetPath(target.c_str());
  if (SUCCEEDED(hr)) hr = shortcut.SetArguments(arguments.c_str());
  if (SUCCEEDED(hr)) hr = shortcut.SetWorkingDirectory(FolderOf(target).c_str());
  if (SUCCEEDED(hr)) hr = shortcut.SetIconLocation(target.c_str(), 0);
  if (SUCCEEDED(hr)) hr = shortcut.SetShowCmd(SW_SHOWNORMAL);
  if (SUCCEEDED(hr)) hr = shortcut.SetDescription(description.c_str());
  return hr;
}

HRESULT MakeShortcut(const char* link, const char* target, const char* arguments) {
  std::wstring wideLink, wideTarget, wideArguments;
  HRESULT hr = WideText(link, wideLink);
  if (SUCCEEDED(hr)) hr = WideText(target, wideTarget);
  if (SUCCEEDED(hr)) hr = WideText(arguments ? arguments : "", wideArguments);
  if (FAILED(hr)) return hr;
  ComPtr<IShellLinkW> shortcut;
  hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                        reinterpret_cast<void**>(shortcut.Out()));
  if (FAILED(hr)) return hr;
  hr = Describe(*shortcut, wideTarget, wideArguments);
  if (FAILED(hr)) return hr;
  ComPtr<IPersistFile> file;
  hr = shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()));
  if (FAILED(hr)) return hr;
  return file->Save(wideLink.c_str(), TRUE);
}

}  // namespace

extern "C" long DIDAZURA_CALL CreateShortcut(const char* link, const char* target, const char* arguments) {
  if (!link || !*link || !target || !*target) return E_INVALIDARG;
  ComForCall com;
  if (!com.Usable()) return com.Result();
  return MakeShortcut(link, target, arguments);
}
