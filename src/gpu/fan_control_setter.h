#pragma once
// Sending the OverdriveN fan control values and making sure they arrived.

#include <cstdint>
#include <string_view>

namespace tw {

struct SetterContext;

// The four fan values the program uses, under the names the rest of the program gives them.
struct FanControlValues {
  int32_t minimumFan = 0;         // RPM: the driver's minimum fan limit
  int32_t maximumFan = 0;         // RPM: the driver's target fan speed
  int32_t targetTemperature = 0;  // °C
  int32_t acousticLimit = 0;      // MHz: the driver's minimum performance clock
};

// keepOthers (window, profiles): only the acoustic limit is the caller's; the minimum,
// maximum and target temperature are what the card holds (the caller's when the card
// cannot be read). A caller without values of its own (a profile) passes kNotSet for them,
// and for an acoustic limit it does not hold, which is then the card's too; when the card
// cannot be read either, the failure is reported with the read's result and nothing is sent. Without it (command line) all four are sent. ResetBeforeApply first
// sends the values and then the defaults (mode 1), results ignored. A refusal is reported
// with failureText (empty: "Failed to set Fan values"), explained by the card's limits
// when the driver answered -1. CheckValuesMismatch reads back and lists the differences.
bool SetFanControl(const SetterContext& context, bool keepOthers, const FanControlValues& values,
                   std::string_view failureText);

}  // namespace tw
