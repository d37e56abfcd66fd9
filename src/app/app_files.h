#pragma once
// The run's reading of its ini files where one read feeds more than one part of the run:
// the settings also decide how the regulators are found, and a restored file brings new
// settings and profiles.

#include "app/app.h"
#include "ini/ini_file.h"
#include "profiles/settings_store.h"

namespace tw {

// Reads both files into app.options and decides, with EnableI2c on, whether regulator
// detection scans (no [I2C] section) or verifies the stored locations. `mainFile` receives
// "Tunewright.ini" as it was read, for the start-up to take the profiles from.
WindowMenuSwitches LoadAppSettings(App& app, bool consoleMode, IniRead& mainFile);
WindowMenuSwitches LoadAppSettings(App& app, bool consoleMode);

// Restores the newest backup holding profiles when the main file has none (see
// RestoreFromBackup), then reads the settings and the profiles again. True when restored.
bool RestoreAppFromBackup(App& app, bool consoleMode, bool unattended = false);

}  // namespace tw
