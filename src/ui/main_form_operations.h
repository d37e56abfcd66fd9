#pragma once
// What the main window asks of the rest of the program, as CommandLineOperations serves
// the argument loop. The window's own algorithms (order of reads, colours, selection
// rules) live in MainForm; everything here is a plain call into the core, so that the
// core keeps no knowledge of windows.
//
// Implemented by AppMainFormOperations (app_main_form_operations.h) on the real program
// state. The window's unit tests use it too, over a program state wired to the fake driver
// library and the fake platform, so they also cover the calls into the core.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gpu/gpu_item.h"
#include "gpu/od8_values.h"
#include "gpu/overdrive_n_readings.h"
#include "profiles/option_set.h"
#include "profiles/profile_item.h"
#include "profiles/settings_store.h"
#include "profiles/window_position.h"

namespace tw::ui {

// The 15 OverdriveN extended settings in the driver's order.
using ExtReading = std::array<int32_t, kExtSettingCount>;

// One open driver connection for the reads of one card; closed when destroyed. Each read
// shows its own failure in an error box (with the driver's result code) and returns false.
class CardReader {
 public:
  virtual ~CardReader() = default;
  virtual bool ReadGpuLevels(std::vector<LevelReading>& levels) = 0;     // "SystemClocks_Get function failed"
  virtual bool ReadMemoryLevels(std::vector<LevelReading>& levels) = 0;  // "MemoryClocks_Get function failed"
  virtual bool ReadFanControl(FanControlReading& fan) = 0;               // "FanControl_Get function failed"
  virtual bool ReadPowerLimit(PowerLimitReading& power) = 0;             // "PowerLimit_Get function failed"
  virtual bool ReadExtSettings(ExtReading& values) = 0;                  // its own message
  virtual bool ReadOd8Settings(Od8Values& values) = 0;                   // its own message
  // The OverdriveN states in Default mode, for the fields' tips. Quiet: a failure shows no
  // box (the tips then name no default); a reader that cannot tell answers false.
  virtual bool ReadDefaultLevels(bool /*gpu*/, std::vector<LevelReading>& /*levels*/) { return false; }
};

class MainFormOperations {
 public:
  virtual ~MainFormOperations() = default;

  // The program-wide state the window shows and edits.
  virtual const OptionSet& options() const = 0;
  virtual GpuList& gpus() = 0;
  virtual bool anyFanDeactivated() const = 0;
  virtual const ProfileList& profiles() const = 0;
  virtual ProfileItem& currentValues() = 0;

  // Start-up, in the order the window's creation calls them.
  virtual WindowMenuSwitches LoadSettings() = 0;  // window mode
  virtual int LoadProfiles() = 0;                 // number of profiles afterwards
  virtual void RestoreFromBackup() = 0;           // window mode: asks in a question box
  virtual WindowPosition LoadWindowPosition() = 0;
  virtual bool CheckDriverLoaded() = 0;
  virtual bool BuildGpuList() = 0;
  virtual bool DriverTooOld() = 0;  // the library lacks the OverdriveN extended settings
  // The cards' device friendly names (see gpu/friendly_names.h); false when the device
  // set failed (shown).
  virtual bool ListFriendlyNames(bool always) = 0;

  // nullptr when no connection opened (the failure was shown).
  virtual std::unique_ptr<CardReader> OpenCardReader(int gpuId) = 0;

  // Rewrites "FanDeactivatedGpus" from the cards' fanEnabled flags and updates
  // anyFanDeactivated.
  virtual void SaveFanDeactivatedGpus() = 0;
  virtual void SaveWindowPosition(const WindowPosition& position) = 0;
};

}  // namespace tw::ui
