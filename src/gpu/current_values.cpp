#include "gpu/current_values.h"

#include <algorithm>
#include <memory>

#include "gpu/driver_connection.h"
#include "gpu/ext_settings.h"
#include "gpu/gpu_context.h"
#include "gpu/od8_settings.h"
#include "gpu/overdrive_n_readings.h"

namespace tw {
namespace {

constexpr int kOd8GpuStates = 3;

void CopyLevels(const std::vector<LevelReading>& levels, int stateCount, std::vector<int32_t>& clock,
                std::vector<int32_t>& vcc, std::vector<bool>& enabled) {
  const int count = std::min({stateCount, static_cast<int>(levels.size()), static_cast<int>(clock.size())});
  for (int i = 0; i < count; ++i) {
    const LevelReading& level = levels[static_cast<size_t>(i)];
    clock[static_cast<size_t>(i)] = level.clock;
    vcc[static_cast<size_t>(i)] = level.vcc;
    enabled[static_cast<size_t>(i)] = level.enabled;
  }
}

class OverdriveNReader {
 public:
  OverdriveNReader(MessageWriter& messages, DriverConnection& connection, const GPUItem& gpu, int gpuId,
                   ProfileItem& currentValues, bool console)
      : messages_(messages), c_(connection), gpuId_(gpuId), gpu_(gpu), cv_(currentValues), console_(console) {}

  bool Read() { return ReadClocks() && ReadFan() && ReadExt() && ReadPower(); }

 private:
  bool ReadClocks() {
    std::vector<LevelReading> levels;
    if (!ReadOdnLevels(c_, messages_, gpu_, /*gpuLevels=*/true, levels, console_)) return false;
    CopyLevels(levels, gpu_.gpuStateCount, cv_.gpuClock, cv_.gpuVcc, cv_.gpuEnabled);
    if (!ReadOdnLevels(c_, messages_, gpu_, /*gpuLevels=*/false, levels, console_)) return false;
    CopyLevels(levels, gpu_.memStateCount, cv_.memClock, cv_.memVcc, cv_.memEnabled);
    return true;
  }

  bool ReadFan() {
    FanControlReading fan;
    if (!ReadOdnFanControl(c_, messages_, gpu_, fan, console_)) return false;
    cv_.fanMin = fan.fanMin;
    cv_.fanMax = fan.fanMax;
    cv_.fanTarget = fan.fanTarget;
    cv_.fanAcoustic = fan.fanAcoustic;
    return true;
  }

  bool ReadExt() {
    ExtValues values{};
    if (!ReadExtSettings(c_, messages_, gpuId_, gpu_, nullptr, &values, console_)) return false;
    for (size_t k = 0; k < cv_.fanCurve.size(); ++k) {
      cv_.fanCurve[k].fanTemp = values[5 + 2 * k];
      cv_.fanCurve[k].fanPerc = values[6 + 2 * k];
    }
    cv_.memTimingLevel = values[0];
    cv_.fanZeroRpm = values[1];
    return true;
  }

  bool ReadPower() {
    PowerLimitReading power;
    if (!ReadOdnPowerLimit(c_, messages_, gpu_, power, console_)) return false;
    cv_.powerTemp = power.powerTemp;
    cv_.powerTarget = power.powerTarget;
    return true;
  }

  MessageWriter& messages_;
  DriverConnection& c_;
  int gpuId_;
  const GPUItem& gpu_;
  ProfileItem& cv_;
  bool console_;
};

bool ReadOverdrive8(MessageWriter& messages, DriverConnection& connection, GPUItem& gpu, int gpuId, ProfileItem& cv,
                    bool console) {
  Od8Values v{};
  if (!ReadOd8Settings(connection, messages, gpuId, gpu, /*fillInit=*/false, &v, console)) return false;
  const size_t states = std::min<size_t>(kOd8GpuStates, cv.gpuClock.size());
  for (size_t k = 0; k < states; ++k) {
    cv.gpuClock[k] = v[adl::kOd8GfxclkFreq1 + 2 * k];
    cv.gpuVcc[k] = v[adl::kOd8GfxclkVoltage1 + 2 * k];
    cv.gpuEnabled[k] = true;
  }
  cv.gpuMin = v[adl::kOd8GfxclkFmin];
  cv.gpuMax = v[adl::kOd8GfxclkFmax];
  cv.memMax = v[adl::kOd8UclkFmax];
  for (size_t k = 0; k < cv.fanCurve.size(); ++k) {
    cv.fanCurve[k].fanTemp = v[adl::kOd8FanCurveTemperature1 + 2 * k];
    cv.fanCurve[k].fanPerc = v[adl::kOd8FanCurveSpeed1 + 2 * k];
  }
  cv.fanZeroRpm = v[adl::kOd8FanZeroRpmControl];
  cv.memTimingLevel = v[adl::kOd8AcTiming];
  cv.fanAcoustic = v[adl::kOd8FanAcousticLimit];
  cv.powerTarget = v[adl::kOd8PowerPercentage];
  return true;
}

size_t StateCount(int32_t count) { return count > 0 ? static_cast<size_t>(count) : 0; }

}  // namespace

bool ReadDriverValues(const GpuContext& context, GPUItem& gpu, int gpuId, ProfileItem& currentValues, bool console) {
  {
    std::unique_ptr<DriverConnection> connection = OpenDriverConnection(context.platform, context.messages);
    if (!connection) return false;
    currentValues.resizeGpuStates(StateCount(gpu.gpuStateCount));
    currentValues.resizeMemStates(StateCount(gpu.memStateCount));
    if (gpu.overdriveVersion == adl::kOverdriveN &&
        !OverdriveNReader(context.messages, *connection, gpu, gpuId, currentValues, console).Read())
      return false;
    if (gpu.overdriveVersion == adl::kOverdrive8 &&
        !ReadOverdrive8(context.messages, *connection, gpu, gpuId, currentValues, console))
      return false;
  }
  return true;
}

}  // namespace tw
