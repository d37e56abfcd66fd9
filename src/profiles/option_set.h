#pragma once
// The program's settings, read once at start from the [General] sections of
// "Tunewright.ini" and of the backup-settings file.

#include <string>

#include "profiles/settings_values.h"

namespace tw {

// The dialog's values plus what the program keeps beside them.
struct OptionSet : SettingsValues {
  std::string FanDeactivatedGpus;  // held wrapped in ";" when not empty, e.g. ";0;2;"
};

}  // namespace tw
