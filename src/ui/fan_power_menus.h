#pragma once
// The two context menus of the main window: the fan test menu on the "Fan" group and the
// power menu on the "Power" group, each attached only when its setting asks for it
// ("DisplayFanMenu", "DisplayPowerMenu"). Both act on the selected card through the
// operations the command line uses (SetFanTestSpeed, AccessPowerFeature).

#include "gpu/power_feature.h"
#include "profiles/settings_store.h"
#include "ui/form/backend.h"
#include "ui/main_form.h"

namespace tw {
class App;
}

namespace tw::ui {

class FanPowerMenus {
 public:
  FanPowerMenus(App& app, UiBackend& backend) : app_(app), backend_(backend) {}

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

  App& app_;
  UiBackend& backend_;
  MainForm* window_ = nullptr;
  int powerMenu_ = -1;
};

}  // namespace tw::ui
