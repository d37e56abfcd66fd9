#include "gpu/profile_matches.h"

namespace tw {
namespace {

bool GpuStatesMatch(const ProfileItem& current, const ProfileItem& profile, const GPUItem& card) {
  if (current.gpuClock != profile.gpuClock) return false;
  // The enabled flags of Overdrive8 states are not the card's to report.
  if (card.overdriveVersion == adl::kOverdriveN && current.gpuEnabled != profile.gpuEnabled) return false;
  return current.gpuVcc == profile.gpuVcc;
}

bool MemStatesMatch(const ProfileItem& current, const ProfileItem& profile) {
  if (current.memClock.size() != profile.memClock.size()) return false;
  for (size_t i = 0; i < current.memClock.size(); ++i) {
    if (current.memClock[i] != profile.memClock[i]) return false;
    const bool currentEnabled = i < current.memEnabled.size() && current.memEnabled[i];
    const bool profileEnabled = i < profile.memEnabled.size() && profile.memEnabled[i];
    if (currentEnabled != profileEnabled) return false;
  }
  return current.memVcc == profile.memVcc;
}

// A value the profile does not hold is taken from the card when applied: it cannot differ.
bool Differs(int32_t current, int32_t profile) { return IsSet(profile) && current != profile; }

bool FanMatches(const ProfileItem& current, const ProfileItem& profile, const GPUItem& card) {
  if (!card.fanEnabled) return true;
  return !Differs(current.fanAcoustic, profile.fanAcoustic) && current.fanCurve == profile.fanCurve &&
         current.fanZeroRpm == profile.fanZeroRpm;
}

bool LimitsMatch(const ProfileItem& current, const ProfileItem& profile, const GPUItem& card) {
  if (Differs(current.memTimingLevel, profile.memTimingLevel) || Differs(current.powerTarget, profile.powerTarget))
    return false;
  if (card.overdriveVersion != adl::kOverdrive8) return true;
  return current.gpuMin == profile.gpuMin && current.gpuMax == profile.gpuMax && current.memMax == profile.memMax;
}

bool BothSetAndDiffer(const std::string& a, const std::string& b) { return IsSet(a) && IsSet(b) && a != b; }

bool RegulatorMatches(const ProfileItem& current, const ProfileItem& profile, const GPUItem& card, bool enableI2c) {
  if (!enableI2c || !card.i2cFound) return true;
  if (IsSet(current.offset) && profile.offset != current.offset) return false;
  if (IsSet(current.llc) && IsSet(profile.llc) && current.llc != profile.llc) return false;
  return !BothSetAndDiffer(current.phaseGain, profile.phaseGain) &&
         !BothSetAndDiffer(current.currentScale, profile.currentScale);
}

}  // namespace

bool ProfileMatches(const ProfileItem& current, const ProfileItem& profile, const GPUItem& card, bool enableI2c) {
  return GpuStatesMatch(current, profile, card) && MemStatesMatch(current, profile) &&
         FanMatches(current, profile, card) && LimitsMatch(current, profile, card) &&
         RegulatorMatches(current, profile, card, enableI2c);
}

}  // namespace tw
