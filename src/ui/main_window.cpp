#include "ui/main_window.h"

#include <optional>

#include "app/app.h"
#include "ui/app_main_form_operations.h"
#include "ui/form/backend.h"
#include "ui/main_form.h"
#include "ui/powerplay_editor_form.h"
#include "ui/profile_commands.h"

namespace tw::ui {

void RunMainWindow(App& app, UiBackend& backend, const PowerPlayWindowPorts* powerPlay) {
  AppMainFormOperations operations(app);
  WindowProfileCommands profileCommands(app, backend);
  MainForm mainForm(operations, backend, &profileCommands);
  profileCommands.Attach(mainForm);
  std::optional<PowerPlayEditorServices> editorServices;
  std::optional<PowerPlayEditorWindow> editorWindow;
  if (powerPlay) {
    editorServices.emplace(PowerPlayEditorServices{app.platform, app.messages, powerPlay->registry,
                                                   powerPlay->regedit, app.paths.folder});
    editorWindow.emplace(*editorServices, backend);
    mainForm.OnPowerPlayEditor([&] { OpenPowerPlayEditor(*editorWindow, mainForm, app.gpus); });
  }
  const std::unique_ptr<FormView> view = backend.CreateView(mainForm.form());
  mainForm.Create();
  view->Show();
  backend.RunUntilClosed(mainForm.form());
}

}  // namespace tw::ui
