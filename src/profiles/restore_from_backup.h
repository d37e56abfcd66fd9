#pragma once
// Bringing back the newest backup that holds profiles when "Tunewright.ini" has none.

namespace tw {

struct IniContext;
struct OptionSet;

// Acts only with RestoreAutomatically on. Asks first unless DoNotConfirmOnRestore is on
// (then it logs the restore instead). After a restore the settings and the profiles are
// read again by the caller. True when the main file was replaced. `unattended` (-consoleonly): nothing
// is asked; the answer is No, and the console says so.
bool RestoreFromBackup(const IniContext& ini, const OptionSet& options, bool unattended = false);

}  // namespace tw
