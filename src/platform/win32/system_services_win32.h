#pragma once
// Small Win32 services: error texts, the ANSI code page, time.

#include "platform/ansi_code_page.h"
#include "platform/clock.h"
#include "platform/system_errors.h"

namespace tw::win32 {

class SystemErrorsWin32 final : public SystemErrors {
 public:
  uint32_t LastError() override;
  std::string Describe(uint32_t code) override;
};

class AnsiCodePageWin32 final : public AnsiCodePage {
 public:
  std::string ToUtf8(std::string_view ansi) override;
  std::string FromUtf8(std::string_view utf8) override;
};

class ClockWin32 final : public Clock {
 public:
  void Sleep(uint32_t milliseconds) override;
  LocalDateTime Now() override;
  std::string FormatShortDate(const LocalDateTime& when) override;
  std::string FormatLongTime(const LocalDateTime& when) override;
};

}  // namespace tw::win32
