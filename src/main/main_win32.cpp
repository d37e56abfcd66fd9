// Entry of the Windows exe: sets up the Win32 adapters and hands over to the core.

#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/program.h"
#include "platform/platform.h"
#include "platform/win32/console_win32.h"
#include "platform/win32/dialogs_win32.h"
#include "platform/win32/display_devices_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/library_loader_win32.h"
#include "platform/win32/machine_win32.h"
#include "platform/win32/registry_editor_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_services_win32.h"
#include "platform/win32/wide.h"
#include "ui/main_window.h"
#include "ui/win32/win32_backend.h"

#if TW_SIMULATED_HARDWARE
#include "platform/simulated/simulated_display_devices.h"
#include "platform/simulated/simulated_machine.h"
#endif

// The one difference between the flavours in how libraries are found: the simulator stands
// beside the simulated-hardware exe, the real driver library only ever in the system folder.
#if TW_SIMULATED_HARDWARE
constexpr tw::win32::LibrarySearch kLibrarySearch = tw::win32::LibrarySearch::ProgramFolderFirst;
#else
constexpr tw::win32::LibrarySearch kLibrarySearch = tw::win32::LibrarySearch::SystemFolderOnly;
#endif

int wmain(int argc, wchar_t** argv) {
  using namespace tw::win32;
  if (kLibrarySearch == LibrarySearch::SystemFolderOnly) RestrictLibrarySearchToSystemFolder();
  AnsiCodePageWin32 ansi;
  ClockWin32 clock;
  ConsoleWin32 console;
  DialogsWin32 dialogs;
  FileSystemWin32 files;
  LibraryLoaderWin32 libraries(kLibrarySearch);
  SystemErrorsWin32 errors;
#if TW_SIMULATED_HARDWARE
  MachineWin32 realMachine;
  tw::simulated::SimulatorLink simulator(libraries);
  tw::simulated::SimulatedMachine machine(realMachine, simulator, [](uint32_t code) { ::SetLastError(code); });
  tw::simulated::SimulatedDisplayDevices displayDevices(simulator);
#else
  MachineWin32 machine;
  DisplayDevicesWin32 displayDevices;
#endif
  ShellWin32 shell;
  tw::Platform platform{ansi, clock, console, dialogs, files, libraries, machine, errors, displayDevices, shell};

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Narrow(argv[i]));

  try {
    tw::App app(platform);
    // The window system is set up only when a window opens: the command line needs none.
    return tw::RunProgram(app, args, [&] {
      tw::ui::win32::Win32Backend backend(dialogs);
      RegistryWin32 registry;
      RegistryEditorWin32 regedit;
      const tw::ui::PowerPlayWindowPorts powerPlay{registry, regedit};
      tw::ui::RunMainWindow(app, backend, &powerPlay);
    });
  } catch (const std::exception& failure) {
    dialogs.ShowMessage(failure.what(), "Tunewright", tw::BoxIcon::Error, true);
    return -1;
  }
}
