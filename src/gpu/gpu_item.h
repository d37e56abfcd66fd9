#pragma once
// One card as discovery sees it. The position in GpuList is the card's gpu_id: the number
// the command line takes and every message names.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gpu/adl_abi.h"

namespace tw {

inline constexpr int kExtSettingCount = adl::kOdnExtCount;  // 15
inline constexpr int kOd8SettingCount = adl::kOd8Count;     // 29

// A P-state as the card holds it by default: clock in MHz, voltage in mV.
struct StateDefault {
  int32_t clock = 0;
  int32_t vcc = 0;
};

// A value's limits as the card reported them, in the unit the editor shows the value in.
struct CardRange {
  int32_t min = 0;
  int32_t max = 0;
};

// The OverdriveN capability ranges the editor names. The fan range is not kept: it is in RPM
// on some cards and percent on others, and the editor's fan fields are the curve's percent.
struct OdnRanges {
  CardRange gpuClock;  // MHz
  CardRange memClock;  // MHz
  CardRange vddc;      // mV, for the memory states as well
  CardRange powerTarget;  // %
  CardRange acoustic;  // MHz
};

// An OverdriveN card's P-states in Default mode. Read once, when the window first shows the
// card, so that switching cards asks the driver nothing more; `read` also after a failed read.
struct StateDefaults {
  bool read = false;
  std::vector<StateDefault> gpu{};
  std::vector<StateDefault> mem{};
};

struct GPUItem {
  std::vector<int32_t> adapterIndexes;  // exactly one: the first adapter at the card's PCI location
  std::string displayName;
  std::string pnpShort;
  std::string busLocation;  // bus:device:function
  std::string baseName;     // gpu_id + ": " + adapter name
  std::string registryKey;
  std::string pnpString;
  std::string friendlyName;
  bool supported = false;
  int32_t gpuStateCount = 0;
  int32_t memStateCount = 0;
  int32_t levelCount = 0;
  bool fanEnabled = true;
  int32_t i2cLine = -1;
  int32_t i2cAddress = -1;
  bool i2cFound = false;
  int32_t i2cController = -1;
  int32_t vddcMin = 0;
  int32_t vddcMax = 0;
  int32_t memTimingMax = 0;
  std::array<int32_t, kExtSettingCount> extDefaults{};
  std::array<CardRange, kExtSettingCount> extRanges{};  // known together with extDefaults
  std::array<adl::ADLOD8SingleInitSetting, kOd8SettingCount> od8Init{};
  // Whether extDefaults and od8Init hold what the card reported, rather than zeros left by
  // a failed read: only then are they shown as the card's defaults.
  bool extDefaultsKnown = false;
  bool od8InitKnown = false;
  // OverdriveN capabilities: the defaults of the power target (%) and the acoustic limit (MHz).
  int32_t powerTargetDefault = 0;
  int32_t acousticDefault = 0;
  std::optional<OdnRanges> odnRanges;  // only when the capabilities read succeeded
  StateDefaults stateDefaults{};
  // OverdriveN clock records as discovery read them (levelCount levels each). A set fills
  // the levels beyond the counted states from here: the card keeps what it holds there.
  std::vector<adl::ADLODNPerformanceLevelX2> gpuLevelsHeld;
  std::vector<adl::ADLODNPerformanceLevelX2> memLevelsHeld;
  int32_t overdriveVersion = 0;  // 0 not tunable, 7 OverdriveN, 8 Overdrive8

  int32_t adapterIndex() const { return adapterIndexes.empty() ? -1 : adapterIndexes.front(); }
};

using GpuList = std::vector<GPUItem>;

}  // namespace tw
