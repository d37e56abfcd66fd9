#pragma once
// Reading a scenario: the machine as an ini text (documented in sim/README.md). Every bad
// value is refused with a message naming the file, the section and the key.

#include <optional>
#include <string>

#include "model.h"

namespace adlsim {

std::optional<Scenario> ParseScenario(const std::string& text, const std::string& source, std::string& error);
// The built-in rig used when there is no scenario file.
const std::string& DefaultRigText();
// Fault switches in the [faults] syntax, separated by ';' (the ADLSIM_FAULTS variable).
bool ParseFaultList(const std::string& text, Faults& faults, std::string& error);
// A short fingerprint of a scenario text: a state file made for another scenario is not used.
std::string ScenarioHash(const std::string& text);

}  // namespace adlsim
