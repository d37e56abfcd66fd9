#include "profiles/backup_names.h"

#include <algorithm>
#include <cstdio>

#include "base/text.h"

namespace tw {
namespace {

// "2???-??-?? ??.??.?? Tunewright.ini", escaped so that no "??" pair reads as a trigraph.
constexpr std::string_view kBackupPattern = "2\?\?\?-\?\?-\?\? \?\?.\?\?.\?\? Tunewright.ini";

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string BackupFileName(const LocalDateTime& when) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d.%02d.%02d Tunewright.ini", when.year, when.month,
                when.day, when.hour, when.minute, when.second);
  return buffer;
}

bool IsBackupFileName(std::string_view name) {
  if (name.size() != kBackupPattern.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    // Windows compares file names without regard to case, and so does its own pattern search.
    if (kBackupPattern[i] != '?' && Lower(kBackupPattern[i]) != Lower(name[i])) return false;
  }
  return true;
}

std::vector<std::string> ListBackups(FileSystem& files, const Path& folder) {
  std::vector<std::string> names = files.ListFiles(folder);
  std::erase_if(names, [](const std::string& name) { return !IsBackupFileName(name); });
  std::sort(names.begin(), names.end());
  return names;
}

Path BackupFolder(const AppPaths& paths) { return paths.backupIniPath.parent_path(); }

}  // namespace tw
