#pragma once
// The text the GPU selector shows for a card, shaped by four settings.

#include <string>
#include <vector>

namespace tw {

struct GPUItem;
struct OptionSet;

std::string BuildDisplayName(const GPUItem& gpu, const OptionSet& options, bool withFriendlyName);

// Two identical cards would otherwise look alike in the selector; each card whose adapter
// name another card shares gets " (bus N)" after its base name. names[i] belongs to gpus[i].
void AddBusToSharedNames(const std::vector<GPUItem>& gpus, std::vector<std::string>& names);

}  // namespace tw
