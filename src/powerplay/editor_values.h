#pragma once
// The values of the PowerPlay editor's fields, as the editor window binds them: GPU_Clock_n
// and GPU_Vcc_n, Mem_Clock_n and Mem_Vcc_n for n = 0..7, Max_GPU, Max_Mem and Max_Power.

#include <array>
#include <cstdint>

namespace tw {

// The editor shows, links and writes back at most this many states of each kind.
inline constexpr int kShownStateCount = 8;

enum class StateKind { Gpu, Memory };

struct StateFields {
  int32_t clock = 0;    // MHz
  int32_t voltage = 0;  // mV
};

struct EditorValues {
  std::array<StateFields, kShownStateCount> gpu{};
  std::array<StateFields, kShownStateCount> mem{};
  int32_t maxGpuClock = 0;  // MHz
  int32_t maxMemClock = 0;  // MHz
  int32_t powerLimit = 0;   // percent
  int gpuShown = 0;         // rows 0..gpuShown-1 are shown
  int memShown = 0;

  std::array<StateFields, kShownStateCount>& States(StateKind kind) { return kind == StateKind::Gpu ? gpu : mem; }
  const std::array<StateFields, kShownStateCount>& States(StateKind kind) const {
    return kind == StateKind::Gpu ? gpu : mem;
  }
};

// One voltage field of the editor: GPU_Vcc_n or Mem_Vcc_n.
struct VoltageField {
  StateKind kind = StateKind::Gpu;
  int index = 0;
  bool operator==(const VoltageField&) const = default;
};

}  // namespace tw
