#pragma once

#include "platform/shell.h"
#include "platform/win32/handles.h"

namespace tw::win32 {

// Starts programs through ShellExecuteW. shell32.dll is loaded from the system folder on
// the first start only: importing it would load it and the dozen libraries it pulls in at
// every start of the program, for a call that only a card restart with an outside tool makes.
class ShellWin32 final : public Shell {
 public:
  intptr_t Execute(std::string_view verb, const Path& file, std::string_view parameters,
                   const Path& workingDirectory, WindowMode mode) override;

 private:
  ModuleHandle shell32_;
};

}  // namespace tw::win32
