#pragma once
// The voltage offset byte (steps of 6.25 mV) in the form the controller keeps it:
// two's complement (-1 is 0xFF) or sign-magnitude (-1 is 0x81, -48 is 0xB0).

#include <cstdint>

namespace tw {

struct RegulatorItem;

// For steps within -127..127; WriteRegulatorValues only passes -48..48.
uint8_t EncodeOffset(const RegulatorItem& row, int32_t steps);
int32_t DecodeOffset(const RegulatorItem& row, uint8_t value);

}  // namespace tw
