#pragma once
// The number an [I2C] key holds for a card: 0 for no controller, else the line in bits
// 8-15, the 7-bit address in bits 16-23 and the RegulatorTable row in bits 24-31 (bits 0-7 stay
// 0). Line 3, address 0x20, row 0 is 2097920.

#include <cstdint>
#include <optional>

namespace tw {

struct I2cLocation {
  int32_t line = -1;
  int32_t address = -1;
  int32_t controller = -1;  // RegulatorTable row
};

int32_t EncodeI2cLocation(const I2cLocation& location);

// nullopt for 0 and for a value that names no RegulatorTable row (a hand-edited or damaged key
// must not make the program use a controller description it does not have).
std::optional<I2cLocation> DecodeI2cLocation(int32_t value);

}  // namespace tw
