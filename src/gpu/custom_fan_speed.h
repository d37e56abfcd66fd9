#pragma once
// The percentage a user types for a custom fan speed.

#include <string>
#include <string_view>
#include <variant>

namespace tw {

inline constexpr std::string_view kFanSpeedRangeMessage = "Put value between 0 and 100";

constexpr bool IsFanTestPercent(int value) { return value >= 0 && value <= 100; }

// The answer with blanks around it trimmed: the percentage when it is a whole number from
// 0 to 100, otherwise the message to show ("Put value between 0 and 100"), also for an
// empty answer.
std::variant<int, std::string> ParseCustomFanSpeed(std::string_view answer);

}  // namespace tw
