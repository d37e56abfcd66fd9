#pragma once
// The text the GPU selector shows for a card, shaped by four settings.

#include <string>

namespace tw {

struct GPUItem;
struct OptionSet;

std::string BuildDisplayName(const GPUItem& gpu, const OptionSet& options, bool withFriendlyName);

}  // namespace tw
