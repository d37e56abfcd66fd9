#pragma once
// The settings dialog's operations carried out on the real program state.

#include <functional>
#include <utility>

#include "ui/settings_form.h"

namespace tw {
class App;
}

namespace tw::ui {

// `cardSelected` and `refillCardList` are the main window's.
class AppSettingsOperations final : public SettingsOperations {
 public:
  AppSettingsOperations(App& app, std::function<bool()> cardSelected, std::function<void()> refillCardList)
      : app_(app), cardSelected_(std::move(cardSelected)), refillCardList_(std::move(refillCardList)) {}
  const OptionSet& options() const override;
  void SaveSettings(const SettingsValues& dialog) override;
  void ApplyDialogSettings(const SettingsValues& dialog) override;
  void ForgetI2cSection() override;
  void MakeBackupNow(const SettingsValues& dialog) override;
  void ShowError(std::string_view text) override;

 private:
  App& app_;
  std::function<bool()> cardSelected_;
  std::function<void()> refillCardList_;
};

}  // namespace tw::ui
