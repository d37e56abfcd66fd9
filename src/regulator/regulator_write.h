#pragma once
// Writing regulator values to a card's controller. Every caller goes through here: the
// per-GPU command, applying a profile, resetting a card and the window's apply.

#include <cstdint>
#include <string_view>

namespace tw {

struct RegulatorContext;

// Offsets outside this range are refused: -300 mV .. +300 mV in steps of 6.25 mV.
inline constexpr int32_t kRegulatorOffsetMin = -48;
inline constexpr int32_t kRegulatorOffsetMax = 48;

// The values WriteRegulatorValues would refuse for the card's controller, found without a word:
// a set offset outside kRegulatorOffsetMin..kRegulatorOffsetMax, and a set phase gain or current scale
// (where the controller has one) that is not of the right length in hexadecimal digits.
// A card without a controller found in this run refuses nothing: nothing is written to it.
struct RegulatorRefusals {
  bool offset = false;
  bool phaseGain = false;
  bool currentScale = false;
};
RegulatorRefusals RefusedRegulatorValues(const RegulatorContext& context, int gpuId, int32_t offset, std::string_view phaseGain,
                             std::string_view currentScale);

// Writes the values that are set (offset and llc not -500, texts not "NULL") to the card's
// controller, in this order: offset (the offset-enable register first, where the
// controller has one), load-line, phase gain (three digit pairs in register order, stopping
// at the first failed write), current scale. Values the controller lacks are ignored.
// With `reset`, the offset is written as 0 and the load-line as off whatever was passed,
// and phase gain and current scale are checked but never written. Nothing happens when the
// card has no controller found in this run or no connection opens. Every problem is shown
// in an error box; a value that is refused is skipped and the others are still written.
void WriteRegulatorValues(const RegulatorContext& context, int gpuId, bool reset, int32_t offset, int32_t llc,
                    std::string_view phaseGain, std::string_view currentScale);

}  // namespace tw
