#include "profiles/settings_store.h"

#include <string>
#include <string_view>

#include "base/text.h"
#include "ini/ini_file.h"
#include "ini/ini_values.h"
#include "platform/system_errors.h"
#include "profiles/ini_context.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

constexpr std::string_view kI2cSection = "I2C";
constexpr int32_t kDefaultNumberOfBackups = 10;

// A file that exists but cannot be read is reported and then treated as absent.
IniRead ReadReporting(const IniContext& ini, const Path& path) {
  IniRead read = ReadIniFile(ini.platform.files, ini.platform.ansi, path);
  ReportReadProblem(ini.platform, ini.messages, path, read.status);
  return read;
}

std::string WrapFanList(std::string_view stored) {
  const std::string_view list = TrimBlanks(stored);
  return list.empty() ? std::string() : ";" + std::string(list) + ";";
}

WindowMenuSwitches ReadMainFile(OptionSet& o, const IniDocument& main, bool consoleMode) {
  const auto flag = [&](std::string_view key) { return ReadBool(main, kGeneralSection, key, false); };
  WindowMenuSwitches menus;
  if (!consoleMode) {
    o.ShowBusNumber = flag("ShowBusNumber");
    o.ShowPnpString = flag("ShowPnpString");
    o.ShowAdapterIndex = flag("ShowAdapterIndex");
    o.ShowFriendlyName = flag("ShowFriendlyName");
    o.ShowRegistryKey = flag("ShowRegistryKey");
    menus.displayFanMenu = flag("DisplayFanMenu");
    menus.displayPowerMenu = flag("DisplayPowerMenu");
  }
  o.FanDeactivatedGpus = WrapFanList(main.Value(kGeneralSection, "FanDeactivatedGpus").value_or(""));
  o.IgnoreError8 = flag("IgnoreError-8");
  o.ResetBeforeApply = flag("ResetBeforeApply");
  o.CheckValuesMismatch = flag("CheckValuesMismatch");
  o.DoNotListUnsupported = flag("DoNotListUnsupported");
  o.EnableI2c = flag("EnableI2c");
  return menus;
}

void ResetMainFileOptions(OptionSet& o) {
  o.EnableI2c = o.ShowPnpString = o.ShowBusNumber = o.ShowAdapterIndex = false;
  o.ShowFriendlyName = o.ShowRegistryKey = o.DoNotListUnsupported = o.IgnoreError8 = false;
  o.CheckValuesMismatch = o.ResetBeforeApply = false;
  o.FanDeactivatedGpus.clear();
}

void ReadBackupSettings(OptionSet& o, const IniDocument& backup) {
  o.CreateAutomatically = ReadBool(backup, kGeneralSection, "CreateAutomatically", false);
  o.RestoreAutomatically = ReadBool(backup, kGeneralSection, "RestoreAutomatically", false);
  o.DoNotConfirmOnRestore = ReadBool(backup, kGeneralSection, "DoNotConfirmOnRestore", false);
  o.LimitNumberOfBackups = ReadBool(backup, kGeneralSection, "LimitNumberOfBackups", false);
  o.NumberOfBackups = ReadInteger(backup, kGeneralSection, "NumberOfBackups", kDefaultNumberOfBackups);
}

struct FlagKey {
  std::string_view key;
  bool SettingsValues::*value;
};

constexpr FlagKey kMainFlags[] = {
    {"ShowBusNumber", &SettingsValues::ShowBusNumber},
    {"ShowPnpString", &SettingsValues::ShowPnpString},
    {"ShowAdapterIndex", &SettingsValues::ShowAdapterIndex},
    {"ShowFriendlyName", &SettingsValues::ShowFriendlyName},
    {"ShowRegistryKey", &SettingsValues::ShowRegistryKey},
    {"EnableI2c", &SettingsValues::EnableI2c},
    {"DoNotListUnsupported", &SettingsValues::DoNotListUnsupported},
    {"IgnoreError-8", &SettingsValues::IgnoreError8},
    {"ResetBeforeApply", &SettingsValues::ResetBeforeApply},
    {"CheckValuesMismatch", &SettingsValues::CheckValuesMismatch},
};

constexpr FlagKey kBackupFlags[] = {
    {"CreateAutomatically", &SettingsValues::CreateAutomatically},
    {"RestoreAutomatically", &SettingsValues::RestoreAutomatically},
    {"LimitNumberOfBackups", &SettingsValues::LimitNumberOfBackups},
    {"DoNotConfirmOnRestore", &SettingsValues::DoNotConfirmOnRestore},
};

bool SaveMainSettings(const IniContext& ini, const SettingsValues& dialog) {
  return RewriteIniFile(ini.platform, ini.messages, ini.paths.iniPath, [&](IniDocument& main) {
    bool changed = false;
    for (const FlagKey& flag : kMainFlags) {
      const bool wanted = dialog.*flag.value;
      if (ReadBool(main, kGeneralSection, flag.key, false) == wanted) continue;
      main.SetValue(kGeneralSection, flag.key, BoolText(wanted));
      changed = true;
    }
    if (!dialog.EnableI2c && main.RemoveSection(kI2cSection)) changed = true;
    return changed;
  });
}

bool BackupSettingsDiffer(const IniDocument& backup, const SettingsValues& dialog) {
  for (const FlagKey& flag : kBackupFlags)
    if (ReadBool(backup, kGeneralSection, flag.key, false) != dialog.*flag.value) return true;
  return ReadInteger(backup, kGeneralSection, "NumberOfBackups", kDefaultNumberOfBackups) != dialog.NumberOfBackups;
}

bool SaveBackupSettings(const IniContext& ini, const SettingsValues& dialog) {
  const Path& path = ini.paths.backupIniPath;
  // A first look without the lock: most closings of the dialog change nothing here, and
  // the lock file needs the folder, which is only made when something is to be written.
  const std::optional<IniDocument> stored = LoadIniForRewrite(ini.platform, ini.messages, path);
  if (!stored) return false;
  if (!BackupSettingsDiffer(*stored, dialog)) return true;
  const Path folder = path.parent_path();
  if (!ini.platform.files.CreateDirectories(folder)) {
    ini.messages.ShowError("Failed to create directory \"" + PathToUtf8(folder) + "\"",
                           static_cast<int32_t>(ini.platform.errors.LastError()), true);
    return false;
  }
  return RewriteIniFile(ini.platform, ini.messages, path, [&](IniDocument& backup) {
    for (const FlagKey& flag : kBackupFlags) backup.SetValue(kGeneralSection, flag.key, BoolText(dialog.*flag.value));
    backup.SetValue(kGeneralSection, "NumberOfBackups", std::to_string(dialog.NumberOfBackups));
    return true;
  });
}

}  // namespace

LoadedSettings LoadSettings(const IniContext& ini, OptionSet& options, bool consoleMode) {
  IniRead mainFile;
  return LoadSettings(ini, options, consoleMode, mainFile);
}

LoadedSettings LoadSettings(const IniContext& ini, OptionSet& options, bool consoleMode, IniRead& mainFile) {
  ResetMainFileOptions(options);
  LoadedSettings loaded;
  mainFile = ReadReporting(ini, ini.paths.iniPath);
  if (mainFile.status == IniReadStatus::Loaded) {
    loaded.menus = ReadMainFile(options, mainFile.document, consoleMode);
    loaded.hasI2cSection = mainFile.document.HasSection(kI2cSection);
  }
  // An absent or unreadable backup-settings file reads as an empty one: the defaults.
  ReadBackupSettings(options, ReadReporting(ini, ini.paths.backupIniPath).document);
  return loaded;
}

bool SaveSettings(const IniContext& ini, const SettingsValues& dialog) {
  // The backup settings are written even when the main file failed, as they live apart.
  const bool mainSaved = SaveMainSettings(ini, dialog);
  const bool backupSaved = SaveBackupSettings(ini, dialog);
  return mainSaved && backupSaved;
}

void ApplyDialogSettings(OptionSet& o, const SettingsValues& dialog, bool cardSelected,
                         const std::function<void()>& refillCardList) {
  if (!cardSelected) return;
  // "Enable I2C" and "Do not list unsupported GPU's" take effect at the next start only.
  const bool enableI2c = o.EnableI2c;
  const bool doNotListUnsupported = o.DoNotListUnsupported;
  static_cast<SettingsValues&>(o) = dialog;
  o.EnableI2c = enableI2c;
  o.DoNotListUnsupported = doNotListUnsupported;
  if (refillCardList) refillCardList();
}

void ForgetI2cSection(const IniContext& ini) {
  const IniRead main = ReadReporting(ini, ini.paths.iniPath);
  if (main.status != IniReadStatus::Loaded || !main.document.HasSection(kI2cSection)) return;
  RewriteIniFile(ini.platform, ini.messages, ini.paths.iniPath,
                 [](IniDocument& document) { return document.RemoveSection(kI2cSection); });
}

}  // namespace tw
