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

}  // namespace tw
