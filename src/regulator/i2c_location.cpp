#include "regulator/i2c_location.h"

#include "regulator/regulator_table.h"

namespace tw {

int32_t EncodeI2cLocation(const I2cLocation& location) {
  const auto byte = [](int32_t value) { return static_cast<uint32_t>(value) & 0xFFu; };
  const uint32_t value = (byte(location.line) << 8) ^ (byte(location.address) << 16) ^ (byte(location.controller) << 24);
  return static_cast<int32_t>(value);
}

std::optional<I2cLocation> DecodeI2cLocation(int32_t value) {
  if (value == 0) return std::nullopt;
  const auto bits = static_cast<uint32_t>(value);
  I2cLocation location;
  location.line = static_cast<int32_t>((bits >> 8) & 0xFFu);
  location.address = static_cast<int32_t>((bits >> 16) & 0xFFu);
  location.controller = static_cast<int32_t>((bits >> 24) & 0xFFu);
  if (!RegulatorRow(location.controller)) return std::nullopt;
  return location;
}

}  // namespace tw
