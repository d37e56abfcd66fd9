#pragma once

#include "platform/shell.h"

namespace tw::posix {

// Runs the file as a program with the parameter text split at spaces, without waiting for
// it; the result mimics ShellExecute (42 started, 2 file not found, 5 not executable).
class ShellPosix final : public Shell {
 public:
  intptr_t Execute(std::string_view verb, const Path& file, std::string_view parameters,
                   const Path& workingDirectory, WindowMode mode) override;
};

}  // namespace tw::posix
