#include "ui/main_window.h"

#include "ui/app_main_form_operations.h"
#include "ui/form/backend.h"
#include "ui/main_form.h"

namespace tw::ui {

void RunMainWindow(App& app, UiBackend& backend) {
  AppMainFormOperations operations(app);
  // The profile commands are not part of this window yet: "Apply" and "Reset" stay disabled.
  MainForm mainForm(operations, backend, /*profileCommands=*/nullptr);
  const std::unique_ptr<FormView> view = backend.CreateView(mainForm.form());
  mainForm.Create();
  view->Show();
  backend.RunUntilClosed(mainForm.form());
}

}  // namespace tw::ui
