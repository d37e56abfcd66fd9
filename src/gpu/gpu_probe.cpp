#include "gpu/gpu_probe.h"

#include <vector>

#include "gpu/driver_connection.h"
#include "gpu/driver_list.h"
#include "gpu/ext_settings.h"
#include "gpu/gpu_item.h"
#include "gpu/od8_settings.h"
#include "gpu/performance_levels.h"

namespace tw {
namespace {

constexpr int kOd8StateCount = 3;

bool LevelIsValid(const adl::ADLODNPerformanceLevelX2& level) { return level.iClock / 100 > 0 && level.iVddc > 0; }

// Counted from the top: empty levels below a valid one still count.
int GpuStateCount(const PerformanceLevelsBuffer& levels) {
  for (int i = levels.levelCount() - 1; i >= 0; --i)
    if (LevelIsValid(levels.level(i))) return i + 1;
  return 0;
}

// Only the leading valid levels count.
int MemStateCount(const PerformanceLevelsBuffer& levels) {
  int count = 0;
  while (count < levels.levelCount() && LevelIsValid(levels.level(count))) ++count;
  return count;
}

std::vector<adl::ADLODNPerformanceLevelX2> AllLevels(const PerformanceLevelsBuffer& levels) {
  std::vector<adl::ADLODNPerformanceLevelX2> all;
  for (int i = 0; i < levels.levelCount(); ++i) all.push_back(levels.level(i));
  return all;
}

void ReadStateCounts(DriverConnection& connection, GPUItem& gpu) {
  std::optional<PerformanceLevelsBuffer> levels = PerformanceLevelsBuffer::Create(gpu.levelCount);
  if (!levels) return;
  const auto& api = connection.api();
  if (api.OverdriveN_SystemClocksX2_Get(connection.context(), gpu.adapterIndex(), levels->record()) != adl::kOk)
    return;
  gpu.gpuStateCount = GpuStateCount(*levels);
  gpu.gpuLevelsHeld = AllLevels(*levels);
  levels->Reset();
  if (api.OverdriveN_MemoryClocksX2_Get(connection.context(), gpu.adapterIndex(), levels->record()) != adl::kOk)
    return;
  gpu.memStateCount = MemStateCount(*levels);
  gpu.memLevelsHeld = AllLevels(*levels);
}

void TakeExtDefaults(const ExtRanges& ranges, GPUItem& gpu) {
  gpu.memTimingMax = ranges[0].maxValue;
  gpu.extDefaults[0] = ranges[0].defaultValue;
  gpu.extDefaults[1] = ranges[1].defaultValue;
  for (int i = 5; i < adl::kOdnExtCount; ++i) {
    gpu.extDefaults[i] = ranges[i].defaultValue;
    gpu.extRanges[i] = {ranges[i].minValue, ranges[i].maxValue};
  }
  gpu.extDefaultsKnown = true;
}

CardRange Plain(const adl::ADLODNParameterRange& range) { return {range.iMin, range.iMax}; }

// The capability clocks are in the driver's 10 kHz, as the P-state clocks are.
CardRange InMhz(const adl::ADLODNParameterRange& range) { return {range.iMin / 100, range.iMax / 100}; }

// Leaves the card unsupported when any read fails or a state count is 0.
void ProbeOverdriveN(DriverConnection& connection, MessageWriter& messages, int gpuId, GPUItem& gpu) {
  adl::ADLODNCapabilitiesX2 caps{};
  if (connection.api().OverdriveN_CapabilitiesX2_Get(connection.context(), gpu.adapterIndex(), &caps) != adl::kOk)
    return;
  gpu.levelCount = caps.iMaximumNumberOfPerformanceLevels;
  gpu.vddcMin = caps.svddcRange.iMin;
  gpu.vddcMax = caps.svddcRange.iMax;
  gpu.powerTargetDefault = caps.power.iDefault;
  gpu.acousticDefault = caps.minimumPerformanceClock.iDefault;
  gpu.odnRanges = OdnRanges{InMhz(caps.sEngineClockRange), InMhz(caps.sMemoryClockRange), Plain(caps.svddcRange),
                            Plain(caps.power), Plain(caps.minimumPerformanceClock)};
  if (gpu.levelCount > 0) ReadStateCounts(connection, gpu);
  if (gpu.gpuStateCount <= 0 || gpu.memStateCount <= 0) return;
  gpu.supported = true;
  gpu.overdriveVersion = adl::kOverdriveN;
  ExtRanges ranges{};
  if (ReadExtSettings(connection, messages, gpuId, gpu, &ranges, nullptr, /*console=*/false))
    TakeExtDefaults(ranges, gpu);
}

bool HasOverdrive8Values(DriverConnection& connection, const GPUItem& gpu) {
  const auto& api = connection.api();
  int supported = 0;
  int enabled = 0;
  int version = 0;
  if (api.Overdrive_Caps(connection.context(), gpu.adapterIndex(), &supported, &enabled, &version) != adl::kOk ||
      version != adl::kOverdrive8)
    return false;
  int count = adl::kOd8Count;
  DriverList<int> list;
  const int result = api.Overdrive8_Current_SettingX2_Get(connection.context(), gpu.adapterIndex(), &count, list.out());
  // A card whose value list is shorter than the program reads could never be read later.
  return result == adl::kOk && list && count >= adl::kOd8Count;
}

void ProbeOverdrive8(DriverConnection& connection, MessageWriter& messages, int gpuId, GPUItem& gpu) {
  if (!HasOverdrive8Values(connection, gpu)) return;
  gpu.supported = true;
  gpu.overdriveVersion = adl::kOverdrive8;
  gpu.gpuStateCount = kOd8StateCount;
  gpu.memStateCount = 0;
  gpu.levelCount = kOd8StateCount;
  if (ReadOd8Settings(connection, messages, gpuId, gpu, /*fillInit=*/true, nullptr, /*console=*/false)) {
    gpu.memTimingMax = gpu.od8Init[adl::kOd8AcTiming].maxValue;
    gpu.od8InitKnown = true;
  }
}

}  // namespace

void ProbeCard(DriverConnection& connection, MessageWriter& messages, int gpuId, GPUItem& gpu) {
  ProbeOverdriveN(connection, messages, gpuId, gpu);
  if (!gpu.supported) ProbeOverdrive8(connection, messages, gpuId, gpu);
}

}  // namespace tw
