#include "platform/win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/wide.h"

namespace tw::win32 {

intptr_t ShellWin32::Execute(std::string_view verb, const Path& file, std::string_view parameters,
                             const Path& workingDirectory, WindowMode mode) {
  const HINSTANCE result =
      ::ShellExecuteW(nullptr, Wide(verb).c_str(), file.c_str(), Wide(parameters).c_str(), workingDirectory.c_str(),
                      mode == WindowMode::Hidden ? SW_HIDE : SW_SHOWNORMAL);
  return reinterpret_cast<intptr_t>(result);
}

}  // namespace tw::win32
