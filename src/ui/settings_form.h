#pragma once
// The settings dialog TForm2 "Settings": the switches of the settings file in check boxes,
// the number of backups, "Rescan lines" and "Make backup now". It is not modal: the main
// window's system menu shows it, its "Close" button or close box hides it again, and only
// then are the settings written and put to use. The dialog keeps what the user left in it
// between openings; it is filled from the settings once, when the main window first shows.

#include <memory>
#include <optional>
#include <string_view>

#include "profiles/option_set.h"
#include "profiles/settings_values.h"
#include "ui/form/backend.h"
#include "ui/form/form.h"

namespace tw::ui {

// What the dialog asks of the program. Implemented by AppSettingsOperations
// (app_settings_operations.h) on the real program state.
class SettingsOperations {
 public:
  virtual ~SettingsOperations() = default;
  virtual const OptionSet& options() const = 0;
  virtual void SaveSettings(const SettingsValues& dialog) = 0;
  // Takes the values in (except the two that need a restart) and refreshes the card names.
  virtual void ApplyDialogSettings(const SettingsValues& dialog) = 0;
  virtual void ForgetI2cSection() = 0;
  // "Make backup now", pruning as the dialog's backup switches and number say.
  virtual void MakeBackupNow(const SettingsValues& dialog) = 0;
  virtual void ShowError(std::string_view text) = 0;
};

class SettingsForm {
 public:
  SettingsForm(SettingsOperations& ops, UiBackend& backend);
  SettingsForm(const SettingsForm&) = delete;
  SettingsForm& operator=(const SettingsForm&) = delete;

  Form& form() { return form_; }
  bool visible() const { return view_ != nullptr && open_; }

  // Every check box and the number from the settings (the main window's first showing).
  void Fill();
  // Shows the dialog centred on `owner`, or brings it forward when it is open already.
  void Show(const Form& owner);
  // The program is ending with the dialog open: its settings are written, as closing it
  // would write them (there is no window left to apply them to).
  void SaveIfOpen();

  SettingsValues Values() const;

 private:
  void Build();
  void BackupBoxesChanged();
  void Closing();
  void MakeBackupClick();
  // The number of backups as typed; nothing when it is no number in the field's range.
  std::optional<int> TypedNumberOfBackups() const;
  // Says so, and puts the stored limit back into the field.
  void RefuseNumberOfBackups();
  bool Checked(ControlId id) const { return form_.control(id).checked; }

  SettingsOperations& ops_;
  UiBackend& backend_;
  Form form_;
  std::unique_ptr<FormView> view_;
  bool open_ = false;
  // Controls by role.
  ControlId busNumber_{}, pnpString_{}, adapterIndex_{}, friendlyName_{}, registryKey_{}, notListUnsupported_{};
  ControlId enableI2c_{}, rescan_{};
  ControlId ignoreError8_{}, mismatch_{}, resetBeforeApply_{};
  ControlId createAutomatically_{}, restoreAutomatically_{}, silently_{}, limit_{}, number_{}, restoreLabel_{};
};

}  // namespace tw::ui
