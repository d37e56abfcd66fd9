#pragma once
// What the settings decide about regulator detection, and how far it got in this run.

namespace tw {

struct RegulatorDetectionState {
  bool consoleMode = false;  // detection then leaves the main window alone
  bool scan = false;         // true: search every line; false: verify the stored [I2C] locations
  bool inProgress = false;
  bool done = false;
};

}  // namespace tw
