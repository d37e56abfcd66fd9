#pragma once

#include "platform/console.h"

namespace tw::posix {

// The host program always has its standard output; attributes become ANSI colours only
// when that output is a terminal, so pipes and files get plain lines.
class ConsolePosix final : public Console {
 public:
  bool AttachToParent(uint32_t& error) override;
  bool OpenStandardOutput(uint32_t& error) override;
  bool BindRuntimeOutput() override;
  void SetTextAttribute(uint16_t attribute) override;
  void Write(std::string_view text) override;
};

}  // namespace tw::posix
