#pragma once
// Starting outside programs the user placed beside Tunewright (the restart tools).

#include <cstdint>
#include <string_view>

#include "platform/file_system.h"

namespace tw {

enum class WindowMode { Hidden, Normal };

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts `file` with the verb and the parameter text, in `workingDirectory`. The result
  // follows ShellExecute: above 32 means started, 32 or less is an error code.
  virtual intptr_t Execute(std::string_view verb, const Path& file, std::string_view parameters,
                           const Path& workingDirectory, WindowMode mode) = 0;
};

}  // namespace tw
