#pragma once

namespace tw {
class Dialogs;
}

namespace tw::win32 {

// Window mode. The main window is not part of this version: the user is told so, and
// where to find the command line, instead of getting a window that cannot tune anything.
void RunMainWindow(Dialogs& dialogs);

}  // namespace tw::win32
