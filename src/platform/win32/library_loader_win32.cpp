#include "platform/win32/library_loader_win32.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace tw::win32 {
namespace {

std::string ModuleFileName(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  return Narrow(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

// The file version of the module's version resource, read from the loaded image itself
// (no version.dll): the fixed part starts with its signature on a 32-bit boundary.
std::string FileVersion(HMODULE module) {
  const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
  const HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
  const auto* bytes = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
  const DWORD size = resource ? ::SizeofResource(module, resource) : 0;
  if (!bytes) return {};
  for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, bytes + at, sizeof info);
    if (info.dwSignature != 0xFEEF04BD) continue;
    return std::to_string(HIWORD(info.dwFileVersionMS)) + "." + std::to_string(LOWORD(info.dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info.dwFileVersionLS)) + "." + std::to_string(LOWORD(info.dwFileVersionLS));
  }
  return {};
}

class LoadedLibraryWin32 final : public LoadedLibrary {
 public:
  explicit LoadedLibraryWin32(ModuleHandle module) : module_(std::move(module)) {}
  LibraryFileInfo Describe() override { return {ModuleFileName(module_.get()), FileVersion(module_.get())}; }
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

}  // namespace

std::unique_ptr<LoadedLibrary> LibraryLoaderWin32::Load(std::string_view fileName) {
  const std::wstring name = Wide(fileName);
  ModuleHandle module(search_ == LibrarySearch::SystemFolderOnly ? LoadSystemFolderOnly(name)
                                                                 : ::LoadLibraryExW(name.c_str(), nullptr, 0));
  if (!module) return nullptr;
  return std::make_unique<LoadedLibraryWin32>(std::move(module));
}

// Windows 7 without its 2011 loader update knows neither the search flags nor
// SetDefaultDllDirectories; there the full path keeps the search in the system folder.
HMODULE LoadSystemFolderOnly(const std::wstring& fileName) {
  const HMODULE module = ::LoadLibraryExW(fileName.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
  return LoadFromSystemFolder(fileName);
}

void RestrictLibrarySearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  // Looked up rather than imported, so that a Windows without it still starts the exe.
  const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  void* const address = kernel32 ? reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")) : nullptr;
  if (address) reinterpret_cast<SetDefaultDllDirectoriesFn>(address)(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace tw::win32
