#include "ui/form/spin_edit.h"

#include <algorithm>
#include <optional>

#include "base/integer.h"
#include "base/text.h"

namespace tw::ui {

int ClampToRange(long long value, int minValue, int maxValue) {
  if (value < minValue) return minValue;
  if (value > maxValue) return maxValue;
  return static_cast<int>(value);
}

std::optional<int> WholeSpinValueOf(std::string_view text, int minValue, int maxValue) {
  const std::optional<int32_t> parsed = TryParseInt32(TrimBlanks(text));
  if (!parsed) return std::nullopt;
  return ClampToRange(*parsed, minValue, maxValue);
}

int SpinValueOf(std::string_view text, int minValue, int maxValue) {
  const std::optional<int32_t> parsed = TryParseInt32(TrimBlanks(text));
  return parsed ? ClampToRange(*parsed, minValue, maxValue) : minValue;
}

std::string FitTypedText(std::string_view text, int maxLength) {
  const size_t lineEnd = text.find_first_of("\r\n");
  std::string_view line = text.substr(0, lineEnd);
  if (maxLength > 0 && line.size() > static_cast<size_t>(maxLength)) line = line.substr(0, static_cast<size_t>(maxLength));
  return std::string(line);
}

int TextLengthForRange(int minValue, int maxValue) {
  return static_cast<int>(std::max(std::to_string(minValue).size(), std::to_string(maxValue).size()));
}

}  // namespace tw::ui
