#pragma once

#include "platform/ansi_code_page.h"
#include "platform/clock.h"
#include "platform/system_errors.h"

namespace tw::posix {

class SystemErrorsPosix final : public SystemErrors {
 public:
  uint32_t LastError() override;
  // The English Windows texts of the codes the host adapters produce.
  std::string Describe(uint32_t code) override;
};

// Windows-1252, the ANSI code page of western Windows installations.
class AnsiCodePagePosix final : public AnsiCodePage {
 public:
  std::string ToUtf8(std::string_view ansi) override;
  std::string FromUtf8(std::string_view utf8) override;
};

class ClockPosix final : public Clock {
 public:
  void Sleep(uint32_t milliseconds) override;
  LocalDateTime Now() override;
  std::string FormatShortDate(const LocalDateTime& when) override;
  std::string FormatLongTime(const LocalDateTime& when) override;
};

}  // namespace tw::posix
