#include "profiles/state_value.h"

namespace tw {

std::optional<StateValueFields> SplitStateValue(std::string_view value) {
  const size_t first = value.find(';');
  if (first == std::string_view::npos) return std::nullopt;
  StateValueFields fields;
  fields.clock = value.substr(0, first);
  const std::string_view rest = value.substr(first + 1);
  const size_t second = rest.find(';');
  fields.voltage = rest.substr(0, second);
  if (second == std::string_view::npos) return fields;
  if (rest.substr(second + 1) != "0") return std::nullopt;
  fields.enabled = false;
  return fields;
}

}  // namespace tw
