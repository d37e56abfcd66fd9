#pragma once
// The two context menus of the main window: the fan test menu on the "Fan" group and the
// power menu on the "Power" group, each attached only when its setting asks for it
// ("DisplayFanMenu", "DisplayPowerMenu"). Both act on the selected card through the
// operations the command line uses (SetFanTestSpeed, AccessPowerFeature).

#include <cstddef>
#include <optional>

#include "gpu/power_feature.h"
#include "profiles/settings_store.h"
#include "ui/form/backend.h"
#include "ui/main_form.h"

namespace tw::ui {

// What the two menus ask of the program, for card `gpuId` of the card list. Implemented
// by AppFanPowerOperations (app_fan_power_operations.h) on the real program state.
class FanPowerOperations {
 public:
  virtual ~FanPowerOperations() = default;
  virtual size_t cardCount() const = 0;
  // As tw::SetFanTestSpeed and tw::AccessPowerFeature, which say what is shown.
  virtual bool SetFanTestSpeed(int gpuId, int speed) = 0;
  virtual bool AccessPowerFeature(int gpuId, PowerFeature feature, bool silent, std::optional<bool> newState,
                                  std::optional<int>& state) = 0;
};

class FanPowerMenus {
 public:
  FanPowerMenus(FanPowerOperations& ops, UiBackend& backend) : ops_(ops), backend_(backend) {}

  // Before MainForm::Create: the menus attach when the window has read the settings.
  void Attach(MainForm& window);

  // The entries of the fan test menu and the power menu; public for the window's tests.
  void SetSpeed(int speed);
  void SetCustomSpeed();
  void PowerMenuPopup();
  void PowerItemClick(PowerFeature feature);
  // The entry's caption ("Power Efficiency: ON") and check mark.
  void ShowPowerFeatureState(PowerFeature feature, bool state);

 private:
  void AttachMenus(const WindowMenuSwitches& switches);
  int ItemOf(PowerFeature feature) const;

  FanPowerOperations& ops_;
  UiBackend& backend_;
  MainForm* window_ = nullptr;
  int powerMenu_ = -1;
};

}  // namespace tw::ui
