#pragma once
// The parameters of a per-GPU command ("-ac0 gpu_p2=1100;900 power_target=20"): each one laid
// over the card's current values. Keywords are matched case-insensitively by their beginning.

#include <optional>
#include <string>

#include "profiles/profile_item.h"

namespace tw {

// Values of a per-GPU command that are not card values: they switch things on the card.
struct GpuCommandSwitches {
  std::string constantFanSpeed;  // "auto" or a percentage, checked when used
  std::string powerEfficiency;   // "on", "1", "off" or "0", checked when used
  std::string chill;
};

// Lays one parameter over `values`. Returns the message to report when the parameter is
// wrong (a value typed as -500, the program's own "not set" marker, is wrong too: it would
// never reach the card as typed); throws ConversionError when a number in it is not an
// integer. `command` is the
// command as typed and `gpu` the card, both for the messages.
std::optional<std::string> ApplyGpuCommandParameter(const std::string& parameter, const std::string& command,
                                                     int gpu, ProfileItem& values, GpuCommandSwitches& switches);

}  // namespace tw
