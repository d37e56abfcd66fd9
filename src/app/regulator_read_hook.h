#pragma once
// The regulator step of reading a card's current values: with EnableI2c on, the card's
// regulator values (offset, load-line, phase gain, current scale) are read into
// CurrentValues (i2c/vrm_read.h). The caller has set the four fields to not set, so a card
// without a controller keeps them so. It lives here, not in gpu/, because the regulator read is
// i2c/'s, a layer above gpu/.

namespace tw {

class App;

// Called after the driver connection of the read is closed (the regulator read opens its
// own), and only when EnableI2c is on.
void ReadRegulatorValuesIntoCurrentValues(App& app, int gpuId);

}  // namespace tw
