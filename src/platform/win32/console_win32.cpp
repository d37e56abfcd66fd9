#include "platform/win32/console_win32.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/win32/wide.h"

namespace tw::win32 {

bool ConsoleWin32::AttachToParent(uint32_t& error) {
  if (::AttachConsole(ATTACH_PARENT_PROCESS)) return true;
  error = ::GetLastError();
  return false;
}

bool ConsoleWin32::OpenStandardOutput(uint32_t& error) {
  output_ = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (output_ == INVALID_HANDLE_VALUE || output_ == nullptr) {
    error = ::GetLastError();
    output_ = INVALID_HANDLE_VALUE;
    return false;
  }
  return true;
}

bool ConsoleWin32::BindRuntimeOutput() {
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(output_), _O_TEXT);
  if (fd == -1) return false;
  if (::_dup2(fd, 1) != 0) return false;
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  return true;
}

void ConsoleWin32::SetTextAttribute(uint16_t attribute) {
  HANDLE out = output_ != INVALID_HANDLE_VALUE ? output_ : ::GetStdHandle(STD_OUTPUT_HANDLE);
  ::SetConsoleTextAttribute(out, attribute);
}

void ConsoleWin32::Write(std::string_view text) {
  HANDLE out = output_ != INVALID_HANDLE_VALUE ? output_ : ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == INVALID_HANDLE_VALUE || out == nullptr) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (::GetConsoleMode(out, &mode)) {
    // A real console shows UTF-16 whatever its code page.
    const std::wstring wide = Wide(text);
    ::WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    // Redirected to a file or pipe: scripts read UTF-8.
    ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
}

}  // namespace tw::win32
