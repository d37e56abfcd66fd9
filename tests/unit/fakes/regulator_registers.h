#pragma once
// Register files of the two regulator controllers as they hold them after power-up, for
// cards on the fake driver's I2C lines.

#include <cstdint>
#include <map>

namespace tw::test {

inline std::map<int, uint8_t> Ir3567bRegisters(uint8_t llc = 0x01) {
  return {{0x92, 0x43}, {0x38, llc}, {0x8D, 0x00}, {0x1E, 0x11}, {0x1F, 0x22}, {0x20, 0x33}, {0x4D, 0x44}};
}
inline std::map<int, uint8_t> Up9505Registers(uint8_t idValue2 = 0x02) {
  return {{0x4A, 0x29}, {0x49, idValue2}, {0x0C, 0x00}, {0x27, 0x1F}, {0x28, 0x04}};
}

}  // namespace tw::test
