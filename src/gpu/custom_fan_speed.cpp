#include "gpu/custom_fan_speed.h"

#include <optional>

#include "base/integer.h"
#include "base/text.h"

namespace tw {

std::variant<int, std::string> ParseCustomFanSpeed(std::string_view answer) {
  const std::optional<int32_t> value = TryParseInt32(TrimBlanks(answer));
  if (!value || !IsFanTestPercent(*value)) return std::string(kFanSpeedRangeMessage);
  return static_cast<int>(*value);
}

}  // namespace tw
