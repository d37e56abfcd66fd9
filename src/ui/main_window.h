#pragma once
// Window mode: the main window on whatever backend the platform provides. The program's
// entry (RunProgram) only knows a std::function that runs the window; the Windows exe
// binds it to RunMainWindow with its Win32 backend, the host build (no window) to a
// message, so the core never depends on a window system.

namespace tw {
class App;
class Registry;
class RegistryEditorWindows;
}

namespace tw::ui {

class UiBackend;

// The registry and the registry editor, which only the PowerPlay editor window needs.
struct PowerPlayWindowPorts {
  Registry& registry;
  RegistryEditorWindows& regedit;
};

// Creates the main window (its creation reads the settings, the profiles and the cards),
// shows it and returns when it has been closed. Without `powerPlay` the system menu's
// "PPTable editor" opens nothing.
void RunMainWindow(App& app, UiBackend& backend, const PowerPlayWindowPorts* powerPlay = nullptr);

}  // namespace tw::ui
