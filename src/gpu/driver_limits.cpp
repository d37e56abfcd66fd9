#include "gpu/driver_limits.h"

#include <algorithm>

#include "gpu/driver_connection.h"
#include "gpu/gpu_item.h"
#include "gpu/performance_levels.h"

namespace tw {
namespace {

struct Crossing {
  bool above = false;
  bool below = false;
  void Test(int value, const adl::ADLODNParameterRange& range) {
    above = above || value > range.iMax;
    below = below || value < range.iMin;
  }
};

std::optional<adl::ADLODNCapabilitiesX2> ReadCapabilities(DriverConnection& connection, const GPUItem& gpu) {
  adl::ADLODNCapabilitiesX2 caps{};
  if (connection.api().OverdriveN_CapabilitiesX2_Get(connection.context(), gpu.adapterIndex(), &caps) != adl::kOk)
    return std::nullopt;
  return caps;
}

std::optional<std::string> LimitsText(const Crossing& crossing, int gpuId, const std::string& ranges) {
  if (!crossing.above && !crossing.below) return std::nullopt;
  const char* which = crossing.above && crossing.below ? "above/below" : crossing.above ? "above" : "below";
  return std::string(" (ErrorCode: -1) (Values are ") + which + " driver limits)\n" + "Current limits for GPU " +
         std::to_string(gpuId) + ":\n" + ranges;
}

std::string S(int value) { return std::to_string(value); }

}  // namespace

std::optional<std::string> CheckDriverLimits(DriverConnection& connection, int gpuId, const GPUItem& gpu,
                                             const PerformanceLevelsBuffer& levels, bool gpuLevels) {
  const std::optional<adl::ADLODNCapabilitiesX2> caps = ReadCapabilities(connection, gpu);
  if (!caps) return std::nullopt;
  const adl::ADLODNParameterRange& clockRange = gpuLevels ? caps->sEngineClockRange : caps->sMemoryClockRange;
  // The counted states, and any level above them that holds something (a valid level
  // above a gap is sent too, and so is the empty level below it).
  int states = std::min(gpuLevels ? gpu.gpuStateCount : gpu.memStateCount, levels.levelCount());
  for (int i = states; i < levels.levelCount(); ++i)
    if (levels.level(i).iClock != 0 || levels.level(i).iVddc != 0) states = i + 1;
  Crossing crossing;
  for (int i = 0; i < states; ++i) {
    const adl::ADLODNPerformanceLevelX2 level = levels.level(i);
    crossing.Test(level.iClock, clockRange);
    crossing.Test(level.iVddc, caps->svddcRange);  // memory levels share the GPU voltage range
  }
  const std::string what = gpuLevels ? "GPU" : "Memory";
  const std::string ranges = S(clockRange.iMin / 100) + " Mhz < " + what + " clock < " + S(clockRange.iMax / 100) +
                             " MHz\n" + S(caps->svddcRange.iMin) + " mV < " + what + " voltage < " +
                             S(caps->svddcRange.iMax) + " mV";
  return LimitsText(crossing, gpuId, ranges);
}

std::optional<std::string> CheckDriverLimits(DriverConnection& connection, int gpuId, const GPUItem& gpu,
                                             const adl::ADLODNFanControl& fan) {
  const std::optional<adl::ADLODNCapabilitiesX2> caps = ReadCapabilities(connection, gpu);
  if (!caps) return std::nullopt;
  Crossing crossing;
  crossing.Test(fan.iTargetTemperature, caps->fanTemperature);
  crossing.Test(fan.iMinPerformanceClock, caps->minimumPerformanceClock);
  crossing.Test(fan.iMinFanLimit, caps->fanSpeed);
  crossing.Test(fan.iTargetFanSpeed, caps->fanSpeed);
  const adl::ADLODNParameterRange& acoustic = caps->minimumPerformanceClock;
  return LimitsText(crossing, gpuId,
                    S(acoustic.iMin) + " MHz < Fan Acoustic Limit < " + S(acoustic.iMax) + " MHz\n");
}

std::optional<std::string> CheckDriverLimits(DriverConnection& connection, int gpuId, const GPUItem& gpu,
                                             const adl::ADLODNPowerLimitSetting& power) {
  const std::optional<adl::ADLODNCapabilitiesX2> caps = ReadCapabilities(connection, gpu);
  if (!caps) return std::nullopt;
  Crossing crossing;
  crossing.Test(power.iMaxOperatingTemperature, caps->powerTuneTemperature);
  crossing.Test(power.iTDPLimit, caps->power);
  return LimitsText(crossing, gpuId,
                    S(caps->power.iMin) + " % < Power Target < " + S(caps->power.iMax) + " %\n");
}

}  // namespace tw
