#pragma once

#include <windows.h>

#include <string>

#include "platform/library_loader.h"

namespace tw::win32 {

// Where a library named without a folder is looked for.
enum class LibrarySearch {
  // Windows' standard order, the program's own folder first: how the simulated-hardware
  // flavour finds the simulator that stands beside it in place of the driver.
  ProgramFolderFirst,
  // The system folder only (SysWOW64 for a 32-bit process on 64-bit Windows), where the
  // display driver installs its library: a file planted beside a downloaded exe that runs
  // as administrator is never taken.
  SystemFolderOnly,
};

class LibraryLoaderWin32 final : public LibraryLoader {
 public:
  explicit LibraryLoaderWin32(LibrarySearch search) : search_(search) {}
  std::unique_ptr<LoadedLibrary> Load(std::string_view fileName) override;

 private:
  LibrarySearch search_;
};

// For the first lines of the release exe: every library loaded later, by the program or
// by Windows on its behalf, comes from the system folder only.
void RestrictLibrarySearchToSystemFolder();

// A system library the program binds at run time (one not on Windows' list of known DLLs,
// which a load-time import would take from the exe's folder): from the system folder only,
// whatever the process's search order. nullptr with the last error set when it fails.
HMODULE LoadSystemFolderOnly(const std::wstring& fileName);

}  // namespace tw::win32
