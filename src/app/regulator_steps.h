#pragma once
// Regulator detection for the command line: at most once per run, before the first
// command that needs it, and only with EnableI2c on.

namespace tw {

class App;

void DetectRegulatorsOnce(App& app);

}  // namespace tw
