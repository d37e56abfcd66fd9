#pragma once
// Owners for the Win32 handles the adapters use.

#include <windows.h>

#include "base/unique_handle.h"

namespace tw::win32 {

struct FileHandleTraits {
  using pointer = HANDLE;
  static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(pointer h) noexcept { ::CloseHandle(h); }
};
using FileHandle = unique_handle<FileHandleTraits>;

struct ModuleTraits {
  using pointer = HMODULE;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { ::FreeLibrary(h); }
};
using ModuleHandle = unique_handle<ModuleTraits>;

// Restores the thread's last error when it goes out of scope, so that closing a handle
// after a failure does not hide the failure's code.
class LastErrorKeeper {
 public:
  LastErrorKeeper() : error_(::GetLastError()) {}
  ~LastErrorKeeper() { ::SetLastError(error_); }
  LastErrorKeeper(const LastErrorKeeper&) = delete;
  LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

 private:
  DWORD error_;
};

}  // namespace tw::win32
