#pragma once
// A dated copy of "Tunewright.ini" in "ini_backup", and the pruning of old copies.

#include "platform/file_system.h"

namespace tw {

struct IniContext;
struct OptionSet;

// `manual`: the settings dialog's "Make backup now" (which first copies its backup
// switches into the options); it takes the main file's lock itself. The automatic backup
// at the end of SaveProfiles (manual false) runs under the lock SaveProfiles holds.
// Old backups are pruned only with LimitNumberOfBackups and CreateAutomatically on, and
// never the copy just made.
bool MakeBackup(const IniContext& ini, const OptionSet& options, bool manual);
// The same for a caller that already holds the main file's lock.
bool MakeBackupLocked(const IniContext& ini, const OptionSet& options, bool manual);

// Copies through a temporary file beside the target, moved into place once complete; on
// failure nothing new stands under the target's name (the OS error stays the last one).
bool CopyFileSafely(FileSystem& files, const Path& from, const Path& to);

}  // namespace tw
