#pragma once
// The console of the process that started the program. The message writer drives the
// attach sequence step by step so that its failures are logged the same way everywhere.

#include <cstdint>
#include <string_view>

namespace tw {

class Console {
 public:
  virtual ~Console() = default;
  // Attach to the parent process's console; on failure error receives the OS error code
  // (5, access denied, means the process already has a console).
  virtual bool AttachToParent(uint32_t& error) = 0;
  // Fetch the standard output handle; false (with error) when it is invalid.
  virtual bool OpenStandardOutput(uint32_t& error) = 0;
  // Bind the C runtime's descriptor 1 to the standard output handle.
  virtual bool BindRuntimeOutput() = 0;
  // Console text attribute: 7 light grey, 10 bright green, 12 bright red, 14 yellow.
  virtual void SetTextAttribute(uint16_t attribute) = 0;
  // Writes the bytes (UTF-8) to standard output as they are.
  virtual void Write(std::string_view text) = 0;
};

}  // namespace tw
