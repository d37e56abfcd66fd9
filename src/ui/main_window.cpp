#include "ui/main_window.h"

#include <optional>

#include "app/app.h"
#include "ui/app_fan_power_operations.h"
#include "ui/app_friendly_name_operations.h"
#include "ui/app_main_form_operations.h"
#include "ui/app_profile_command_operations.h"
#include "ui/app_regulator_operations.h"
#include "ui/app_settings_operations.h"
#include "ui/fan_power_menus.h"
#include "ui/form/backend.h"
#include "ui/friendly_name_form.h"
#include "ui/main_form.h"
#include "ui/powerplay_editor_form.h"
#include "ui/profile_commands.h"
#include "ui/regulator_group.h"
#include "ui/settings_form.h"

namespace tw::ui {

void RunMainWindow(App& app, UiBackend& backend, const PowerPlayWindowPorts* powerPlay) {
  AppMainFormOperations operations(app);
  AppRegulatorOperations regulatorOperations(app);
  RegulatorGroup regulators(regulatorOperations, backend);
  AppProfileCommandOperations profileOperations(app);
  WindowProfileCommands profileCommands(profileOperations, backend, &regulators);
  AppFanPowerOperations menuOperations(app);
  FanPowerMenus menus(menuOperations, backend);
  MainForm mainForm(operations, backend, &profileCommands);
  profileCommands.Attach(mainForm);
  AppSettingsOperations settingsOperations(
      app, [&mainForm] { return mainForm.SelectedCard() >= 0; }, [&mainForm] { mainForm.RefillCardList(); });
  SettingsForm settings(settingsOperations, backend);
  AppFriendlyNameOperations friendlyNameOperations(app);
  ChangeFriendlyNameCommand friendlyNames(friendlyNameOperations, backend, mainForm);
  mainForm.onShowSettings = [&] { settings.Show(mainForm.form()); };
  mainForm.onChangeFriendlyName = [&] { friendlyNames.Run(); };
  regulators.Attach(mainForm);
  menus.Attach(mainForm);
  std::optional<PowerPlayEditorServices> editorServices;
  std::optional<PowerPlayEditorWindow> editorWindow;
  if (powerPlay) {
    editorServices.emplace(PowerPlayEditorServices{app.platform, app.messages, powerPlay->registry,
                                                   powerPlay->regedit, app.paths.folder});
    editorWindow.emplace(*editorServices, backend);
    mainForm.OnPowerPlayEditor([&] { OpenPowerPlayEditor(*editorWindow, mainForm, app.gpus); });
  }
  // The creation steps run before the window exists: it is then made once, in its final
  // state, rather than changed control by control (which under wine costs a round trip to
  // the wine server for each change).
  mainForm.Create();
  const std::unique_ptr<FormView> view = backend.CreateView(mainForm.form());
  settings.Fill();  // the window's first showing
  view->Show();
  regulators.RunPendingDetection();  // a search of every line, with the window showing it
  backend.RunUntilClosed(mainForm.form());
  settings.SaveIfOpen();
}

}  // namespace tw::ui
