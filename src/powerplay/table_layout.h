#pragma once
// Where the edited values lie in each family's table: recognising a table and describing
// its layout in `pConst`. Every position, count and voltage index taken from the table is
// checked against the buffer here, so that later reads and writes stay inside it.

#include <cstdint>
#include <span>
#include <string>

#include "powerplay/table_family.h"

namespace tw {

// The table being edited, as the editor describes it. Layout fields are filled by SetLayout;
// regPath, the voltage limits and instanceId belong to the card and are set by the editor.
struct pConst {
  std::string regPath;  // key path below HKEY_LOCAL_MACHINE
  uint8_t maxGpuClockPos = 0;
  uint8_t maxMemClockPos = 0;
  uint8_t powerLimitPos = 0;
  uint16_t gpuTablePos = 0;
  uint16_t memTablePos = 0;
  uint16_t gpuVoltTablePos = 0;  // GPU and memory states index the one voltage table
  uint16_t memVoltTablePos = 0;
  uint8_t memRecordSize = 0;
  uint8_t gpuRecordSize = 0;
  uint8_t voltRecordSize = 0;
  uint8_t countPos = 1;
  uint8_t firstEntryPos = 2;
  uint8_t gpuVoltIndexPos = 0;
  uint8_t gpuClockPos = 0;
  uint8_t memVoltIndexPos = 0;
  uint8_t memClockPos = 0;
  uint8_t voltValuePos = 0;
  uint8_t gpuStateCount = 0;
  uint8_t memStateCount = 0;
  int32_t minVoltage = 0;
  int32_t maxVoltage = 0;
  std::string instanceId;
};

struct TableCheck {
  TableFamily family = TableFamily::Unsupported;
  // Set when the header names a family but a position, count or voltage index reaches
  // outside the table, or the GPU, memory and voltage sub-tables share bytes; the table
  // then counts as not supported.
  std::string damage;
};

TableCheck CheckTable(std::span<const uint8_t> table);

TableFamily IdentifyTable(std::span<const uint8_t> table);

// Fills the layout fields of `layout` for the family; false (layout unusable) for
// Unsupported or a table that does not hold everything the layout points at.
bool SetLayout(TableFamily family, std::span<const uint8_t> table, pConst& layout);

}  // namespace tw
