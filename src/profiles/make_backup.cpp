#include "profiles/make_backup.h"

#include <algorithm>
#include <string>

#include "base/text.h"
#include "ini/safe_file_writer.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/system_errors.h"
#include "profiles/backup_names.h"
#include "profiles/ini_context.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

int32_t LastError(const IniContext& ini) { return static_cast<int32_t>(ini.platform.errors.LastError()); }

void ShowPlain(const IniContext& ini, const std::string& text) {
  ini.platform.dialogs.ShowMessage(text, kCaption, BoxIcon::None, false);
}

bool EnsureBackupFolder(const IniContext& ini, const Path& folder) {
  FileSystem& files = ini.platform.files;
  if (files.DirectoryExists(folder) || files.CreateDirectories(folder)) return true;
  ini.messages.ShowError("Failed to create directory \"" + PathToUtf8(folder / "") + "\"", LastError(ini), true);
  return false;
}

// "<backup name>.<anything>.tmp": a copy that a killed run never moved into place.
bool IsBackupTemporary(std::string_view name) {
  if (name.size() < 4 || name.substr(name.size() - 4) != ".tmp") return false;
  const size_t dot = name.rfind('.', name.size() - 5);
  return dot != std::string_view::npos && IsBackupFileName(name.substr(0, dot));
}

// The copy just made is never a candidate: with backups dated in the future (a clock set
// back, a machine moved between time zones) it would otherwise be the first to go.
void PruneBackups(const IniContext& ini, const OptionSet& options, const Path& folder, const std::string& justMade) {
  FileSystem& files = ini.platform.files;
  std::vector<std::string> names = ListBackups(files, folder);
  if (!names.empty() && names.back() > justMade) {
    const auto later = names.end() - std::upper_bound(names.begin(), names.end(), justMade);
    ini.messages.WriteLogLine(std::to_string(later) + " backup file(s) are dated after the backup just made (\"" +
                                  justMade + "\"), the newest \"" + names.back() + "\"",
                              0, false, true);
  }
  std::erase(names, justMade);
  const size_t keep = static_cast<size_t>(options.NumberOfBackups) - 1;
  if (names.size() <= keep) return;
  // One backup goes with each new one; more only after a lowered limit, which the user
  // is told about first: a mistyped limit must not empty the folder unasked.
  if (const size_t doomed = names.size() - keep;
      doomed > 1 && !ini.platform.dialogs.AskYesNo("Keeping " + std::to_string(keep + 1) + " backups deletes the " +
                                                       std::to_string(doomed) + " oldest backup files. Delete them?",
                                                   "Ini backup"))
    return;
  for (size_t oldest = 0; names.size() - oldest > keep; ++oldest) {
    const Path path = folder / PathFromUtf8(names[oldest]);
    if (files.RemoveFile(path)) continue;
    files.ClearAttributes(path);
    if (!files.RemoveFile(path))
      ini.messages.WriteLogLine("Failed to delete backup file: \"" + names[oldest] + "\"", 0, false, true);
  }
}

}  // namespace

bool CopyFileSafely(FileSystem& files, const Path& from, const Path& to) {
  const std::optional<std::string> bytes = files.ReadFile(from);
  if (!bytes) return false;
  const std::optional<Path> temporary = files.WriteTemporaryFile(files.FinalPath(to), *bytes);
  if (!temporary) return false;
  if (files.MoveFileOver(*temporary, files.FinalPath(to))) return true;
  files.RemoveFile(*temporary);  // a removal that succeeds leaves the move's error in place
  return false;
}

bool MakeBackup(const IniContext& ini, const OptionSet& options, bool manual) {
  if (!manual) return MakeBackupLocked(ini, options, false);
  const std::unique_ptr<FileLock> lock = LockForRewrite(ini.platform, ini.messages, ini.paths.iniPath);
  return lock && MakeBackupLocked(ini, options, true);
}

bool MakeBackupLocked(const IniContext& ini, const OptionSet& options, bool manual) {
  FileSystem& files = ini.platform.files;
  if (!files.FileExists(ini.paths.iniPath)) {
    if (manual) ShowPlain(ini, "\"Tunewright.ini\" does not exist");
    return false;
  }
  const Path folder = BackupFolder(ini.paths);
  if (!EnsureBackupFolder(ini, folder)) return false;
  for (const std::string& name : files.ListFiles(folder))
    if (IsBackupTemporary(name)) files.RemoveFile(folder / PathFromUtf8(name));
  const std::string name = BackupFileName(ini.platform.clock.Now());
  const Path target = folder / PathFromUtf8(name);
  // Through a temporary file, so that a failed or interrupted copy never stands under a
  // backup's name, where a restore would take it and pruning would count it.
  if (!CopyFileSafely(files, ini.paths.iniPath, target)) {
    ini.messages.ShowError("Failed to copy \"Tunewright.ini\" file", LastError(ini), true);
    return false;
  }
  ini.messages.FlushFileToDisk(target);
  if (options.LimitNumberOfBackups && options.NumberOfBackups > 0 && options.CreateAutomatically)
    PruneBackups(ini, options, folder, name);
  if (manual) ShowPlain(ini, "File saved as \"" + name + "\"");
  return true;
}

}  // namespace tw
