#pragma once

#include "platform/shell.h"

namespace tw::win32 {

class ShellWin32 final : public Shell {
 public:
  intptr_t Execute(std::string_view verb, const Path& file, std::string_view parameters,
                   const Path& workingDirectory, WindowMode mode) override;
};

}  // namespace tw::win32
