#include "platform/win32/main_window_win32.h"

#include <string>

#include "platform/dialogs.h"
#include "version.h"

namespace tw::win32 {

void RunMainWindow(Dialogs& dialogs) {
  const std::string text = std::string("Tunewright ") + kVersionText +
                           "\r\n\r\nThis version works from the command line only; its main window is not "
                           "available yet.\r\nRun Tunewright.exe from a command prompt with -consoleonly and a "
                           "command, for example:\r\n\r\n  Tunewright.exe -consoleonly -getcurrent";
  dialogs.ShowMessage(text, "Tunewright", BoxIcon::Information, false);
}

}  // namespace tw::win32
