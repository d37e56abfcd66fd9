#pragma once
// Names of the dated copies of "Tunewright.ini" in the folder "ini_backup".

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "profiles/ini_context.h"

namespace tw {

// "yyyy-mm-dd hh.nn.ss Tunewright.ini", whatever the user's date format; sorted by name,
// backups stand in the order they were made.
std::string BackupFileName(const LocalDateTime& when);

// Matches the pattern 2???-??-?? ??.??.?? Tunewright.ini exactly: each ? one character, nothing
// before or after (so "... Tunewright.ini.txt" is not a backup).
bool IsBackupFileName(std::string_view name);

// The backup files (plain files only) of the folder, oldest first.
std::vector<std::string> ListBackups(FileSystem& files, const Path& folder);

// The program's folder + "ini_backup".
Path BackupFolder(const AppPaths& paths);

}  // namespace tw
