#include "app/program.h"

#include <exception>

#include "app/app.h"
#include "app/app_operations.h"
#include "app/command_line.h"

namespace tw {

int RunProgram(App& app, const std::vector<std::string>& args, const std::function<void()>& runMainWindow) {
  try {
    if (args.empty()) {
      if (runMainWindow) runMainWindow();
      return kExitSuccess;
    }
    // "-showgui" hands over to the main window after the last argument, with the lists
    // emptied: the window rebuilds them when it is created.
    AppOperations operations(app, runMainWindow);
    CommandLine commandLine(operations, app.messages);
    return commandLine.Run(args);
  } catch (const std::exception& failure) {
    // Whatever escaped every other guard is shown; the run counts as failed so that a
    // script never mistakes it for success.
    app.messages.ShowError(failure.what());
    return kExitFailure;
  }
}

}  // namespace tw
