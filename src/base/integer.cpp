#include "base/integer.h"

namespace tw {

std::optional<int32_t> TryParseInt32(std::string_view text) {
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  if (pos == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<uint32_t> TryParseHex(std::string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f') digit = static_cast<uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') digit = static_cast<uint32_t>(c - 'A' + 10);
    else return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

namespace {

std::string ConversionMessage(std::string_view text) {
  std::string message = "'";
  message.append(text);
  message.append("' is not a valid integer value");
  return message;
}

}  // namespace

ConversionError::ConversionError(std::string_view text) : std::runtime_error(ConversionMessage(text)) {}

int32_t ParseInt32OrThrow(std::string_view text) {
  if (const auto value = TryParseInt32(text)) return *value;
  throw ConversionError(text);
}

}  // namespace tw
