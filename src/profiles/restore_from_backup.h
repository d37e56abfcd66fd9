#pragma once
// Bringing back the newest backup that holds profiles when "Tunewright.ini" has none.

namespace tw {

class App;

// Acts only with RestoreAutomatically on. Asks first unless DoNotConfirmOnRestore is on
// (then it logs the restore instead). After a restore the settings and the profiles are
// read again. True when the main file was replaced. `unattended` (-consoleonly): nothing
// is asked; the answer is No, and the console says so.
bool RestoreFromBackup(App& app, bool consoleMode, bool unattended = false);

}  // namespace tw
