#include "app/profile_records.h"

#include <algorithm>

namespace tw {
namespace {

void SetIfSet(int32_t& target, int32_t value) {
  if (IsSet(value)) target = value;
}

}  // namespace

std::vector<adl::ADLODNPerformanceLevelX2> OverdriveNLevels(const ProfileItem& profile, const ProfileItem& current,
                                                            StateKind kind, int stateCount) {
  const bool gpu = kind == StateKind::Gpu;
  const auto& clocks = gpu ? profile.gpuClock : profile.memClock;
  const auto& vccs = gpu ? profile.gpuVcc : profile.memVcc;
  const auto& enabled = gpu ? profile.gpuEnabled : profile.memEnabled;
  const auto& currentClocks = gpu ? current.gpuClock : current.memClock;
  const auto& currentVccs = gpu ? current.gpuVcc : current.memVcc;
  const auto& currentEnabled = gpu ? current.gpuEnabled : current.memEnabled;

  std::vector<adl::ADLODNPerformanceLevelX2> levels(static_cast<size_t>(std::max(stateCount, 0)));
  for (size_t i = 0; i < levels.size(); ++i) {
    const bool fromProfile = i < clocks.size() && i < vccs.size() && i < enabled.size();
    const bool fromCurrent = i < currentClocks.size() && i < currentVccs.size() && i < currentEnabled.size();
    if (fromProfile) {
      levels[i] = {clocks[i] * 100, vccs[i], enabled[i] ? 1 : 0, 0};
    } else if (fromCurrent) {
      levels[i] = {currentClocks[i] * 100, currentVccs[i], currentEnabled[i] ? 1 : 0, 0};
    }
  }
  return levels;
}

bool IsCompleteForOverdrive8(const ProfileItem& profile) {
  if (profile.gpuClock.size() < 3 || profile.gpuVcc.size() < 3) return false;
  for (size_t k = 0; k < 3; ++k)
    if (!IsSet(profile.gpuClock[k]) || !IsSet(profile.gpuVcc[k])) return false;
  for (int32_t value : {profile.gpuMin, profile.gpuMax, profile.memMax, profile.memTimingLevel, profile.fanZeroRpm,
                        profile.fanAcoustic})
    if (!IsSet(value)) return false;
  for (const FanPoint& point : profile.fanCurve)
    if (!point.isSet()) return false;
  return true;
}

void FillOd8Values(const ProfileItem& profile, Od8Values& values) {
  SetIfSet(values[adl::kOd8GfxclkFmax], profile.gpuMax);
  SetIfSet(values[adl::kOd8GfxclkFmin], profile.gpuMin);
  for (size_t k = 0; k < 3; ++k) {
    if (k < profile.gpuClock.size()) SetIfSet(values[adl::kOd8GfxclkFreq1 + 2 * k], profile.gpuClock[k]);
    if (k < profile.gpuVcc.size()) SetIfSet(values[adl::kOd8GfxclkVoltage1 + 2 * k], profile.gpuVcc[k]);
  }
  SetIfSet(values[adl::kOd8UclkFmax], profile.memMax);
  SetIfSet(values[adl::kOd8PowerPercentage], profile.powerTarget);
  SetIfSet(values[adl::kOd8FanAcousticLimit], profile.fanAcoustic);
  SetIfSet(values[adl::kOd8AcTiming], profile.memTimingLevel);
  SetIfSet(values[adl::kOd8FanZeroRpmControl], profile.fanZeroRpm);
  for (size_t k = 0; k < kFanCurvePoints; ++k) {
    SetIfSet(values[adl::kOd8FanCurveTemperature1 + 2 * k], profile.fanCurve[k].fanTemp);
    SetIfSet(values[adl::kOd8FanCurveSpeed1 + 2 * k], profile.fanCurve[k].fanPerc);
  }
}

}  // namespace tw
