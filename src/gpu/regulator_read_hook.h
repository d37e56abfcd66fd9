#pragma once
// The regulator step of reading a card's current values: with EnableI2c on, the card's
// regulator values (offset, load-line, phase gain, current scale) are read into
// CurrentValues. The regulator code provides the reading; until it does, the step leaves
// the four fields not set.

namespace tw {

class App;

// Called after the driver connection of the read is closed (the regulator read opens its
// own), and only when EnableI2c is on.
void ReadRegulatorValuesIntoCurrentValues(App& app, int gpuId);

}  // namespace tw
