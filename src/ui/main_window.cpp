#include "ui/main_window.h"

#include "ui/app_main_form_operations.h"
#include "ui/form/backend.h"
#include "ui/main_form.h"
#include "ui/profile_commands.h"

namespace tw::ui {

void RunMainWindow(App& app, UiBackend& backend) {
  AppMainFormOperations operations(app);
  WindowProfileCommands profileCommands(app, backend);
  MainForm mainForm(operations, backend, &profileCommands);
  profileCommands.Attach(mainForm);
  // The creation steps run before the window exists: it is then made once, in its final
  // state, rather than changed control by control (which under wine costs a round trip to
  // the wine server for each change).
  mainForm.Create();
  const std::unique_ptr<FormView> view = backend.CreateView(mainForm.form());
  view->Show();
  backend.RunUntilClosed(mainForm.form());
}

}  // namespace tw::ui
