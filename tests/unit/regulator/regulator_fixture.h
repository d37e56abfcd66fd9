#pragma once
// Cards with regulator controllers on the fake driver's I2C lines, and "Tunewright.ini"
// in the in-memory file system.

#include <gmock/gmock.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/regulator_registers.h"
#include "gpu/driver_fixture.h"
#include "ini/ini_encoding.h"

namespace tw::test {

class RegulatorTest : public DriverFixture {
 protected:
  // A card of GpuList whose adapter the fake driver knows.
  GPUItem& AddCard(int adapter, bool supported = true) {
    adl.cards[adapter];
    GPUItem gpu;
    gpu.adapterIndexes = {adapter};
    gpu.supported = supported;
    app.gpus.push_back(gpu);
    return app.gpus.back();
  }
  std::map<int, uint8_t>& Device(int adapter, int line, int address7, std::map<int, uint8_t> registers) {
    std::map<int, uint8_t>& device = adl.cards.at(adapter).I2cDevice(line, address7);
    device = std::move(registers);
    return device;
  }
  std::map<int, uint8_t>& Registers(int adapter, int line, int address7) {
    return adl.cards.at(adapter).I2cDevice(line, address7);
  }
  // The card's controller as detection would have left it.
  void Found(int gpuId, int line, int address7, int row) {
    GPUItem& gpu = app.gpus.at(static_cast<size_t>(gpuId));
    gpu.i2cLine = line;
    gpu.i2cAddress = address7;
    gpu.i2cController = row;
    gpu.i2cFound = true;
  }
  void FailI2c(int adapter, int line, int address7, int reg, int action, int result) {
    adl.cards.at(adapter).i2cFaults[{line, address7 * 2, reg, action}] = result;
  }

  // Register writes as (register, value) pairs, in order.
  std::vector<std::pair<int, int>> Writes() const {
    std::vector<std::pair<int, int>> writes;
    for (const FakeI2cTransfer& t : adl.I2cWrites()) writes.emplace_back(t.reg, t.data.empty() ? -1 : t.data[0]);
    return writes;
  }
  // Registers read at the card's controller, in order (probes of 0xFF included).
  std::vector<int> ReadRegisters() const {
    std::vector<int> regs;
    for (const FakeI2cTransfer& t : adl.i2cTransfers)
      if (!t.IsWrite()) regs.push_back(t.reg);
    return regs;
  }

  // ---- Tunewright.ini ----
  std::string IniKey() const { return InMemoryFileSystem::Key(app.paths.iniPath); }
  void PutIni(std::string_view text) {
    std::string crlf;
    for (char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    fake.files.files[IniKey()] = EncodeIniText(crlf);
  }
  std::string IniText() {
    const std::string text = DecodeIniBytes(fake.files.files.at(IniKey()), fake.ansi).text;
    std::string out;
    for (char c : text)
      if (c != '\r') out += c;
    return out;
  }
  bool IniExists() const { return fake.files.files.count(IniKey()) != 0; }
};

}  // namespace tw::test
