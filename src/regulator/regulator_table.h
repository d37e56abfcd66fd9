#pragma once
// The two regulator controllers the program can drive, and how each one is recognised and
// programmed. A card's controller is known by its row index, which is also what the [I2C]
// section stores.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tw {

struct RegulatorItem {
  std::string_view name;
  uint8_t dataSize;        // bytes read by identification reads (1 or 2)
  uint8_t defaultLine;     // 0: no fixed location, search for it
  uint8_t defaultAddress;  // 7-bit address that goes with defaultLine
  uint8_t idRegister1;
  uint16_t idValue1;
  uint8_t idRegister2;  // 0: none
  uint16_t idValue2;
  uint16_t idValue2Alt;  // 0: no other value
  bool offsetSignMagnitude;  // else two's complement
  uint8_t offsetRegister;
  uint8_t offsetEnableRegister;  // 0: the offset acts without enabling
  uint8_t offsetEnableValue;
  bool hasLlc;
  uint8_t llcRegister;
  uint8_t llcOnValue;
  uint8_t llcOffValue;
  bool hasPhaseGain;
  std::array<uint8_t, 3> phaseGainRegisters;  // in the order of the digit pairs of the text
  bool hasCurrentScale;
  uint8_t currentScaleRegister;
};

// Row 0's second identification register is its load-line register, so the controller is
// recognised in either load-line state.
inline constexpr std::array<RegulatorItem, 2> RegulatorTable = {{
    {"IR3567B", 1, 0, 0, 0x92, 0x0043, 0x38, 0x0001, 0x0081, false, 0x8D, 0, 0, true, 0x38, 0x01, 0x81, true,
     {0x1E, 0x1F, 0x20}, true, 0x4D},
    {"up9505", 1, 0, 0, 0x4A, 0x0029, 0x49, 0x0002, 0x0003, true, 0x0C, 0x27, 0x1F, true, 0x28, 0x8C, 0x04, false,
     {0, 0, 0}, false, 0},
}};

inline constexpr int kRegulatorRowCount = static_cast<int>(RegulatorTable.size());

// The row of a stored or detected controller index; nullptr outside the table.
inline const RegulatorItem* RegulatorRow(int32_t index) {
  return index >= 0 && index < kRegulatorRowCount ? &RegulatorTable[static_cast<size_t>(index)] : nullptr;
}

}  // namespace tw
