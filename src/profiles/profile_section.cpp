#include "profiles/profile_section.h"

#include <algorithm>
#include <optional>

#include "base/integer.h"
#include "base/text.h"
#include "profiles/state_value.h"

namespace tw {
namespace {

constexpr int kMaxStates = 8;

std::string_view TrimmedValue(const IniSection& section, std::string_view key) {
  return TrimBlanks(section.Value(key).value_or(std::string_view()));
}

std::optional<int32_t> Number(std::string_view text) { return TryParseInt32(TrimBlanks(text)); }

int32_t IntegerOr(const IniSection& section, std::string_view key, int32_t fallback) {
  return Number(TrimmedValue(section, key)).value_or(fallback);
}

struct StateLists {
  std::vector<int32_t>& clock;
  std::vector<int32_t>& vcc;
  std::vector<bool>& enabled;
};

// "clock;vcc", or "clock;vcc;0" for a disabled state. Stops at the first key without ";";
// any other third field makes the value malformed, like a bad number.
bool ReadStates(const IniSection& section, std::string_view prefix, StateLists lists) {
  for (int k = 0; k < kMaxStates; ++k) {
    const std::string_view value = TrimmedValue(section, std::string(prefix) + std::to_string(k));
    if (value.find(';') == std::string_view::npos) break;
    const std::optional<StateValueFields> fields = SplitStateValue(value);
    if (!fields) return false;
    const std::optional<int32_t> clock = Number(fields->clock);
    const std::optional<int32_t> vcc = Number(fields->voltage);
    if (!clock || !vcc) return false;
    lists.clock.push_back(*clock);
    lists.vcc.push_back(*vcc);
    lists.enabled.push_back(fields->enabled);
  }
  return true;
}

// A pair whose ";" is missing or first leaves the point unset; later pairs are still read.
bool ReadFanCurve(const IniSection& section, ProfileItem& profile) {
  for (int k = 0; k < kFanCurvePoints; ++k) {
    const std::string_view value = TrimmedValue(section, "Fan_P" + std::to_string(k));
    const size_t separator = value.find(';');
    FanPoint& point = profile.fanCurve[static_cast<size_t>(k)];
    point = FanPoint{};
    if (separator == std::string_view::npos || separator == 0) continue;
    const std::optional<int32_t> temp = Number(value.substr(0, separator));
    const std::optional<int32_t> perc = Number(value.substr(separator + 1));
    if (!temp || !perc) return false;
    point = {*temp, *perc};
  }
  return true;
}

int32_t DeriveOverdriveVersion(const ProfileItem& profile) {
  if (IsSet(profile.gpuMin) && IsSet(profile.gpuMax) && IsSet(profile.memMax)) return 8;
  return profile.memClock.empty() ? 0 : 7;
}

std::string StateText(int32_t clock, int32_t vcc, bool enabled) {
  return std::to_string(clock) + ";" + std::to_string(vcc) + (enabled ? "" : ";0");
}

void WriteStates(IniSection& section, std::string_view prefix, const std::vector<int32_t>& clock,
                 const std::vector<int32_t>& vcc, const std::vector<bool>& enabled) {
  // The three lists have one length; a shorter one must not be read past its end.
  const size_t count = std::min({clock.size(), vcc.size(), enabled.size()});
  for (size_t k = 0; k < count; ++k)
    section.Append(std::string(prefix) + std::to_string(k), StateText(clock[k], vcc[k], enabled[k]));
}

void AppendIfSet(IniSection& section, std::string_view key, int32_t value) {
  if (IsSet(value)) section.Append(key, std::to_string(value));
}

}  // namespace

std::string ProfileSectionName(size_t position) { return "Profile_" + std::to_string(position); }

ProfileRead ReadProfileSection(const IniSection& section, ProfileItem& profile) {
  profile = ProfileItem{};
  profile.name = std::string(section.Value("Name").value_or(std::string_view()));
  bool wellFormed = ReadStates(section, "GPU_P", {profile.gpuClock, profile.gpuVcc, profile.gpuEnabled});
  wellFormed = wellFormed && ReadStates(section, "Mem_P", {profile.memClock, profile.memVcc, profile.memEnabled});
  // Missing, they are taken from the card when the profile is applied; 0 would be a value.
  profile.fanAcoustic = IntegerOr(section, "Fan_Acoustic", kNotSet);
  profile.powerTarget = IntegerOr(section, "Power_Target", kNotSet);
  profile.offset = IntegerOr(section, "Offset", kNotSet);
  profile.llc = IntegerOr(section, "LLC", kNotSet);
  profile.phaseGain = std::string(section.Value("PhaseGain").value_or(kNotSetText));
  profile.currentScale = std::string(section.Value("CurrentScale").value_or(kNotSetText));
  wellFormed = wellFormed && ReadFanCurve(section, profile);
  profile.memTimingLevel = IntegerOr(section, "Mem_TimingLevel", kNotSet);
  profile.fanZeroRpm = IntegerOr(section, "Fan_ZeroRPM", kNotSet);
  profile.gpuMin = IntegerOr(section, "GPU_Min", kNotSet);
  profile.gpuMax = IntegerOr(section, "GPU_Max", kNotSet);
  profile.memMax = IntegerOr(section, "Mem_Max", kNotSet);
  profile.overdriveVersion = DeriveOverdriveVersion(profile);
  return wellFormed ? ProfileRead::Loaded : ProfileRead::Malformed;
}

void WriteProfileSection(IniSection& section, const ProfileItem& profile, bool enableI2c) {
  section.Append("Name", profile.name);
  WriteStates(section, "GPU_P", profile.gpuClock, profile.gpuVcc, profile.gpuEnabled);
  AppendIfSet(section, "GPU_Min", profile.gpuMin);
  AppendIfSet(section, "GPU_Max", profile.gpuMax);
  WriteStates(section, "Mem_P", profile.memClock, profile.memVcc, profile.memEnabled);
  AppendIfSet(section, "Mem_Max", profile.memMax);
  AppendIfSet(section, "Mem_TimingLevel", profile.memTimingLevel);
  for (size_t k = 0; k < profile.fanCurve.size() && profile.fanCurve[k].isSet(); ++k)
    section.Append("Fan_P" + std::to_string(k),
                   std::to_string(profile.fanCurve[k].fanTemp) + ";" + std::to_string(profile.fanCurve[k].fanPerc));
  if (IsSet(profile.fanZeroRpm)) section.Append("Fan_ZeroRPM", profile.fanZeroRpm != 0 ? "1" : "0");
  AppendIfSet(section, "Fan_Acoustic", profile.fanAcoustic);
  AppendIfSet(section, "Power_Target", profile.powerTarget);
  if (!enableI2c) return;
  AppendIfSet(section, "Offset", profile.offset);
  AppendIfSet(section, "LLC", profile.llc);
  if (IsSet(profile.phaseGain)) section.Append("PhaseGain", profile.phaseGain);
  if (IsSet(profile.currentScale)) section.Append("CurrentScale", profile.currentScale);
}

}  // namespace tw
