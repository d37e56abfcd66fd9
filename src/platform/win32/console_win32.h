#pragma once

#include <windows.h>

#include "platform/console.h"

namespace tw::win32 {

class ConsoleWin32 final : public Console {
 public:
  bool AttachToParent(uint32_t& error) override;
  bool OpenStandardOutput(uint32_t& error) override;
  bool BindRuntimeOutput() override;
  void SetTextAttribute(uint16_t attribute) override;
  void Write(std::string_view text) override;

 private:
  HANDLE output_ = INVALID_HANDLE_VALUE;
};

}  // namespace tw::win32
