#pragma once
// Finding each card's regulator controller, once per run, with EnableI2c on.

#include <memory>

#include "regulator/regulator_search.h"

namespace tw {

struct RegulatorContext;
class RegulatorWindow;

// scan true: searches every supported card (fixed locations first, then lines 1, 3, 4, 5
// and 6 at addresses 0 to 126; the lowest line, then address, then table row wins) and
// writes the [I2C] section. scan false: verifies the stored locations; one that no longer
// identifies leaves its card without a controller for this run and the key unchanged.
// Ends the run's detection (context.detection: in progress cleared, done set). Then, in window mode
// and with a window, shows the selected card's I2C group and values and selects the
// matching profile; command-line runs pass no window and stop before that.
void DetectRegulator(const RegulatorContext& context, bool scan, RegulatorWindow* window = nullptr);

// The window's search, stepped while it is idle: null when no connection opened (the
// reason has been shown). When it has run to its end, EndRegulatorDetection(context, true, window)
// saves what it found.
std::unique_ptr<RegulatorSearch> StartRegulatorSearch(const RegulatorContext& context);

// DetectRegulator's end, after a search (`searched`) or a verification: writes the [I2C] section
// after a search of a listed card, ends the run's detection and shows it in `window`.
void EndRegulatorDetection(const RegulatorContext& context, bool searched, RegulatorWindow* window);

// Finds the controllers as DetectRegulator does, into the GPU list, but writes no [I2C] section
// and leaves the run's detection state alone: a later command still detects and saves.
// False when no connection opened (the reason has been shown).
bool LocateRegulator(const RegulatorContext& context, bool scan);

}  // namespace tw
