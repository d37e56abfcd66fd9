#pragma once
// A dated copy of "Tunewright.ini" in "ini_backup", and the pruning of old copies.

namespace tw {

class App;

// `manual`: the settings dialog's "Make backup now" (which first copies its backup
// switches into app.options); otherwise the automatic backup at the end of SaveProfiles.
// Old backups are pruned only with LimitNumberOfBackups and CreateAutomatically on.
bool MakeBackup(App& app, bool manual);

}  // namespace tw
