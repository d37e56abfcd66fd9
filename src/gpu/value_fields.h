#pragma once
// Whether values fit the driver fields they travel in. Clocks reach an OverdriveN card in
// 10 kHz units in a signed 32-bit field, so a clock above 21474836 MHz cannot be sent at
// all (multiplied, it would wrap round to another clock); every other value the program
// sends to a card goes in the unit it is given in. The command line, profiles and the
// window check here before anything is sent, so that a value never arrives as another.

#include <cstdint>
#include <optional>
#include <string>

#include "gpu/gpu_item.h"
#include "profiles/profile_item.h"

namespace tw {

// The clock in the driver's 10 kHz, or nullopt when it does not fit.
std::optional<int32_t> OverdriveNClock(int32_t mhz);

// A value that cannot reach the card, as a profile would store it.
struct UnsendableValue {
  std::string key;   // "GPU_P7", "Mem_P0"
  std::string text;  // "1073743324;1150", with ";0" for a disabled state
};

// The first state that `gpu` would be sent from `values` (the first gpuStateCount GPU and
// memStateCount memory states the values hold) whose clock does not fit; nullopt when all do.
std::optional<UnsendableValue> FirstUnsendableValue(const ProfileItem& values, const GPUItem& gpu);

}  // namespace tw
