#include "profiles/restore_from_backup.h"

#include <optional>
#include <string>

#include "app/app.h"
#include "base/text.h"
#include "ini/ini_file.h"
#include "ini/safe_file_writer.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/system_errors.h"
#include "profiles/backup_names.h"
#include "profiles/make_backup.h"
#include "profiles/profile_section.h"
#include "profiles/profile_store.h"
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
    if (CopyFileSafely(files, backup, main)) {
      app.messages.FlushFileToDisk(files.FinalPath(main));
      return true;
    }
    code = app.platform.errors.LastError();
  }
  app.messages.ShowError("Failed to restore \"Tunewright.ini\" file", static_cast<int32_t>(code), true);
  return false;
}

// The main file as it was, under a name that is no backup's: the restore never picks it
// and pruning never deletes it. Its name, or empty (reported) when it could not be kept.
std::string KeepReplacedFile(App& app, const Path& folder) {
  const std::string name = BackupFileName(app.platform.clock.Now()) + ".before-restore";
  if (CopyFileSafely(app.platform.files, app.paths.iniPath, folder / PathFromUtf8(name))) return name;
  app.messages.ShowError("Failed to copy \"Tunewright.ini\" file", static_cast<int32_t>(app.platform.errors.LastError()),
                         true);
  return {};
}

enum class MainFileState { NoProfileSection, Missing, Keep };

// Only a main file without any profile section is replaced: one whose profiles merely
// failed to load still holds them, and one that cannot be read (or is a folder) may.
MainFileState StateOfMainFile(App& app) {
  const IniRead read = ReadIniFile(app.platform.files, app.platform.ansi, app.paths.iniPath);
  if (read.status == IniReadStatus::Missing) return MainFileState::Missing;
  if (read.status != IniReadStatus::Loaded || HasProfileSection(read.document)) return MainFileState::Keep;
  return MainFileState::NoProfileSection;
}

// Under the main file's lock, which a run saving profiles at the same moment also takes.
// The kept copy's name, or nullopt when nothing was restored.
std::optional<std::string> ReplaceMainFile(App& app, const Path& folder, const std::string& chosen) {
  const std::unique_ptr<FileLock> lock = LockForRewrite(app.platform, app.messages, app.paths.iniPath);
  if (!lock) return std::nullopt;
  const MainFileState state = StateOfMainFile(app);  // again: another run may have saved since
  if (state == MainFileState::Keep) return std::nullopt;
  std::string kept;
  if (state == MainFileState::NoProfileSection) {
    kept = KeepReplacedFile(app, folder);
    if (kept.empty()) return std::nullopt;
  }
  if (!CopyOverMainFile(app, folder / PathFromUtf8(chosen))) return std::nullopt;
  return kept;
}

}  // namespace

bool RestoreFromBackup(App& app, bool consoleMode, bool unattended) {
  const Path folder = BackupFolder(app);
  if (!app.options.RestoreAutomatically || !app.platform.files.DirectoryExists(folder)) return false;
  if (StateOfMainFile(app) == MainFileState::Keep) return false;
  const std::vector<std::string> names = ListBackups(app.platform.files, folder);
  const std::optional<size_t> chosen = NewestWithProfiles(app, folder, names);
  if (!chosen) return false;
  const std::string& name = names[*chosen];
  const bool silent = app.options.DoNotConfirmOnRestore;
  if (!silent && unattended) {
    // No one is there to answer: a script must not stop at a box, and the safe answer
    // leaves the file as it is.
    app.messages.ReportMessage("\"Tunewright.ini\" holds no profiles; the backup \"" + name +
                                   "\" was not restored (no one to ask under -consoleonly: the answer is No)",
                               /*console=*/true, 0, MessageKind::Info);
    return false;
  }
  if (!silent && !app.platform.dialogs.AskYesNo(Question(name, *chosen + 1 == names.size()), "Restore from backup"))
    return false;
  const std::optional<std::string> kept = ReplaceMainFile(app, folder, name);
  if (!kept) return false;
  LoadSettings(app, consoleMode);
  LoadProfiles(app);
  const std::string keptNote = kept->empty() ? "" : "the file it replaced is kept as \"" + *kept + "\"";
  if (silent) {
    app.messages.WriteLogLine("\"Tunewright.ini\" was restored from \"" + name + "\"" +
                                  (keptNote.empty() ? "" : "; " + keptNote),
                              0, false, true);
  } else if (!keptNote.empty()) {
    app.messages.WriteLogLine("\"Tunewright.ini\" was replaced by a backup; " + keptNote, 0, false, true);
  }
  return true;
}

}  // namespace tw
