#include "powerplay/table_transfer.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "messages/message_writer.h"
#include "powerplay/table_field.h"

namespace tw {
namespace {

constexpr int64_t kMaxClockMhz = UINT32_MAX / 100;
constexpr int64_t kMaxWord = 0xFFFF;

int ShownCount(const std::vector<PsItem>& states) {
  return static_cast<int>(std::min(states.size(), static_cast<size_t>(kShownStateCount)));
}

std::optional<int32_t> ReadClockMhz(std::span<const uint8_t> table, size_t position) {
  const auto raw = ReadUnsigned(table, position, 4);
  if (!raw) return std::nullopt;
  return static_cast<int32_t>(*raw / 100);
}

std::optional<int32_t> ReadWord(std::span<const uint8_t> table, size_t position) {
  const auto raw = ReadUnsigned(table, position, 2);
  if (!raw) return std::nullopt;
  return static_cast<int32_t>(*raw);
}

bool ShowStates(std::span<const uint8_t> table, const std::vector<PsItem>& states,
                std::array<StateFields, kShownStateCount>& fields) {
  for (int i = 0; i < ShownCount(states); ++i) {
    const auto clock = ReadClockMhz(table, states[static_cast<size_t>(i)].clockPos);
    const auto voltage = ReadWord(table, states[static_cast<size_t>(i)].voltagePos);
    if (!clock || !voltage) return false;
    fields[static_cast<size_t>(i)] = {*clock, *voltage};
  }
  return true;
}

struct PlannedWrite {
  size_t position;
  int width;
  uint32_t value;
};

// Collects the writes of one save and refuses the whole save at the first value that does
// not fit, so that a table is never left half patched.
class WritePlan {
 public:
  WritePlan(size_t tableSize, MessageWriter& messages) : tableSize_(tableSize), messages_(messages) {}

  bool Add(size_t position, int width, int64_t value, int64_t scale, int64_t maxValue, const std::string& what,
           const char* unit) {
    if (value < 0 || value > maxValue) {
      messages_.ShowError(what + " value does not fit in the table (0 to " + std::to_string(maxValue) + " " + unit +
                          ")");
      return false;
    }
    if (!FieldInside(tableSize_, position, static_cast<size_t>(width))) {
      messages_.ShowError(what + " lies outside the PowerPlayTable; nothing was changed");
      return false;
    }
    writes_.push_back({position, width, static_cast<uint32_t>(value * scale)});
    return true;
  }

  void Apply(std::span<uint8_t> table) const {
    for (const PlannedWrite& write : writes_) WriteUnsigned(table, write.position, write.width, write.value);
  }

 private:
  size_t tableSize_;
  MessageWriter& messages_;
  std::vector<PlannedWrite> writes_;
};

bool PlanStates(WritePlan& plan, const std::vector<PsItem>& states,
                const std::array<StateFields, kShownStateCount>& fields, const char* kindName) {
  for (int i = 0; i < ShownCount(states); ++i) {
    const PsItem& state = states[static_cast<size_t>(i)];
    const StateFields& field = fields[static_cast<size_t>(i)];
    const std::string name = std::string(kindName) + " P" + std::to_string(i);
    if (!plan.Add(state.clockPos, 4, field.clock, 100, kMaxClockMhz, name + " clock", "MHz") ||
        !plan.Add(state.voltagePos, 2, field.voltage, 1, kMaxWord, name + " voltage", "mV"))
      return false;
  }
  return true;
}

}  // namespace

bool ShowTable(std::span<const uint8_t> table, const pConst& layout, const PowerStates& states,
               EditorValues& values) {
  EditorValues shown;
  shown.gpuShown = ShownCount(states.GpuStates);
  shown.memShown = ShownCount(states.MemStates);
  const auto maxGpu = ReadClockMhz(table, layout.maxGpuClockPos);
  const auto maxMem = ReadClockMhz(table, layout.maxMemClockPos);
  const auto power = ReadWord(table, layout.powerLimitPos);
  if (!maxGpu || !maxMem || !power || !ShowStates(table, states.GpuStates, shown.gpu) ||
      !ShowStates(table, states.MemStates, shown.mem))
    return false;
  shown.maxGpuClock = *maxGpu;
  shown.maxMemClock = *maxMem;
  shown.powerLimit = *power;
  values = shown;
  return true;
}

bool StoreTable(std::span<uint8_t> table, const pConst& layout, const PowerStates& states, const EditorValues& values,
                MessageWriter& messages) {
  WritePlan plan(table.size(), messages);
  const bool planned = PlanStates(plan, states.GpuStates, values.gpu, "GPU") &&
                       PlanStates(plan, states.MemStates, values.mem, "Memory") &&
                       plan.Add(layout.maxGpuClockPos, 4, values.maxGpuClock, 100, kMaxClockMhz, "Max GPU Freq.", "MHz") &&
                       plan.Add(layout.maxMemClockPos, 4, values.maxMemClock, 100, kMaxClockMhz, "Max Memory Freq.",
                                "MHz") &&
                       plan.Add(layout.powerLimitPos, 2, values.powerLimit, 1, kMaxWord, "Max Power Target", "%");
  if (!planned) return false;
  plan.Apply(table);
  return true;
}

}  // namespace tw
