#include "regulator/regulator_snapshot.h"

#include <algorithm>
#include <string>

#include "base/text.h"
#include "gpu/gpu_item.h"
#include "i2c/i2c_transfer.h"
#include "regulator/regulator_table.h"

namespace tw {
namespace {

constexpr uint8_t kProbeRegister = 0xFF;  // what the line search reads at every address

}  // namespace

std::vector<uint8_t> RegistersReadBy(int32_t controller) {
  const RegulatorItem* row = RegulatorRow(controller);
  if (!row) return {};
  std::vector<uint8_t> registers = {kProbeRegister, row->idRegister1, row->offsetRegister};
  if (row->idRegister2 != 0) registers.push_back(row->idRegister2);
  if (row->offsetEnableRegister != 0) registers.push_back(row->offsetEnableRegister);
  if (row->hasLlc) registers.push_back(row->llcRegister);
  if (row->hasPhaseGain) registers.insert(registers.end(), row->phaseGainRegisters.begin(), row->phaseGainRegisters.end());
  if (row->hasCurrentScale) registers.push_back(row->currentScaleRegister);
  std::sort(registers.begin(), registers.end());
  registers.erase(std::unique(registers.begin(), registers.end()), registers.end());
  return registers;
}

std::optional<RegulatorSnapshot> ReadRegulatorSnapshot(DriverConnection& connection, const GPUItem& gpu,
                                                       ReadFailure& failure) {
  const RegulatorItem* row = RegulatorRow(gpu.i2cController);
  if (!row) return std::nullopt;
  RegulatorSnapshot regulator{std::string(row->name), gpu.i2cLine, gpu.i2cAddress, {}};
  for (uint8_t reg : RegistersReadBy(gpu.i2cController)) {
    const std::optional<uint16_t> value =
        I2cRead(connection, gpu, 1, gpu.i2cLine, gpu.i2cAddress, reg, I2cSpeed::Value);
    if (!value) {
      failure = ReadFailure{"ADL2_Display_WriteAndReadI2C", 0,
                            "register 0x" + HexByte(reg, /*upperCase=*/true) + " of the " + regulator.model + " did not answer"};
      return std::nullopt;
    }
    regulator.registers.emplace_back(reg, static_cast<uint8_t>(*value));
  }
  return regulator;
}

}  // namespace tw
