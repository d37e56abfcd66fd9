#pragma once
// The program settings: [General] of "Tunewright.ini" and of the backup-settings file.

#include <functional>

#include "ini/ini_file.h"
#include "profiles/settings_values.h"

namespace tw {

struct IniContext;
struct OptionSet;

// Switches of the main file that only the window reads, when it is created.
struct WindowMenuSwitches {
  bool displayFanMenu = false;
  bool displayPowerMenu = false;
};

struct LoadedSettings {
  WindowMenuSwitches menus;
  bool hasI2cSection = false;  // the main file holds the regulators' stored locations
};

// Reads both files into `options`.
LoadedSettings LoadSettings(const IniContext& ini, OptionSet& options, bool consoleMode);
// The same; `mainFile` receives "Tunewright.ini" as it was read, so that the start-up can
// take the profiles from it instead of reading and parsing the whole file a second time.
LoadedSettings LoadSettings(const IniContext& ini, OptionSet& options, bool consoleMode, IniRead& mainFile);

// Writes the dialog's values where they differ from the files; each file is rewritten
// only when one of its keys changed. False when a write failed (reported).
bool SaveSettings(const IniContext& ini, const SettingsValues& dialog);

// Takes the dialog's values into `options`, except EnableI2c and DoNotListUnsupported
// (they need a restart), then lets the window form the card names again. Nothing is taken
// without a selected card.
void ApplyDialogSettings(OptionSet& options, const SettingsValues& dialog, bool cardSelected,
                         const std::function<void()>& refillCardList);

// Removes [I2C] from the main file, so that the next start scans for regulators again.
void ForgetI2cSection(const IniContext& ini);

}  // namespace tw
