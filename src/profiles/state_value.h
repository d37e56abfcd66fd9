#pragma once
// The value of a P-state, in a profile ("GPU_P1=1000;800;0") or on the command line
// ("gpu_p1=1000;800;0"): clock and voltage, and a third field that may only be "0", which
// disables the state. The fields are split here and converted by their callers, which
// differ in what else they take ("*" to keep a value, blanks around numbers).

#include <optional>
#include <string_view>

namespace tw {

struct StateValueFields {
  std::string_view clock;
  std::string_view voltage;
  bool enabled = true;
};

// nullopt when there is no ";", or when a third field is present and is not exactly "0"
// (such a value is refused, never read as another number).
std::optional<StateValueFields> SplitStateValue(std::string_view value);

}  // namespace tw
