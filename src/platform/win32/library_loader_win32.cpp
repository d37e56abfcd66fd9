#include "platform/win32/library_loader_win32.h"

#include <windows.h>
#include <delayimp.h>

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace tw::win32 {
namespace {

class LoadedLibraryWin32 final : public LoadedLibrary {
 public:
  explicit LoadedLibraryWin32(ModuleHandle module) : module_(std::move(module)) {}
  void* Resolve(std::string_view name) override {
    const std::string symbol(name);
    return reinterpret_cast<void*>(::GetProcAddress(module_.get(), symbol.c_str()));
  }

 private:
  ModuleHandle module_;
};

// The library by its full path in the system folder; nullptr with the last error set when
// the folder cannot be named or the file does not load.
HMODULE LoadFromSystemFolder(const std::wstring& fileName) {
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return ::LoadLibraryW((std::wstring(folder, length) + L"\\" + fileName).c_str());
}

// Windows 7 without its 2011 loader update knows neither the search flags nor
// SetDefaultDllDirectories; there the full path keeps the search in the system folder.
HMODULE LoadSystemFolderOnly(const std::wstring& fileName) {
  const HMODULE module = ::LoadLibraryExW(fileName.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
  return LoadFromSystemFolder(fileName);
}

// The delay-load helper asks this before it loads a library itself; a library loaded here
// is the one it uses.
FARPROC WINAPI LoadDelayedLibrary(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
  const std::string name(info->szDll);
  return reinterpret_cast<FARPROC>(LoadFromSystemFolder(std::wstring(name.begin(), name.end())));
}

}  // namespace

std::unique_ptr<LoadedLibrary> LibraryLoaderWin32::Load(std::string_view fileName) {
  const std::wstring name = Wide(fileName);
  ModuleHandle module(search_ == LibrarySearch::SystemFolderOnly ? LoadSystemFolderOnly(name)
                                                                 : ::LoadLibraryExW(name.c_str(), nullptr, 0));
  if (!module) return nullptr;
  return std::make_unique<LoadedLibraryWin32>(std::move(module));
}

void RestrictLibrarySearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  // Looked up rather than imported, so that a Windows without it still starts the exe.
  const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  void* const address = kernel32 ? reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")) : nullptr;
  if (address) reinterpret_cast<SetDefaultDllDirectoriesFn>(address)(LOAD_LIBRARY_SEARCH_SYSTEM32);
  __pfnDliNotifyHook2 = LoadDelayedLibrary;
}

}  // namespace tw::win32
