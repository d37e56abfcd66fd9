#include "profiles/make_backup.h"

#include <string>

#include "app/app.h"
#include "base/text.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/system_errors.h"
#include "profiles/backup_names.h"

namespace tw {
namespace {

int32_t LastError(App& app) { return static_cast<int32_t>(app.platform.errors.LastError()); }

void ShowPlain(App& app, const std::string& text) {
  app.platform.dialogs.ShowMessage(text, kCaption, BoxIcon::None, false);
}

bool EnsureBackupFolder(App& app, const Path& folder) {
  FileSystem& files = app.platform.files;
  if (files.DirectoryExists(folder) || files.CreateDirectories(folder)) return true;
  app.messages.ShowError("Failed to create directory \"" + PathToUtf8(folder / "") + "\"", LastError(app), true);
  return false;
}

// A backup that cannot be deleted is logged and left; the next oldest is tried.
void PruneBackups(App& app, const Path& folder) {
  FileSystem& files = app.platform.files;
  std::vector<std::string> names = ListBackups(files, folder);
  const size_t keep = static_cast<size_t>(app.options.NumberOfBackups);
  for (size_t oldest = 0; names.size() - oldest > keep; ++oldest) {
    const Path path = folder / PathFromUtf8(names[oldest]);
    if (files.RemoveFile(path)) continue;
    files.ClearAttributes(path);
    if (!files.RemoveFile(path))
      app.messages.WriteLogLine("Failed to delete backup file: \"" + names[oldest] + "\"", 0, false, true);
  }
}

}  // namespace

bool MakeBackup(App& app, bool manual) {
  FileSystem& files = app.platform.files;
  if (!files.FileExists(app.paths.iniPath)) {
    if (manual) ShowPlain(app, "\"Tunewright.ini\" does not exist");
    return false;
  }
  const Path folder = BackupFolder(app);
  if (!EnsureBackupFolder(app, folder)) return false;
  const std::string name = BackupFileName(app.platform.clock.Now());
  const Path target = folder / PathFromUtf8(name);
  if (!files.CopyFileOver(app.paths.iniPath, target)) {
    app.messages.ShowError("Failed to copy \"Tunewright.ini\" file", LastError(app), true);
    return false;
  }
  app.messages.FlushFileToDisk(target);
  const OptionSet& o = app.options;
  if (o.LimitNumberOfBackups && o.NumberOfBackups > 0 && o.CreateAutomatically) PruneBackups(app, folder);
  if (manual) ShowPlain(app, "File saved as \"" + name + "\"");
  return true;
}

}  // namespace tw
