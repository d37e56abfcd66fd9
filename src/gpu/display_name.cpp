#include "gpu/display_name.h"

#include "gpu/gpu_item.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

std::string RegistryKeyTail(const std::string& registryKey) {
  const size_t at = registryKey.find("}\\");
  return at == std::string::npos ? registryKey : registryKey.substr(at + 2);
}

// "Bus: 1:0:0 | Adapter: 0 | RegKey: 0000", or without the spaces in the compact form.
std::string LocationPart(const GPUItem& gpu, const OptionSet& options, bool compact) {
  const std::string separator = compact ? "|" : " | ";
  std::string part;
  auto add = [&](const char* label, const std::string& value) {
    if (!part.empty()) part += separator;
    part += label;
    part += compact ? ":" : ": ";
    part += value;
  };
  if (options.ShowBusNumber) add("Bus", gpu.busLocation);
  if (options.ShowAdapterIndex) add("Adapter", std::to_string(gpu.adapterIndex()));
  if (options.ShowRegistryKey) add("RegKey", RegistryKeyTail(gpu.registryKey));
  return part;
}

// The base name without its "N: " card number, so cards are compared by model.
std::string AdapterName(const GPUItem& gpu) {
  const size_t at = gpu.baseName.find(": ");
  return at == std::string::npos ? gpu.baseName : gpu.baseName.substr(at + 2);
}

}  // namespace

std::string BuildDisplayName(const GPUItem& gpu, const OptionSet& options, bool withFriendlyName) {
  std::string name = gpu.baseName;
  if (withFriendlyName) name += "  (" + gpu.friendlyName + ")";
  const bool compact = options.ShowPnpString;
  if (options.ShowBusNumber || options.ShowAdapterIndex || options.ShowRegistryKey) {
    name += "  (" + LocationPart(gpu, options, compact) + ")";
    if (compact) name += " " + gpu.pnpShort;
  } else if (options.ShowPnpString) {
    name += "  (" + gpu.pnpShort + ")";
  }
  return name;
}

void AddBusToSharedNames(const std::vector<GPUItem>& gpus, std::vector<std::string>& names) {
  for (size_t i = 0; i < gpus.size() && i < names.size(); ++i) {
    const std::string model = AdapterName(gpus[i]);
    bool shared = false;
    for (size_t j = 0; j < gpus.size() && !shared; ++j) shared = j != i && AdapterName(gpus[j]) == model;
    if (!shared || names[i].compare(0, gpus[i].baseName.size(), gpus[i].baseName) != 0) continue;
    const std::string bus = gpus[i].busLocation.substr(0, gpus[i].busLocation.find(':'));
    names[i].insert(gpus[i].baseName.size(), " (bus " + bus + ")");
  }
}

}  // namespace tw
