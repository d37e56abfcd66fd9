#pragma once
// The card side of the window's "Apply": every value comes from the window's fields and
// goes through the same setters, verification and messages as the command line and the
// profiles. Failures are shown in error boxes, never on a console.

#include <array>
#include <cstdint>
#include <vector>

#include "profiles/profile_item.h"

namespace tw {

class App;

// One P-state as the window holds it: clock in MHz, voltage in mV, whether its row is on.
struct WindowLevel {
  int32_t clock = 0;
  int32_t vcc = 0;
  bool enabled = true;
};

// Everything the window sends, including the fields it never shows (fan minimum, maximum,
// target temperature and the power temperature carry the card's values).
struct WindowValues {
  std::vector<WindowLevel> gpuLevels;  // the card's gpuStateCount rows (Overdrive8: the three curve points)
  std::vector<WindowLevel> memLevels;  // the card's memStateCount rows
  int32_t fanMin = 0;
  int32_t fanMax = 0;
  int32_t fanTarget = 0;
  int32_t fanAcoustic = 0;
  int32_t powerTemp = 0;
  int32_t powerTarget = 0;
  std::array<FanPoint, kFanCurvePoints> fanCurve{};
  int32_t memTimingLevel = 0;
  bool zeroRpm = false;
  int32_t gpuMin = 0;  // Overdrive8 only
  int32_t gpuMax = 0;
  int32_t memMax = 0;
};

// The groups of values a card did not take (each failure was shown). OverdriveN sends each
// group on its own; Overdrive8 sends everything in one set (`od8`).
struct RefusedParts {
  bool gpuClocks = false;
  bool memClocks = false;
  bool fan = false;
  bool ext = false;  // fan curve, zero RPM, memory timing
  bool power = false;
  bool od8 = false;
  bool any() const { return gpuClocks || memClocks || fan || ext || power || od8; }
};

// Nothing happens unless the card is supported and a connection opens (then every group
// counts as refused). OverdriveN: GPU clocks, memory clocks, fan control (while the card's
// fan is in tuning), extended settings and power limit, each independent of the others'
// failures. Overdrive8: one set of the 29 settings. A switched-off row is sent as a
// disabled state.
RefusedParts ApplyWindowValues(App& app, int gpuId, const WindowValues& values);

}  // namespace tw
