#pragma once
// The one display every wine process of the suite shares.
//
// Wine's desktop belongs to the display of the process that started the prefix's server.
// A server started without a display (the unit suite under wine, a run a moment ago)
// gives a desktop on which message boxes return at once, unseen, to whoever comes next
// within the server's linger time, display or not. So the suite ends any server it finds,
// gives itself a display of its own (an Xvfb) and every run inherits it.

#include <string>
#include <vector>

#include "harness.h"

namespace tw::e2e {

// Idempotent; call before starting anything under wine. Throws when no display can be had.
void PrepareWineSession();

// build/gui-shots/, where the window runs keep their screenshots.
fs::path GuiShotFolder();

// Starts the simulated-hardware Tunewright.exe without arguments in `folder`, with the full
// simulated library beside it, and drives it with tests/win32/gui_driver.exe and `commands`.
// A window left open by a failed driver run is ended, so that the run cannot hang; the last
// line then says "EXIT " and the program's status. Every screenshot (BMP) the driver saved
// is kept as build/gui-shots/<shots>-<name>.png.
RunResult RunWindowScenario(const fs::path& folder, const std::string& shots, const std::vector<std::string>& commands);

}  // namespace tw::e2e
