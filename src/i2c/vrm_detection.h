#pragma once
// Finding each card's regulator controller, once per run, with EnableI2c on.

#include <memory>

#include "i2c/vrm_search.h"

namespace tw {

struct VrmContext;
class VrmWindow;

// scan true: searches every supported card (fixed locations first, then lines 1, 3, 4, 5
// and 6 at addresses 0 to 126; the lowest line, then address, then table row wins) and
// writes the [I2C] section. scan false: verifies the stored locations; one that no longer
// identifies leaves its card without a controller for this run and the key unchanged.
// Ends the run's detection (context.detection: in progress cleared, done set). Then, in window mode
// and with a window, shows the selected card's I2C group and values and selects the
// matching profile; command-line runs pass no window and stop before that.
void DetectVrm(const VrmContext& context, bool scan, VrmWindow* window = nullptr);

// The window's search, stepped while it is idle: null when no connection opened (the
// reason has been shown). When it has run to its end, EndVrmDetection(context, true, window)
// saves what it found.
std::unique_ptr<VrmSearch> StartVrmSearch(const VrmContext& context);

// DetectVrm's end, after a search (`searched`) or a verification: writes the [I2C] section
// after a search of a listed card, ends the run's detection and shows it in `window`.
void EndVrmDetection(const VrmContext& context, bool searched, VrmWindow* window);

// Finds the controllers as DetectVrm does, into the GPU list, but writes no [I2C] section
// and leaves the run's detection state alone: a later command still detects and saves.
// False when no connection opened (the reason has been shown).
bool LocateVrm(const VrmContext& context, bool scan);

}  // namespace tw
