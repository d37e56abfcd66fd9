#pragma once
// Integer conversion of user text (command line, ini values, profile numbers).
// Accepted: an optional sign and decimal digits fitting a signed 32-bit value; nothing else,
// not even surrounding blanks (callers trim where their format says so).

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tw {

std::optional<int32_t> TryParseInt32(std::string_view text);

// Hexadecimal digits only (no prefix), for register bytes typed by users.
std::optional<uint32_t> TryParseHex(std::string_view text);

// Raised where the program's behaviour is "a failed conversion inside a guard"; its
// what() is the text the guard reports.
class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(std::string_view text);
};

// TryParseInt32 or a ConversionError "'<text>' is not a valid integer value".
int32_t ParseInt32OrThrow(std::string_view text);

}  // namespace tw
