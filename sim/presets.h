#pragma once
// Realistic cards to start a scenario's card from ("preset = polaris"): the values of a
// Polaris, a Vega and a Navi card as their drivers report them, and another vendor's card.

#include <optional>
#include <string>

#include "model.h"

namespace adlsim {

std::optional<CardSpec> CardPreset(const std::string& name);
// A regulator or other I2C device with the registers its model answers with.
std::optional<I2cDeviceSpec> I2cDevicePreset(const std::string& model);

}  // namespace adlsim
