#pragma once
// Single-register transfers to a device on one of a card's I2C lines, through the driver
// library's ADL2_Display_WriteAndReadI2C. The caller holds the open connection.

#include <cstdint>
#include <optional>

namespace tw {

class DriverConnection;
struct GPUItem;

// Bus speeds in kHz. Identification and scan probes run slowly, so that a device that is
// not a regulator is not disturbed; value reads and writes go faster.
enum class I2cSpeed : int32_t { Identify = 5, Value = 15, Write = 10 };

// Reads `dataSize` (1 or 2) bytes from `reg` of the device at (line, 7-bit address):
// the byte, or the 16-bit value little-endian (first byte low). nullopt when the driver
// answers anything but success; `result`, when given, receives the driver's answer.
std::optional<uint16_t> I2cRead(DriverConnection& connection, const GPUItem& gpu, int32_t dataSize, int32_t line,
                                int32_t address, int32_t reg, I2cSpeed speed, int32_t* result = nullptr);

// Writes one byte to `reg`; the driver's result, 0 on success.
int32_t I2cWrite(DriverConnection& connection, const GPUItem& gpu, int32_t line, int32_t address, int32_t reg,
                 uint8_t value);

}  // namespace tw
