#pragma once
// The program's entry after the platform has set up its ports.

#include <functional>
#include <string>
#include <vector>

namespace tw {

class App;

// args: the arguments after the program name, UTF-8. Without arguments the main window
// runs; with them, command-line mode. Returns the process exit status.
int RunProgram(App& app, const std::vector<std::string>& args, const std::function<void()>& runMainWindow);

}  // namespace tw
