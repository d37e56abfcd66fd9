#include "ui/app_settings_operations.h"

#include "app/app.h"
#include "profiles/make_backup.h"
#include "profiles/settings_store.h"

namespace tw::ui {

const OptionSet& AppSettingsOperations::options() const { return app_.options; }

void AppSettingsOperations::SaveSettings(const SettingsValues& dialog) { tw::SaveSettings(app_.ini(), dialog); }

void AppSettingsOperations::ApplyDialogSettings(const SettingsValues& dialog) {
  tw::ApplyDialogSettings(app_.options, dialog, cardSelected_ && cardSelected_() && !app_.gpus.empty(),
                          refillCardList_);
}

void AppSettingsOperations::ForgetI2cSection() { tw::ForgetI2cSection(app_.ini()); }

void AppSettingsOperations::ShowError(std::string_view text) { app_.messages.ShowError(text); }

void AppSettingsOperations::MakeBackupNow(const SettingsValues& dialog) {
  // Pruning follows the dialog even before it is closed; without a main file nothing is
  // copied and the settings stay as they are.
  if (app_.platform.files.FileExists(app_.paths.iniPath)) {
    app_.options.CreateAutomatically = dialog.CreateAutomatically;
    app_.options.LimitNumberOfBackups = dialog.LimitNumberOfBackups;
    app_.options.NumberOfBackups = dialog.NumberOfBackups;
  }
  MakeBackup(app_.ini(), app_.options, /*manual=*/true);
}

}  // namespace tw::ui
