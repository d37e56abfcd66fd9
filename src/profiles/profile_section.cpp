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

struct Entry {
  std::string key;
  std::string value;
};
using Entries = std::vector<Entry>;

void AddStates(Entries& entries, std::string_view prefix, const std::vector<int32_t>& clock,
               const std::vector<int32_t>& vcc, const std::vector<bool>& enabled) {
  // The three lists have one length; a shorter one must not be read past its end.
  const size_t count = std::min({clock.size(), vcc.size(), enabled.size()});
  for (size_t k = 0; k < count; ++k)
    entries.push_back({std::string(prefix) + std::to_string(k), StateText(clock[k], vcc[k], enabled[k])});
}

void AddIfSet(Entries& entries, std::string_view key, int32_t value) {
  if (IsSet(value)) entries.push_back({std::string(key), std::to_string(value)});
}

// The keys of the profile in the file's order, each under its condition.
Entries ProfileEntries(const ProfileItem& profile) {
  Entries entries{{"Name", profile.name}};
  AddStates(entries, "GPU_P", profile.gpuClock, profile.gpuVcc, profile.gpuEnabled);
  AddIfSet(entries, "GPU_Min", profile.gpuMin);
  AddIfSet(entries, "GPU_Max", profile.gpuMax);
  AddStates(entries, "Mem_P", profile.memClock, profile.memVcc, profile.memEnabled);
  AddIfSet(entries, "Mem_Max", profile.memMax);
  AddIfSet(entries, "Mem_TimingLevel", profile.memTimingLevel);
  for (size_t k = 0; k < profile.fanCurve.size() && profile.fanCurve[k].isSet(); ++k)
    entries.push_back({"Fan_P" + std::to_string(k),
                       std::to_string(profile.fanCurve[k].fanTemp) + ";" + std::to_string(profile.fanCurve[k].fanPerc)});
  if (IsSet(profile.fanZeroRpm)) entries.push_back({"Fan_ZeroRPM", profile.fanZeroRpm != 0 ? "1" : "0"});
  AddIfSet(entries, "Fan_Acoustic", profile.fanAcoustic);
  AddIfSet(entries, "Power_Target", profile.powerTarget);
  // Written whatever EnableI2c says: with it off the window leaves a profile's regulator
  // values as they were loaded, and a save must not strip what the user stored on purpose.
  AddIfSet(entries, "Offset", profile.offset);
  AddIfSet(entries, "LLC", profile.llc);
  if (IsSet(profile.phaseGain)) entries.push_back({"PhaseGain", profile.phaseGain});
  if (IsSet(profile.currentScale)) entries.push_back({"CurrentScale", profile.currentScale});
  return entries;
}

// Every key the program reads from a profile section: what it does not write of these
// goes, the rest of the section is someone else's.
std::vector<std::string> OwnedKeys() {
  std::vector<std::string> keys = {"Name",          "GPU_Min",     "GPU_Max",      "Mem_Max", "Mem_TimingLevel",
                                   "Fan_ZeroRPM",   "Fan_Acoustic", "Power_Target", "Offset",  "LLC",
                                   "PhaseGain",     "CurrentScale"};
  for (int k = 0; k < kMaxStates; ++k) {
    keys.push_back("GPU_P" + std::to_string(k));
    keys.push_back("Mem_P" + std::to_string(k));
  }
  for (int k = 0; k < kFanCurvePoints; ++k) keys.push_back("Fan_P" + std::to_string(k));
  return keys;
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
  profile.sectionLines = section.Lines();
  return wellFormed ? ProfileRead::Loaded : ProfileRead::Malformed;
}

void WriteProfileSection(IniSection& section, const ProfileItem& profile) {
  const Entries entries = ProfileEntries(profile);
  for (const std::string& key : OwnedKeys()) {
    const bool written = std::any_of(entries.begin(), entries.end(),
                                     [&](const Entry& e) { return EqualsIgnoringAsciiCase(e.key, key); });
    if (!written) section.RemoveKey(key);
  }
  // Keys already there change in place; new ones follow the key written before them.
  std::string_view previous;
  for (const Entry& entry : entries) {
    section.SetValueAfter(entry.key, entry.value, previous);
    previous = entry.key;
  }
}

}  // namespace tw
