#include "regulator/regulator_write.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gpu/driver_connection.h"
#include "i2c/i2c_transfer.h"
#include "regulator/regulator_context.h"
#include "regulator/regulator_hex_text.h"
#include "regulator/regulator_offset.h"
#include "regulator/regulator_table.h"

namespace tw {
namespace {

constexpr std::string_view kOffsetRangeMessage =
    "For security reason I2C offset must be between -48 (-300mV) and 48 (+300mV)";

// How one text value is checked and named in its messages.
struct TextValue {
  std::string_view label;           // as the messages name it
  size_t length;                    // hex digits
  std::string_view lengthMessage;   // for a text of another length
  std::string_view failedMessage;   // for a failed write, with the driver's code
};

constexpr TextValue kPhaseGain{"Phase gain", 6,
                               "Wrong data is entered in Phase gain, must be in 3 bytes length hexadecimal format",
                               "Failed to set I2C Phase Gain"};
constexpr TextValue kCurrentScale{"Current scale", 2,
                                  "Wrong data is entered in Current scale, must be in 1 byte hexadecimal format",
                                  "Failed to set I2C Current Scale"};

// Why a set offset cannot be written; nothing when it can.
std::optional<std::string> OffsetProblem(int32_t offset) {
  if (IsSet(offset) && (offset < kRegulatorOffsetMin || offset > kRegulatorOffsetMax)) return std::string(kOffsetRangeMessage);
  return std::nullopt;
}

// Why a set text cannot be converted into its register bytes; nothing when it can.
std::optional<std::string> TextProblem(const TextValue& value, std::string_view text) {
  if (!IsSet(text)) return std::nullopt;
  if (text.size() != value.length) return std::string(value.lengthMessage);
  if (!HexPairsToBytes(text))
    return "Wrong data is entered in " + std::string(value.label) + ", \"" + std::string(text) + "\" is not hexadecimal";
  return std::nullopt;
}

class RegulatorWriter {
 public:
  RegulatorWriter(const RegulatorContext& context, DriverConnection& connection, const GPUItem& gpu, const RegulatorItem& row, bool reset)
      : context_(context), connection_(connection), gpu_(gpu), row_(row), reset_(reset) {}

  void WriteOffset(int32_t offset) {
    if (!IsSet(offset)) return;
    if (const std::optional<std::string> problem = OffsetProblem(offset)) {
      context_.ini.messages.ShowError(*problem);
      return;
    }
    // Some controllers ignore the offset register until it is enabled; the offset is
    // written even when enabling failed, as the register may have been enabled already.
    if (row_.offsetEnableRegister != 0)
      Write(row_.offsetEnableRegister, row_.offsetEnableValue, "Failed to set I2C Offset");
    Write(row_.offsetRegister, reset_ ? 0 : EncodeOffset(row_, offset), "Failed to set I2C Offset");
  }

  void WriteLlc(int32_t llc) {
    if (!row_.hasLlc || !IsSet(llc)) return;
    const bool on = !reset_ && llc != 0;
    Write(row_.llcRegister, on ? row_.llcOnValue : row_.llcOffValue, "Failed to set I2C LLC");
  }

  void WritePhaseGain(std::string_view text) {
    if (!row_.hasPhaseGain) return;
    WriteText(kPhaseGain, text, {row_.phaseGainRegisters.begin(), row_.phaseGainRegisters.end()});
  }

  void WriteCurrentScale(std::string_view text) {
    if (!row_.hasCurrentScale) return;
    WriteText(kCurrentScale, text, {row_.currentScaleRegister});
  }

 private:
  bool Write(uint8_t reg, uint8_t value, std::string_view failedMessage) {
    const int32_t result = I2cWrite(connection_, gpu_, gpu_.i2cLine, gpu_.i2cAddress, reg, value);
    if (result == 0) return true;
    context_.ini.messages.ShowError(failedMessage, result);
    return false;
  }

  // The whole text is checked before its first byte is written, so that a bad digit in
  // the last pair cannot leave the controller with half a phase gain.
  void WriteText(const TextValue& value, std::string_view text, const std::vector<uint8_t>& registers) {
    if (!IsSet(text)) return;
    if (const std::optional<std::string> problem = TextProblem(value, text)) {
      context_.ini.messages.ShowError(*problem);
      return;
    }
    const std::optional<std::vector<uint8_t>> bytes = HexPairsToBytes(text);
    if (reset_ || !bytes) return;
    for (size_t i = 0; i < registers.size(); ++i)
      if (!Write(registers[i], (*bytes)[i], value.failedMessage)) return;
  }

  const RegulatorContext& context_;
  DriverConnection& connection_;
  const GPUItem& gpu_;
  const RegulatorItem& row_;
  bool reset_;
};

}  // namespace

RegulatorRefusals RefusedRegulatorValues(const RegulatorContext& context, int gpuId, int32_t offset, std::string_view phaseGain,
                             std::string_view currentScale) {
  if (gpuId < 0 || static_cast<size_t>(gpuId) >= context.gpus.size()) return {};
  const GPUItem& gpu = context.gpus[static_cast<size_t>(gpuId)];
  const RegulatorItem* row = RegulatorRow(gpu.i2cController);
  if (!gpu.i2cFound || !row) return {};
  return {.offset = OffsetProblem(offset).has_value(),
          .phaseGain = row->hasPhaseGain && TextProblem(kPhaseGain, phaseGain).has_value(),
          .currentScale = row->hasCurrentScale && TextProblem(kCurrentScale, currentScale).has_value()};
}

void WriteRegulatorValues(const RegulatorContext& context, int gpuId, bool reset, int32_t offset, int32_t llc,
                    std::string_view phaseGain, std::string_view currentScale) {
  if (gpuId < 0 || static_cast<size_t>(gpuId) >= context.gpus.size()) return;
  const GPUItem& gpu = context.gpus[static_cast<size_t>(gpuId)];
  const RegulatorItem* row = RegulatorRow(gpu.i2cController);
  if (!gpu.i2cFound || !row) return;
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(context.ini.platform, context.ini.messages);
  if (!connection) return;
  RegulatorWriter writer(context, *connection, gpu, *row, reset);
  writer.WriteOffset(offset);
  writer.WriteLlc(llc);
  writer.WritePhaseGain(phaseGain);
  writer.WriteCurrentScale(currentScale);
}

}  // namespace tw
