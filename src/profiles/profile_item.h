#pragma once
// A named set of tuning values for one card. The same record holds CurrentValues, the
// values last read from a card, so that a profile can be compared with it field by field.

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Not-set markers: such values are neither written to the ini file nor sent to a card.
inline constexpr int32_t kNotSet = -500;
inline constexpr std::string_view kNotSetText = "NULL";

inline bool IsSet(int32_t value) { return value != kNotSet; }
inline bool IsSet(std::string_view text) { return text != kNotSetText; }
// What goes to the driver for a value nobody has: the marker itself must never reach it.
inline int32_t ValueOrZero(int32_t value) { return IsSet(value) ? value : 0; }

struct FanPoint {
  int32_t fanTemp = kNotSet;  // °C
  int32_t fanPerc = kNotSet;  // %
  bool isSet() const { return IsSet(fanTemp) && IsSet(fanPerc); }
  bool operator==(const FanPoint&) const = default;
};

inline constexpr int kFanCurvePoints = 5;

struct ProfileItem {
  std::string name;
  std::vector<int32_t> gpuClock;  // MHz
  std::vector<int32_t> gpuVcc;    // mV
  std::vector<bool> gpuEnabled;
  std::vector<int32_t> memClock;
  std::vector<int32_t> memVcc;
  std::vector<bool> memEnabled;
  // Never stored in the file: the setters take the card's own values where they can read them.
  int32_t fanMin = 0;     // RPM
  int32_t fanMax = 0;     // RPM
  int32_t fanTarget = 0;  // °C
  int32_t fanAcoustic = 0;  // MHz
  int32_t powerTemp = 0;    // °C
  int32_t powerTarget = 0;  // %
  // Regulator values (the card's I2cValues when this record is CurrentValues).
  int32_t offset = kNotSet;  // steps of 6.25 mV
  int32_t llc = kNotSet;
  std::string phaseGain{kNotSetText};
  std::string currentScale{kNotSetText};
  std::array<FanPoint, kFanCurvePoints> fanCurve{};
  int32_t memTimingLevel = kNotSet;
  int32_t fanZeroRpm = kNotSet;
  int32_t gpuMin = kNotSet;
  int32_t gpuMax = kNotSet;
  int32_t memMax = kNotSet;
  int32_t overdriveVersion = 0;  // derived on load: 0, 7 or 8
  // The lines of the section the profile was loaded from, so that a save keeps the ones
  // the program does not own (comments, other keys, later copies of a key) in place.
  std::vector<std::string> sectionLines;

  void resizeGpuStates(size_t count) {
    gpuClock.resize(count);
    gpuVcc.resize(count);
    gpuEnabled.resize(count);
  }
  void resizeMemStates(size_t count) {
    memClock.resize(count);
    memVcc.resize(count);
    memEnabled.resize(count);
  }
};

using ProfileList = std::vector<ProfileItem>;

// The profile sections of the file as this run last loaded or wrote them (their lines,
// joined): a save removes only those and sets every other one aside, since no user of
// this run can have meant to delete a section it never saw.
using KnownProfileSections = std::multiset<std::string>;

}  // namespace tw
