#include "regulator/regulator_matches.h"

#include <optional>

#include "i2c/i2c_transfer.h"
#include "regulator/regulator_table.h"

namespace tw {

bool RegulatorMatches(DriverConnection& connection, const GPUItem& gpu, int32_t line, int32_t address, int32_t row) {
  const RegulatorItem* item = RegulatorRow(row);
  if (!item) return false;
  const auto read = [&](uint8_t reg) {
    return I2cRead(connection, gpu, item->dataSize, line, address, reg, I2cSpeed::Identify);
  };
  const std::optional<uint16_t> first = read(item->idRegister1);
  if (!first || *first != item->idValue1) return false;
  if (item->idRegister2 == 0) return true;
  const std::optional<uint16_t> second = read(item->idRegister2);
  if (!second) return false;
  if (*second == item->idValue2) return true;
  return item->idValue2Alt != 0 && *second == item->idValue2Alt;
}

}  // namespace tw
