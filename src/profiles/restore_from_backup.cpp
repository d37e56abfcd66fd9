#include "profiles/restore_from_backup.h"

#include <optional>
#include <string>

#include "app/app.h"
#include "base/text.h"
#include "platform/dialogs.h"
#include "platform/system_errors.h"
#include "profiles/backup_names.h"
#include "profiles/ini_file.h"
#include "profiles/profile_section.h"
#include "profiles/profile_store.h"
#include "profiles/safe_file_writer.h"
#include "profiles/settings_store.h"

namespace tw {
namespace {

constexpr uint32_t kErrorAccessDenied = 5;

bool HoldsProfile(App& app, const Path& path) {
  const IniRead read = ReadIniFile(app.platform.files, app.platform.ansi, path);
  const std::optional<std::string_view> name = read.document.Value(ProfileSectionName(0), "Name");
  return name && !name->empty();
}

// Index of the newest backup whose [Profile_0] has a name.
std::optional<size_t> NewestWithProfiles(App& app, const Path& folder, const std::vector<std::string>& names) {
  for (size_t i = names.size(); i-- > 0;)
    if (HoldsProfile(app, folder / PathFromUtf8(names[i]))) return i;
  return std::nullopt;
}

std::string Question(const std::string& chosen, bool newest) {
  return "Tunewright.ini contains 0 profiles. Restore it from last backup" +
         std::string(newest ? "" : " that contains profiles (not the last one)") + " \"" + chosen + "\"?";
}

// The copy lands beside the main file first and then replaces it in one step, so that a
// failed or interrupted copy leaves the main file as it was.
bool CopyOverMainFile(App& app, const Path& backup) {
  FileSystem& files = app.platform.files;
  const Path& main = app.paths.iniPath;
  uint32_t code = kErrorAccessDenied;
  if (!(files.FileExists(main) && files.IsReadOnly(main))) {
    const Path temporary = TemporaryPathFor(main);
    if (files.CopyFileOver(backup, temporary) && files.MoveFileOver(temporary, main)) {
      app.messages.FlushFileToDisk(main);
      return true;
    }
    code = app.platform.errors.LastError();
    files.RemoveFile(temporary);
  }
  app.messages.ShowError("Failed to restore \"Tunewright.ini\" file", static_cast<int32_t>(code), true);
  return false;
}

}  // namespace

bool RestoreFromBackup(App& app, bool consoleMode) {
  const Path folder = BackupFolder(app);
  if (!app.options.RestoreAutomatically || !app.platform.files.DirectoryExists(folder)) return false;
  // A main file that exists but could not be read may well hold profiles: never replace it.
  if (ReadIniFile(app.platform.files, app.platform.ansi, app.paths.iniPath).status == IniReadStatus::Unreadable)
    return false;
  const std::vector<std::string> names = ListBackups(app.platform.files, folder);
  const std::optional<size_t> chosen = NewestWithProfiles(app, folder, names);
  if (!chosen) return false;
  const std::string& name = names[*chosen];
  const bool silent = app.options.DoNotConfirmOnRestore;
  if (!silent && !app.platform.dialogs.AskYesNo(Question(name, *chosen + 1 == names.size()), "Restore from backup"))
    return false;
  if (!CopyOverMainFile(app, folder / PathFromUtf8(name))) return false;
  LoadSettings(app, consoleMode);
  LoadProfiles(app);
  if (silent) app.messages.WriteLogLine("\"Tunewright.ini\" was restored from \"" + name + "\"", 0, false, true);
  return true;
}

}  // namespace tw
