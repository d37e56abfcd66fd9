#include "i2c/i2c_transfer.h"

#include <array>

#include "gpu/adl_abi.h"
#include "gpu/driver_connection.h"
#include "gpu/gpu_item.h"

namespace tw {
namespace {

constexpr int32_t kMaxReadSize = 2;

// The record's size field is the record's size in this build: 32 bytes in the 32-bit
// product, 40 in the 64-bit test build, where the data pointer is wider.
adl::ADLI2C Record(int32_t line, int32_t address, int32_t reg, int32_t action, I2cSpeed speed, int32_t dataSize,
                   char* data) {
  adl::ADLI2C record{};
  record.iSize = static_cast<int>(sizeof(adl::ADLI2C));
  record.iLine = line;
  record.iAddress = address * 2;  // the driver takes the 7-bit address in the upper bits
  record.iOffset = reg;
  record.iAction = action;
  record.iSpeed = static_cast<int>(speed);
  record.iDataSize = dataSize;
  record.pcData = data;
  return record;
}

int32_t Transfer(DriverConnection& connection, const GPUItem& gpu, adl::ADLI2C& record) {
  if (!connection.api().Display_WriteAndReadI2C) return adl::kErr;
  return connection.api().Display_WriteAndReadI2C(connection.context(), gpu.adapterIndex(), &record);
}

}  // namespace

std::optional<uint16_t> I2cRead(DriverConnection& connection, const GPUItem& gpu, int32_t dataSize, int32_t line,
                                int32_t address, int32_t reg, I2cSpeed speed, int32_t* result) {
  if (dataSize < 1 || dataSize > kMaxReadSize) return std::nullopt;
  std::array<char, kMaxReadSize> buffer{};
  adl::ADLI2C record =
      Record(line, address, reg, adl::kI2cActionReadRepeatedStart, speed, dataSize, buffer.data());
  const int32_t answer = Transfer(connection, gpu, record);
  if (result) *result = answer;
  if (answer != adl::kOk) return std::nullopt;
  const auto low = static_cast<uint8_t>(buffer[0]);
  const auto high = static_cast<uint8_t>(buffer[1]);
  return dataSize == 1 ? low : static_cast<uint16_t>(low | (high << 8));
}

int32_t I2cWrite(DriverConnection& connection, const GPUItem& gpu, int32_t line, int32_t address, int32_t reg,
                 uint8_t value) {
  char data = static_cast<char>(value);
  adl::ADLI2C record = Record(line, address, reg, adl::kI2cActionWrite, I2cSpeed::Write, 1, &data);
  return Transfer(connection, gpu, record);
}

}  // namespace tw
