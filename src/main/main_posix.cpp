// Entry of the host program: the core and command line against the simulator, no window.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/program.h"
#include "platform/platform.h"
#include "platform/posix/console_posix.h"
#include "platform/posix/dialogs_posix.h"
#include "platform/posix/file_system_posix.h"
#include "platform/posix/last_error.h"
#include "platform/posix/library_loader_posix.h"
#include "platform/posix/machine_posix.h"
#include "platform/posix/shell_posix.h"
#include "platform/posix/system_services_posix.h"
#include "platform/simulated/simulated_display_devices.h"
#include "platform/simulated/simulated_machine.h"
#include "version.h"

namespace {

void ExplainMissingWindow() {
  std::fprintf(stderr,
               "tunewright %s: the host build has no window; run it with command-line arguments, for example\n"
               "  tunewright -consoleonly -getcurrent\n",
               tw::kVersionText);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tw::posix;
  // The host has no display driver: the simulator beside the program is the machine's.
  MachinePosix realMachine;
  AnsiCodePagePosix ansi;
  ClockPosix clock;
  ConsolePosix console;
  DialogsPosix dialogs;
  FileSystemPosix files;
  LibraryLoaderPosix libraries(realMachine.ExecutablePath().parent_path());
  SystemErrorsPosix errors;
  tw::simulated::SimulatorLink simulator(libraries);
  tw::simulated::SimulatedMachine machine(realMachine, simulator, [](uint32_t code) { SetLastError(code); });
  tw::simulated::SimulatedDisplayDevices displayDevices(simulator);
  ShellPosix shell;
  tw::Platform platform{ansi, clock, console, dialogs, files, libraries, machine, errors, displayDevices, shell};

  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    tw::App app(platform);
    return tw::RunProgram(app, args, ExplainMissingWindow);
  } catch (const std::exception& failure) {
    dialogs.ShowMessage(failure.what(), "Tunewright", tw::BoxIcon::Error, true);
    return -1;
  }
}
