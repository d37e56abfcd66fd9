#include "platform/win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/library_loader_win32.h"
#include "platform/win32/wide.h"

namespace tw::win32 {
namespace {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

}  // namespace

intptr_t ShellWin32::Execute(std::string_view verb, const Path& file, std::string_view parameters,
                             const Path& workingDirectory, WindowMode mode) {
  if (!shell32_) shell32_ = ModuleHandle(LoadSystemFolderOnly(L"shell32.dll"));
  // Through void*, as the driver's entry points are: FARPROC has no parameters to match.
  void* const address = shell32_ ? reinterpret_cast<void*>(::GetProcAddress(shell32_.get(), "ShellExecuteW")) : nullptr;
  const auto shellExecute = reinterpret_cast<ShellExecuteFn>(address);
  // ShellExecute's own answer for a library that cannot be found; the last error says why.
  if (!shellExecute) return SE_ERR_DLLNOTFOUND;
  const HINSTANCE result = shellExecute(nullptr, Wide(verb).c_str(), file.c_str(), Wide(parameters).c_str(),
                                        workingDirectory.c_str(), mode == WindowMode::Hidden ? SW_HIDE : SW_SHOWNORMAL);
  return reinterpret_cast<intptr_t>(result);
}

}  // namespace tw::win32
