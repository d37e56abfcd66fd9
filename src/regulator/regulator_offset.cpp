#include "regulator/regulator_offset.h"

#include "regulator/regulator_table.h"

namespace tw {

uint8_t EncodeOffset(const RegulatorItem& row, int32_t steps) {
  if (!row.offsetSignMagnitude) return static_cast<uint8_t>(static_cast<uint32_t>(steps) & 0xFFu);
  if (steps >= 0) return static_cast<uint8_t>(steps & 0x7F);
  return static_cast<uint8_t>(0x80 | ((-steps) & 0x7F));
}

int32_t DecodeOffset(const RegulatorItem& row, uint8_t value) {
  if (!row.offsetSignMagnitude) return static_cast<int8_t>(value);
  if (value < 0x80) return value;
  return -static_cast<int32_t>(value & 0x7F);
}

}  // namespace tw
