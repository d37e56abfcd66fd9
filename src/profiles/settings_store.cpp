#include "profiles/settings_store.h"

#include <string>
#include <string_view>

#include "app/app.h"
#include "base/text.h"
#include "ini/ini_file.h"
#include "ini/ini_values.h"
#include "platform/system_errors.h"

namespace tw {
namespace {

constexpr std::string_view kI2cSection = "I2C";
constexpr int32_t kDefaultNumberOfBackups = 10;

// A file that exists but cannot be read is reported and then treated as absent.
IniRead ReadReporting(App& app, const Path& path) {
  IniRead read = ReadIniFile(app.platform.files, app.platform.ansi, path);
  ReportReadProblem(app.platform, app.messages, path, read.status);
  return read;
}

std::string WrapFanList(std::string_view stored) {
  const std::string_view list = TrimBlanks(stored);
  return list.empty() ? std::string() : ";" + std::string(list) + ";";
}

WindowMenuSwitches ReadMainFile(App& app, const IniDocument& main, bool consoleMode) {
  OptionSet& o = app.options;
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
  if (o.EnableI2c) app.vrm.scan = !main.HasSection(kI2cSection);
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

bool SaveMainSettings(App& app, const SettingsValues& dialog) {
  return RewriteIniFile(app.platform, app.messages, app.paths.iniPath, [&](IniDocument& main) {
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

bool SaveBackupSettings(App& app, const SettingsValues& dialog) {
  const Path& path = app.paths.backupIniPath;
  // A first look without the lock: most closings of the dialog change nothing here, and
  // the lock file needs the folder, which is only made when something is to be written.
  const std::optional<IniDocument> stored = LoadIniForRewrite(app.platform, app.messages, path);
  if (!stored) return false;
  if (!BackupSettingsDiffer(*stored, dialog)) return true;
  const Path folder = path.parent_path();
  if (!app.platform.files.CreateDirectories(folder)) {
    app.messages.ShowError("Failed to create directory \"" + PathToUtf8(folder) + "\"",
                           static_cast<int32_t>(app.platform.errors.LastError()), true);
    return false;
  }
  return RewriteIniFile(app.platform, app.messages, path, [&](IniDocument& backup) {
    for (const FlagKey& flag : kBackupFlags) backup.SetValue(kGeneralSection, flag.key, BoolText(dialog.*flag.value));
    backup.SetValue(kGeneralSection, "NumberOfBackups", std::to_string(dialog.NumberOfBackups));
    return true;
  });
}

}  // namespace

WindowMenuSwitches LoadSettings(App& app, bool consoleMode) {
  IniRead mainFile;
  return LoadSettings(app, consoleMode, mainFile);
}

WindowMenuSwitches LoadSettings(App& app, bool consoleMode, IniRead& mainFile) {
  app.vrm.consoleMode = consoleMode;
  app.vrm.done = false;
  app.vrm.scan = false;
  ResetMainFileOptions(app.options);
  WindowMenuSwitches menus;
  mainFile = ReadReporting(app, app.paths.iniPath);
  if (mainFile.status == IniReadStatus::Loaded) menus = ReadMainFile(app, mainFile.document, consoleMode);
  // An absent or unreadable backup-settings file reads as an empty one: the defaults.
  ReadBackupSettings(app.options, ReadReporting(app, app.paths.backupIniPath).document);
  return menus;
}

bool SaveSettings(App& app, const SettingsValues& dialog) {
  // The backup settings are written even when the main file failed, as they live apart.
  const bool mainSaved = SaveMainSettings(app, dialog);
  const bool backupSaved = SaveBackupSettings(app, dialog);
  return mainSaved && backupSaved;
}

void ApplyDialogSettings(App& app, const SettingsValues& dialog, bool cardSelected,
                         const std::function<void()>& refillCardList) {
  if (!cardSelected || app.gpus.empty()) return;
  // "Enable I2C" and "Do not list unsupported GPU's" take effect at the next start only.
  OptionSet& o = app.options;
  const bool enableI2c = o.EnableI2c;
  const bool doNotListUnsupported = o.DoNotListUnsupported;
  static_cast<SettingsValues&>(o) = dialog;
  o.EnableI2c = enableI2c;
  o.DoNotListUnsupported = doNotListUnsupported;
  if (refillCardList) refillCardList();
}

void ForgetI2cSection(App& app) {
  const IniRead main = ReadReporting(app, app.paths.iniPath);
  if (main.status != IniReadStatus::Loaded || !main.document.HasSection(kI2cSection)) return;
  RewriteIniFile(app.platform, app.messages, app.paths.iniPath,
                 [](IniDocument& document) { return document.RemoveSection(kI2cSection); });
}

}  // namespace tw
