#include "ui/main_window.h"

#include "ui/app_main_form_operations.h"
#include "ui/fan_power_menus.h"
#include "ui/form/backend.h"
#include "ui/main_form.h"
#include "ui/profile_commands.h"
#include "ui/regulator_group.h"

namespace tw::ui {

void RunMainWindow(App& app, UiBackend& backend) {
  AppMainFormOperations operations(app);
  RegulatorGroup regulators(app, backend);
  WindowProfileCommands profileCommands(app, backend, &regulators);
  FanPowerMenus menus(app, backend);
  MainForm mainForm(operations, backend, &profileCommands);
  profileCommands.Attach(mainForm);
  regulators.Attach(mainForm);
  menus.Attach(mainForm);
  const std::unique_ptr<FormView> view = backend.CreateView(mainForm.form());
  mainForm.Create();
  view->Show();
  backend.RunUntilClosed(mainForm.form());
}

}  // namespace tw::ui
