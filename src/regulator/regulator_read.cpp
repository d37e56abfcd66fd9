#include "regulator/regulator_read.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "gpu/driver_connection.h"
#include "i2c/i2c_transfer.h"
#include "regulator/regulator_context.h"
#include "regulator/regulator_hex_text.h"
#include "regulator/regulator_offset.h"
#include "regulator/regulator_table.h"
#include "regulator/regulator_window.h"

namespace tw {
namespace {

class RegulatorReader {
 public:
  RegulatorReader(const RegulatorContext& context, DriverConnection& connection, GPUItem& gpu, const RegulatorItem& row,
            RegulatorWindow* window)
      : context_(context),
        connection_(connection),
        gpu_(gpu),
        row_(row),
        window_(window),
        values_(context.currentValues) {}

  void Read() {
    ReadOffset();
    ReadLlc();
    ReadPhaseGain();
    ReadCurrentScale();
  }

 private:
  std::optional<uint8_t> ReadRegister(uint8_t reg) {
    const std::optional<uint16_t> value =
        I2cRead(connection_, gpu_, 1, gpu_.i2cLine, gpu_.i2cAddress, reg, I2cSpeed::Value);
    if (!value) {
      gpu_.i2cFound = false;
      return std::nullopt;
    }
    return static_cast<uint8_t>(*value);
  }

  // A controller whose offset is not enabled applies none, whatever its offset register
  // holds.
  bool OffsetDisabled() {
    if (row_.offsetEnableRegister == 0) return false;
    const std::optional<uint8_t> enable = ReadRegister(row_.offsetEnableRegister);
    if (!enable) {
      values_.offset = kNotSet;
      return false;
    }
    return *enable != row_.offsetEnableValue;
  }

  void ReadOffset() {
    if (OffsetDisabled()) {
      SetOffset(0);
    } else if (const std::optional<uint8_t> value = ReadRegister(row_.offsetRegister)) {
      SetOffset(DecodeOffset(row_, *value));
    } else {
      values_.offset = kNotSet;
    }
    if (window_) window_->OffsetInStep();
  }

  void SetOffset(int32_t steps) {
    values_.offset = steps;
    if (window_) window_->ShowOffset(steps);
  }

  void ReadLlc() {
    if (!row_.hasLlc) {
      values_.llc = kNotSet;
      return;
    }
    const std::optional<uint8_t> value = ReadRegister(row_.llcRegister);
    if (!value) {
      values_.llc = kNotSet;
    } else if (*value == row_.llcOffValue || *value == row_.llcOnValue) {
      const bool on = *value != row_.llcOffValue;
      values_.llc = on ? 1 : 0;
      if (window_) window_->ShowLlc(on);
    } else {
      // Neither state: the value is left as it was, so that nothing is compared or
      // written back on the strength of a byte the program does not understand.
      context_.ini.messages.ShowError("I2C LLC has wrong value=0x" + HexByte(*value, /*upperCase=*/true));
    }
    if (window_) window_->LlcInStep();
  }

  // The bytes as hex digit pairs; "NULL" from the first failed read on.
  std::string ReadText(const std::vector<uint8_t>& registers) {
    std::vector<uint8_t> bytes;
    for (uint8_t reg : registers) {
      const std::optional<uint8_t> value = ReadRegister(reg);
      if (!value) return std::string(kNotSetText);
      bytes.push_back(*value);
    }
    return BytesToHexPairs(bytes);
  }

  void ReadPhaseGain() {
    if (!row_.hasPhaseGain) {
      values_.phaseGain = std::string(kNotSetText);
      return;
    }
    values_.phaseGain = ReadText({row_.phaseGainRegisters.begin(), row_.phaseGainRegisters.end()});
    if (!window_) return;
    if (IsSet(values_.phaseGain)) window_->ShowPhaseGain(values_.phaseGain);
    window_->PhaseGainInStep();
  }

  void ReadCurrentScale() {
    if (!row_.hasCurrentScale) {
      values_.currentScale = std::string(kNotSetText);
      return;
    }
    values_.currentScale = ReadText({row_.currentScaleRegister});
    if (!window_) return;
    if (IsSet(values_.currentScale)) window_->ShowCurrentScale(values_.currentScale);
    window_->CurrentScaleInStep();
  }

  const RegulatorContext& context_;
  DriverConnection& connection_;
  GPUItem& gpu_;
  const RegulatorItem& row_;
  RegulatorWindow* window_;
  ProfileItem& values_;
};

}  // namespace

void ReadRegulatorValues(const RegulatorContext& context, int gpuId, RegulatorWindow* window) {
  if (gpuId < 0 || static_cast<size_t>(gpuId) >= context.gpus.size()) return;
  GPUItem& gpu = context.gpus[static_cast<size_t>(gpuId)];
  const RegulatorItem* row = RegulatorRow(gpu.i2cController);
  if (!gpu.i2cFound || !row) return;
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(context.ini.platform, context.ini.messages);
  if (!connection) return;
  RegulatorReader(context, *connection, gpu, *row, window).Read();
}

}  // namespace tw
