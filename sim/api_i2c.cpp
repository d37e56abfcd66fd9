#include <cstdio>
#include <string>

#include "api.h"
#include "simulator.h"

namespace adlsim::api {
namespace {

constexpr int kMaxReadBytes = 24;
constexpr int kMaxWriteBytes = 12;

std::string HexData(const char* data, int size) {
  std::string text;
  char byte[3];
  for (int i = 0; i < size; ++i) {
    std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned char>(data[i]));
    text += byte;
  }
  return text;
}

bool IsReadOnly(const I2cDeviceSpec& device, int reg) {
  for (int r : device.readOnly)
    if (r == reg) return true;
  return false;
}

}  // namespace

int WriteAndReadI2C(Context context, int adapter, ADLI2C* transfer) {
  Call call("ADL2_Display_WriteAndReadI2C");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginCard(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!transfer) return call.Finish(kErrNullPointer);
  const int address = transfer->iAddress >> 1;
  JournalLine& line = call.line();
  line.Add("line", transfer->iLine).AddHex("address", address).AddHex("register", transfer->iOffset);
  line.Add("action", transfer->iAction).Add("speed", transfer->iSpeed).Add("size", transfer->iDataSize);
  if (!transfer->pcData) return call.Finish(kErrNullPointer);
  const bool write = transfer->iAction == kI2cActionWrite;
  const bool read = transfer->iAction == kI2cActionRead || transfer->iAction == kI2cActionReadRepeatedStart;
  if (!write && !read) return call.Finish(kErrInvalidParam);
  if (transfer->iDataSize < 1 || transfer->iDataSize > (write ? kMaxWriteBytes : kMaxReadBytes) ||
      transfer->iOffset < 0 || transfer->iOffset > 0xFF)
    return call.Finish(kErrInvalidParam);
  if (write) line.Add("data", HexData(transfer->pcData, transfer->iDataSize));

  for (size_t d = 0; d < cardSpec->i2c.size(); ++d) {
    const I2cDeviceSpec& device = cardSpec->i2c[d];
    if (device.line != transfer->iLine || device.address != address) continue;
    Registers& registers = card->i2c[d];
    for (int k = 0; k < transfer->iDataSize; ++k) {
      const int reg = (transfer->iOffset + k) & 0xFF;
      if (read) {
        transfer->pcData[k] = static_cast<char>(registers[static_cast<size_t>(reg)]);
      } else if (!IsReadOnly(device, reg) && !call.FaultIs(FaultKind::Ignore)) {
        registers[static_cast<size_t>(reg)] = static_cast<uint8_t>(transfer->pcData[k]);
      }
    }
    if (read) line.Add("data", HexData(transfer->pcData, transfer->iDataSize));
    if (write) call.sim().SaveState();
    line.Add("device", device.model);
    return call.Finish(kOk);
  }
  // Nobody acknowledges the address.
  return call.Finish(kErr);
}

}  // namespace adlsim::api
