#pragma once
// The program settings: [General] of "Tunewright.ini" and of the backup-settings file.

#include <functional>

#include "ini/ini_file.h"
#include "profiles/settings_values.h"

namespace tw {

class App;

// Switches of the main file that only the window reads, when it is created.
struct WindowMenuSwitches {
  bool displayFanMenu = false;
  bool displayPowerMenu = false;
};

// Reads both files into app.options and decides, with EnableI2c on, whether regulator
// detection scans (no [I2C] section) or verifies the stored locations.
WindowMenuSwitches LoadSettings(App& app, bool consoleMode);
// The same; `mainFile` receives "Tunewright.ini" as it was read, so that the start-up can
// take the profiles from it instead of reading and parsing the whole file a second time.
WindowMenuSwitches LoadSettings(App& app, bool consoleMode, IniRead& mainFile);

// Writes the dialog's values where they differ from the files; each file is rewritten
// only when one of its keys changed. False when a write failed (reported).
bool SaveSettings(App& app, const SettingsValues& dialog);

// Takes the dialog's values into app.options, except EnableI2c and DoNotListUnsupported
// (they need a restart), then lets the window form the card names again.
void ApplyDialogSettings(App& app, const SettingsValues& dialog, bool cardSelected,
                         const std::function<void()>& refillCardList);

// Removes [I2C] from the main file, so that the next start scans for regulators again.
void ForgetI2cSection(App& app);

}  // namespace tw
