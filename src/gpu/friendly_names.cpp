#include "gpu/friendly_names.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "base/text.h"
#include "gpu/display_name.h"
#include "gpu/gpu_context.h"
#include "platform/display_devices.h"

namespace tw {
namespace {

struct FriendlyNameItem {  // fsItem: one device that has a friendly name
  std::string instanceId;
  std::string friendlyName;
};

std::unique_ptr<DisplayDeviceSet> OpenDevices(const GpuContext& context) {
  uint32_t error = 0;
  std::unique_ptr<DisplayDeviceSet> set = context.platform.displayDevices.OpenPresent(error);
  if (!set) context.messages.ShowError("SetupDiGetClassDevs function failed", static_cast<int32_t>(error), true);
  return set;
}

std::optional<std::string> ReadInstanceId(const GpuContext& context, DisplayDeviceSet& set, uint32_t index) {
  uint32_t error = 0;
  std::optional<std::string> id = set.InstanceId(index, error);
  if (!id) context.messages.ShowError("SetupDiGetDeviceInstanceId function failed", static_cast<int32_t>(error), true);
  return id;
}

}  // namespace

std::string CutFriendlyName(std::string_view name) {
  std::u16string units = Utf8ToUtf16(name);
  if (units.size() <= kFriendlyNameMaxUnits) return std::string(name);
  size_t keep = kFriendlyNameMaxUnits;
  // A high surrogate whose partner would be cut off goes too.
  if (units[keep - 1] >= 0xD800 && units[keep - 1] <= 0xDBFF) --keep;
  units.resize(keep);
  return Utf16ToUtf8(units);
}

bool ListFriendlyNames(const GpuContext& context, GpuList& gpus, bool always) {
  const std::unique_ptr<DisplayDeviceSet> set = OpenDevices(context);
  if (!set) return false;
  std::vector<FriendlyNameItem> found;
  for (uint32_t index = 0; set->HasDevice(index); ++index) {
    std::optional<std::string> id = ReadInstanceId(context, *set, index);
    if (!id) return false;
    uint32_t error = 0;
    // A device without the property (or whose property cannot be read) has no name.
    if (std::optional<std::string> name = set->FriendlyName(index, error))
      found.push_back({std::move(*id), std::move(*name)});
  }
  if (found.empty() && !always) return true;
  for (GPUItem& gpu : gpus) {
    gpu.friendlyName.clear();
    for (const FriendlyNameItem& item : found) {
      if (item.instanceId != gpu.pnpString) continue;
      gpu.friendlyName = item.friendlyName;
      break;
    }
    if (!gpu.friendlyName.empty()) gpu.displayName = BuildDisplayName(gpu, context.options, /*withFriendlyName=*/true);
  }
  return true;
}

bool SetFriendlyName(const GpuContext& context, const GPUItem& gpu, std::string_view name) {
  const std::string& pnpString = gpu.pnpString;
  const std::unique_ptr<DisplayDeviceSet> set = OpenDevices(context);
  if (!set) return false;
  for (uint32_t index = 0; set->HasDevice(index); ++index) {
    const std::optional<std::string> id = ReadInstanceId(context, *set, index);
    if (!id) return false;
    if (*id != pnpString) continue;
    uint32_t error = 0;
    bool done = true;
    if (name.empty()) {
      if (set->FriendlyName(index, error)) done = set->RemoveFriendlyName(index, error);
    } else {
      done = set->SetFriendlyName(index, CutFriendlyName(name), error);
    }
    if (!done)
      context.messages.ShowError("SetupDiSetDeviceRegistryProperty function failed", static_cast<int32_t>(error), true);
    return done;
  }
  return false;
}

}  // namespace tw
