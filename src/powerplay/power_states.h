#pragma once
// The GPU and memory states of a table as the editor sees them, and the links between
// states that share one voltage record.

#include <cstdint>
#include <span>
#include <vector>

#include "powerplay/editor_values.h"
#include "powerplay/table_layout.h"

namespace tw {

struct PsItem {
  int32_t clock = 0;    // MHz
  int32_t voltage = 0;  // mV
  uint32_t voltagePos = 0;
  uint16_t voltageIndex = 0;
  uint32_t clockPos = 0;
  // The voltage fields of the other shown states that share this state's voltage record.
  std::vector<VoltageField> linkedEdits;
};

struct PowerStates {
  std::vector<PsItem> GpuStates;
  std::vector<PsItem> MemStates;
};

// Reads every state the layout counts and links the shown ones (the first eight of each
// kind) that share a voltage record. False, with both lists empty, when a record or voltage
// lies outside the table or outside the voltage table.
bool BuildStates(std::span<const uint8_t> table, const pConst& layout, PowerStates& states);

}  // namespace tw
