#pragma once
// Reading a card's current values into CurrentValues: the driver's values (gpu/), then, with
// EnableI2c on, the card's regulator values (offset, load-line, phase gain, current scale),
// which i2c/ reads. The two meet here, above both layers.

namespace tw {

class App;

// False when the driver's values could not be read (the reason has been shown). The
// regulator read opens its own connection after the driver's is closed; a card without a
// controller keeps the four regulator fields not set.
bool ReadCurrentValues(App& app, int gpuId, bool console);

}  // namespace tw
