// A tiny Windows program that sends three console messages through the real Win32 console
// adapter and message writer; the end-to-end suite runs it under wine behind "cmd /c".

#include "messages/message_writer.h"
#include "platform/platform.h"
#include "platform/win32/console_win32.h"
#include "platform/win32/dialogs_win32.h"
#include "platform/win32/display_devices_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/library_loader_win32.h"
#include "platform/win32/machine_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_services_win32.h"
#include "profiles/option_set.h"

int main() {
  using namespace tw::win32;
  AnsiCodePageWin32 ansi;
  ClockWin32 clock;
  ConsoleWin32 console;
  DialogsWin32 dialogs;
  FileSystemWin32 files;
  LibraryLoaderWin32 libraries(LibrarySearch::SystemFolderOnly);
  MachineWin32 machine;
  SystemErrorsWin32 errors;
  DisplayDevicesWin32 displayDevices;
  ShellWin32 shell;
  tw::Platform platform{ansi, clock, console, dialogs, files, libraries, machine, errors, displayDevices, shell};
  tw::OptionSet options;
  tw::MessageWriter writer(options.IgnoreError8, platform);
  writer.ReportMessage("probe error 100%", true, -8);
  writer.ReportMessage("probe info", true, 0, tw::MessageKind::Info);
  writer.ReportMessage("probe\r\nwarning", true, 0, tw::MessageKind::Warning);
  writer.ReportMessage("probe system", true, 2, tw::MessageKind::Error, true);
  return 0;
}
