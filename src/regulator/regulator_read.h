#pragma once
// Reading a card's regulator values (offset, load-line, phase gain, current scale) into
// the regulator fields of the context's current values (the card's I2cValues).

namespace tw {

struct RegulatorContext;
class RegulatorWindow;

// Nothing when the card has no controller found in this run or no connection opens (the
// values then keep what they held). A failed read leaves that value not set and marks the
// card as having no controller for the rest of the run; the later values are still read.
// With a window, each value read is also shown in its I2C group.
void ReadRegulatorValues(const RegulatorContext& context, int gpuId, RegulatorWindow* window);

}  // namespace tw
