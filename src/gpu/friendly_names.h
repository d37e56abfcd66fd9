#pragma once
// The device friendly names of the cards: read from the present display devices into the
// GPU list, and set or removed for one card. A card's device is the one whose instance id
// equals the card's PnP string.

#include <string>
#include <string_view>

#include "gpu/gpu_item.h"

namespace tw {

struct GpuContext;

// The longest friendly name the device property takes, in UTF-16 code units.
inline constexpr size_t kFriendlyNameMaxUnits = 259;

// Reads the friendly names of all present display devices. When at least one device has
// one, or `always` is set, every card's friendlyName becomes its device's name (empty
// without one), and a card with a name gets its display name with it. False, with an
// error box, when the device set cannot be taken or walked.
bool ListFriendlyNames(const GpuContext& context, GpuList& gpus, bool always);

// Sets (or, for an empty name, removes) the friendly name of the card's device. False
// with an error box when the device set fails; false without a message when the card has
// no device.
bool SetFriendlyName(const GpuContext& context, const GPUItem& gpu, std::string_view name);

// `name` cut to kFriendlyNameMaxUnits UTF-16 code units, never inside a character.
std::string CutFriendlyName(std::string_view name);

}  // namespace tw
