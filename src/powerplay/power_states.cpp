#include "powerplay/power_states.h"

#include <algorithm>
#include <optional>

#include "powerplay/table_field.h"

namespace tw {
namespace {

struct StateTable {
  size_t tablePos;
  size_t recordSize;
  size_t clockPos;
  size_t voltIndexPos;
  size_t count;
};

struct VoltageTable {
  size_t tablePos;
  size_t recordSize;
  size_t valuePos;
  size_t count;
};

std::optional<PsItem> ReadState(std::span<const uint8_t> table, const pConst& layout, const StateTable& states,
                                const VoltageTable& voltages, size_t i) {
  const size_t record = states.tablePos + layout.firstEntryPos + i * states.recordSize;
  const auto clock = ReadUnsigned(table, record + states.clockPos, 4);
  const auto index = ReadUnsigned(table, record + states.voltIndexPos, 1);
  if (!clock || !index || *index >= voltages.count) return std::nullopt;
  PsItem item;
  item.clockPos = static_cast<uint32_t>(record + states.clockPos);
  item.clock = static_cast<int32_t>(*clock / 100);
  item.voltageIndex = static_cast<uint16_t>(*index);
  const size_t voltagePos = voltages.tablePos + layout.firstEntryPos + voltages.valuePos + *index * voltages.recordSize;
  const auto voltage = ReadUnsigned(table, voltagePos, 2);
  if (!voltage) return std::nullopt;
  item.voltagePos = static_cast<uint32_t>(voltagePos);
  item.voltage = static_cast<int32_t>(*voltage);
  return item;
}

bool ReadStates(std::span<const uint8_t> table, const pConst& layout, const StateTable& states,
                const VoltageTable& voltages, std::vector<PsItem>& out) {
  for (size_t i = 0; i < states.count; ++i) {
    auto item = ReadState(table, layout, states, voltages, i);
    if (!item) return false;
    out.push_back(std::move(*item));
  }
  return true;
}

size_t Shown(const std::vector<PsItem>& states) {
  return std::min(states.size(), static_cast<size_t>(kShownStateCount));
}

// Links every shown state of `from` to every other shown state of `to` with the same voltage
// index; the two lists may be the same.
void LinkShared(std::vector<PsItem>& from, StateKind fromKind, const std::vector<PsItem>& to, StateKind toKind) {
  for (size_t i = 0; i < Shown(from); ++i) {
    for (size_t j = 0; j < Shown(to); ++j) {
      if (fromKind == toKind && i == j) continue;
      if (from[i].voltageIndex == to[j].voltageIndex)
        from[i].linkedEdits.push_back({toKind, static_cast<int>(j)});
    }
  }
}

}  // namespace

bool BuildStates(std::span<const uint8_t> table, const pConst& layout, PowerStates& states) {
  states = {};
  const auto voltageCount = ReadUnsigned(table, size_t{layout.gpuVoltTablePos} + layout.countPos, 1);
  if (!voltageCount || layout.gpuVoltTablePos != layout.memVoltTablePos) return false;
  const VoltageTable voltages{layout.gpuVoltTablePos, layout.voltRecordSize, layout.voltValuePos, *voltageCount};
  const StateTable gpu{layout.gpuTablePos, layout.gpuRecordSize, layout.gpuClockPos, layout.gpuVoltIndexPos,
                       layout.gpuStateCount};
  const StateTable mem{layout.memTablePos, layout.memRecordSize, layout.memClockPos, layout.memVoltIndexPos,
                       layout.memStateCount};
  if (!ReadStates(table, layout, gpu, voltages, states.GpuStates) ||
      !ReadStates(table, layout, mem, voltages, states.MemStates)) {
    states = {};
    return false;
  }
  LinkShared(states.GpuStates, StateKind::Gpu, states.GpuStates, StateKind::Gpu);
  LinkShared(states.GpuStates, StateKind::Gpu, states.MemStates, StateKind::Memory);
  LinkShared(states.MemStates, StateKind::Memory, states.MemStates, StateKind::Memory);
  LinkShared(states.MemStates, StateKind::Memory, states.GpuStates, StateKind::Gpu);
  return true;
}

}  // namespace tw
