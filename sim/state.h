#pragma once
// The state file: what the simulated driver and machine hold now, as ini text, so that
// values survive unloading the library and separate processes, and a person can read it.

#include <optional>
#include <string>

#include "model.h"

namespace adlsim {

std::string SerializeState(const State& state);
// nullopt with `error` naming the section and key of a bad value. A state whose shape
// does not fit the scenario (other card count, other level counts) is refused the same way.
std::optional<State> ParseState(const std::string& text, const Scenario& scenario, const std::string& source,
                                std::string& error);

// One card key of the state file ("gpu", "fan", "ext", ...) into `card`, checked against the
// card's shape. Throws std::runtime_error naming the problem.
void ApplyCardStateKey(const std::string& key, const std::string& value, const CardSpec& cardSpec, CardState& card);

// Quoted text for the state file and the journal: "..." with \" \\ \r \n escapes.
std::string Quote(const std::string& text);
std::optional<std::string> Unquote(const std::string& text);

}  // namespace adlsim
