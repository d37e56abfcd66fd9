#include "app/profile_records.h"

#include <algorithm>
#include <stdexcept>

#include "gpu/value_fields.h"

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
    if (!fromProfile && !fromCurrent) continue;
    // A value the profile leaves open (-500) is the card's.
    const auto pick = [&](const std::vector<int32_t>& own, const std::vector<int32_t>& card) {
      if (fromProfile && (IsSet(own[i]) || !fromCurrent)) return own[i];
      return card[i];
    };
    const bool on = fromProfile ? enabled[i] : currentEnabled[i];
    // Unchecked values throw here rather than wrap round: callers check FirstUnsendableValue first.
    levels[i] = {OverdriveNClock(pick(clocks, currentClocks)).value(), pick(vccs, currentVccs), on ? 1 : 0, 0};
  }
  return levels;
}

bool HasUnsetStateValue(const ProfileItem& profile, int gpuStateCount, int memStateCount) {
  const auto unset = [](const std::vector<int32_t>& values, int count) {
    const size_t n = std::min(values.size(), static_cast<size_t>(std::max(count, 0)));
    return std::any_of(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n),
                       [](int32_t v) { return !IsSet(v); });
  };
  return unset(profile.gpuClock, gpuStateCount) || unset(profile.gpuVcc, gpuStateCount) ||
         unset(profile.memClock, memStateCount) || unset(profile.memVcc, memStateCount);
}

bool IsCompleteForOverdrive8(const ProfileItem& profile) {
  if (profile.gpuClock.size() < 3 || profile.gpuVcc.size() < 3)
    throw std::out_of_range("the profile has fewer than three GPU states");
  for (size_t k = 0; k < 3; ++k)
    if (!IsSet(profile.gpuClock[k]) || !IsSet(profile.gpuVcc[k])) return false;
  for (int32_t value : {profile.gpuMin, profile.gpuMax, profile.memMax, profile.memTimingLevel, profile.fanZeroRpm,
                        profile.fanAcoustic, profile.powerTarget})
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
