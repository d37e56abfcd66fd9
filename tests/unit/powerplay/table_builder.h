#pragma once
// Soft PowerPlay tables made from the family layouts, for tests and fuzz corpora. Every
// byte that is not a field the builder sets holds a position-dependent filler, so that a
// stray write anywhere shows up in a byte comparison.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "powerplay/table_family.h"
#include "powerplay/table_field.h"

namespace tw::test {

struct StateSpec {
  uint32_t clock;       // 10 kHz units
  uint8_t voltageIndex;
};

struct TableSpec {
  TableFamily family = TableFamily::Polaris;
  int vegaGpuRevision = 1;  // 0 or 1 (anything else makes an unsupported Vega table)
  std::vector<StateSpec> gpu = {{30000, 0}, {60000, 1}, {90000, 2}, {120000, 3},
                                {130000, 4}, {140000, 5}, {150000, 6}, {200000, 7}};
  std::vector<StateSpec> mem = {{30000, 0}, {100000, 4}, {200000, 7}};
  std::vector<uint16_t> voltages = {800, 850, 900, 950, 1000, 1050, 1100, 1150};
  uint32_t maxGpuClock = 250000;  // 10 kHz units
  uint32_t maxMemClock = 225000;
  uint16_t powerLimit = 50;
  size_t trailingBytes = 40;  // after the last sub-table
  // Overrides of the revision bytes the family implies.
  std::optional<uint8_t> fanRevision;
  std::optional<uint8_t> gpuRevision;
};

// Where the builder put things, for tests that damage a table on purpose.
struct BuiltTable {
  PowerPlayTable bytes;
  size_t headerSize = 0;
  size_t fanTablePos = 0;  // 0 for Vega
  size_t gpuTablePos = 0, memTablePos = 0, voltTablePos = 0;
  size_t gpuRecordSize = 0, memRecordSize = 0, voltRecordSize = 0;
  size_t gpuClockPos = 0, gpuVoltIndexPos = 0, memClockPos = 0, memVoltIndexPos = 0;
  // Header fields holding the sub-table positions.
  size_t gpuTableField = 0, memTableField = 0, voltTableField = 0;
  size_t maxGpuClockField = 0, maxMemClockField = 0, powerLimitField = 0;

  size_t GpuClockAt(size_t i) const { return gpuTablePos + 2 + i * gpuRecordSize + gpuClockPos; }
  size_t MemClockAt(size_t i) const { return memTablePos + 2 + i * memRecordSize + memClockPos; }
  size_t VoltageAt(size_t index) const { return voltTablePos + 2 + index * voltRecordSize; }
};

BuiltTable BuildTable(const TableSpec& tableSpec);

void Put16(PowerPlayTable& table, size_t position, uint32_t value);
void Put32(PowerPlayTable& table, size_t position, uint32_t value);
uint32_t Get16(const PowerPlayTable& table, size_t position);
uint32_t Get32(const PowerPlayTable& table, size_t position);

// Positions where two tables differ.
std::vector<size_t> Differences(const PowerPlayTable& a, const PowerPlayTable& b);

// A 64 KiB x blocks image: ROM header pointer at 0x48, master data table, PowerPlay table.
std::string BuildBiosImage(const PowerPlayTable& table, size_t blocks = 1, size_t tablePos = 0x8000);

}  // namespace tw::test
