#pragma once

#include <cstdint>
#include <string>

namespace tw {

struct LocalDateTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual LocalDateTime Now() = 0;
  // The user's short date and long time formats.
  virtual std::string FormatShortDate(const LocalDateTime& when) = 0;
  virtual std::string FormatLongTime(const LocalDateTime& when) = 0;
};

}  // namespace tw
