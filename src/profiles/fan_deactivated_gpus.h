#pragma once
// The cards whose fan control the user switched off, kept as "FanDeactivatedGpus".

#include <optional>
#include <string_view>
#include <vector>

namespace tw {

struct IniContext;

// Whether gpu_id is listed in the option text as read at start (wrapped in ";").
bool IsFanDeactivated(std::string_view wrappedList, int gpuId);

struct FanListSave {
  bool saved = false;                  // false when the file could not be read or written
  std::optional<bool> anyDeactivated;  // what the file now says, once it was read
};

// Rewrites the key from the cards' fan switches, one per card in card order (removes the
// key when none is off).
FanListSave SaveFanDeactivatedGpus(const IniContext& ini, const std::vector<bool>& fanEnabled);

}  // namespace tw
