#include "gpu/value_fields.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "gpu/adl_abi.h"

namespace tw {
namespace {

constexpr int64_t kTenKhzPerMhz = 100;

std::optional<UnsendableValue> FirstUnfitClock(const char* prefix, const std::vector<int32_t>& clocks,
                                               const std::vector<int32_t>& vccs, const std::vector<bool>& enabled,
                                               int32_t stateCount) {
  const size_t count = std::min({clocks.size(), vccs.size(), enabled.size(), static_cast<size_t>(std::max(stateCount, 0))});
  for (size_t i = 0; i < count; ++i) {
    if (OverdriveNClock(clocks[i])) continue;
    return UnsendableValue{prefix + std::to_string(i),
                           std::to_string(clocks[i]) + ";" + std::to_string(vccs[i]) + (enabled[i] ? "" : ";0")};
  }
  return std::nullopt;
}

}  // namespace

std::optional<int32_t> OverdriveNClock(int32_t mhz) {
  const int64_t driverClock = static_cast<int64_t>(mhz) * kTenKhzPerMhz;
  if (driverClock > std::numeric_limits<int32_t>::max() || driverClock < std::numeric_limits<int32_t>::min())
    return std::nullopt;
  return static_cast<int32_t>(driverClock);
}

std::optional<UnsendableValue> FirstUnsendableValue(const ProfileItem& values, const GPUItem& gpu) {
  // Overdrive8 clocks travel in MHz: every int32 fits.
  if (gpu.overdriveVersion != adl::kOverdriveN) return std::nullopt;
  if (auto gpuState = FirstUnfitClock("GPU_P", values.gpuClock, values.gpuVcc, values.gpuEnabled, gpu.gpuStateCount))
    return gpuState;
  return FirstUnfitClock("Mem_P", values.memClock, values.memVcc, values.memEnabled, gpu.memStateCount);
}

}  // namespace tw
