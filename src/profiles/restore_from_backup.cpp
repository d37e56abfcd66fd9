#include "profiles/restore_from_backup.h"

#include <optional>
#include <string>

#include "base/text.h"
#include "ini/ini_file.h"
#include "ini/safe_file_writer.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/system_errors.h"
#include "profiles/backup_names.h"
#include "profiles/ini_context.h"
#include "profiles/make_backup.h"
#include "profiles/option_set.h"
#include "profiles/profile_section.h"
#include "profiles/profile_store.h"

namespace tw {
namespace {

constexpr uint32_t kErrorAccessDenied = 5;

bool HoldsProfile(const IniContext& ini, const Path& path) {
  const IniRead read = ReadIniFile(ini.platform.files, ini.platform.ansi, path);
  const std::optional<std::string_view> name = read.document.Value(ProfileSectionName(0), "Name");
  return name && !name->empty();
}

// Index of the newest backup whose [Profile_0] has a name.
std::optional<size_t> NewestWithProfiles(const IniContext& ini, const Path& folder,
                                         const std::vector<std::string>& names) {
  for (size_t i = names.size(); i-- > 0;)
    if (HoldsProfile(ini, folder / PathFromUtf8(names[i]))) return i;
  return std::nullopt;
}

std::string Question(const std::string& chosen, bool newest) {
  return "Tunewright.ini contains 0 profiles. Restore it from last backup" +
         std::string(newest ? "" : " that contains profiles (not the last one)") + " \"" + chosen + "\"?";
}

// The copy lands beside the main file first and then replaces it in one step, so that a
// failed or interrupted copy leaves the main file as it was.
bool CopyOverMainFile(const IniContext& ini, const Path& backup) {
  FileSystem& files = ini.platform.files;
  const Path& main = ini.paths.iniPath;
  uint32_t code = kErrorAccessDenied;
  if (!(files.FileExists(main) && files.IsReadOnly(main))) {
    if (CopyFileSafely(files, backup, main)) {
      ini.messages.FlushFileToDisk(files.FinalPath(main));
      return true;
    }
    code = ini.platform.errors.LastError();
  }
  ini.messages.ShowError("Failed to restore \"Tunewright.ini\" file", static_cast<int32_t>(code), true);
  return false;
}

// The main file as it was, under a name that is no backup's: the restore never picks it
// and pruning never deletes it. Its name, or empty (reported) when it could not be kept.
std::string KeepReplacedFile(const IniContext& ini, const Path& folder) {
  const std::string name = BackupFileName(ini.platform.clock.Now()) + ".before-restore";
  if (CopyFileSafely(ini.platform.files, ini.paths.iniPath, folder / PathFromUtf8(name))) return name;
  ini.messages.ShowError("Failed to copy \"Tunewright.ini\" file",
                         static_cast<int32_t>(ini.platform.errors.LastError()), true);
  return {};
}

enum class MainFileState { NoProfileSection, Missing, Keep };

// Only a main file without any profile section is replaced: one whose profiles merely
// failed to load still holds them, and one that cannot be read (or is a folder) may.
MainFileState StateOfMainFile(const IniContext& ini) {
  const IniRead read = ReadIniFile(ini.platform.files, ini.platform.ansi, ini.paths.iniPath);
  if (read.status == IniReadStatus::Missing) return MainFileState::Missing;
  if (read.status != IniReadStatus::Loaded || HasProfileSection(read.document)) return MainFileState::Keep;
  return MainFileState::NoProfileSection;
}

// Under the main file's lock, which a run saving profiles at the same moment also takes.
// The kept copy's name, or nullopt when nothing was restored.
std::optional<std::string> ReplaceMainFile(const IniContext& ini, const Path& folder, const std::string& chosen) {
  const std::unique_ptr<FileLock> lock = LockForRewrite(ini.platform, ini.messages, ini.paths.iniPath);
  if (!lock) return std::nullopt;
  const MainFileState state = StateOfMainFile(ini);  // again: another run may have saved since
  if (state == MainFileState::Keep) return std::nullopt;
  std::string kept;
  if (state == MainFileState::NoProfileSection) {
    kept = KeepReplacedFile(ini, folder);
    if (kept.empty()) return std::nullopt;
  }
  if (!CopyOverMainFile(ini, folder / PathFromUtf8(chosen))) return std::nullopt;
  return kept;
}

}  // namespace

bool RestoreFromBackup(const IniContext& ini, const OptionSet& options, bool unattended) {
  const Path folder = BackupFolder(ini.paths);
  if (!options.RestoreAutomatically || !ini.platform.files.DirectoryExists(folder)) return false;
  if (StateOfMainFile(ini) == MainFileState::Keep) return false;
  const std::vector<std::string> names = ListBackups(ini.platform.files, folder);
  const std::optional<size_t> chosen = NewestWithProfiles(ini, folder, names);
  if (!chosen) return false;
  const std::string& name = names[*chosen];
  const bool silent = options.DoNotConfirmOnRestore;
  if (!silent && unattended) {
    // No one is there to answer: a script must not stop at a box, and the safe answer
    // leaves the file as it is.
    ini.messages.ReportMessage("\"Tunewright.ini\" holds no profiles; the backup \"" + name +
                                   "\" was not restored (no one to ask under -consoleonly: the answer is No)",
                               /*console=*/true, 0, MessageKind::Info);
    return false;
  }
  if (!silent && !ini.platform.dialogs.AskYesNo(Question(name, *chosen + 1 == names.size()), "Restore from backup"))
    return false;
  const std::optional<std::string> kept = ReplaceMainFile(ini, folder, name);
  if (!kept) return false;
  const std::string keptNote = kept->empty() ? "" : "the file it replaced is kept as \"" + *kept + "\"";
  if (silent) {
    ini.messages.WriteLogLine(
        "\"Tunewright.ini\" was restored from \"" + name + "\"" + (keptNote.empty() ? "" : "; " + keptNote), 0, false,
        true);
  } else if (!keptNote.empty()) {
    ini.messages.WriteLogLine("\"Tunewright.ini\" was replaced by a backup; " + keptNote, 0, false, true);
  }
  return true;
}

}  // namespace tw
