#include "gpu/friendly_names.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/app.h"
#include "base/text.h"
#include "gpu/display_name.h"
#include "platform/display_devices.h"

namespace tw {
namespace {

struct FriendlyNameItem {  // fsItem: one device that has a friendly name
  std::string instanceId;
  std::string friendlyName;
};

std::unique_ptr<DisplayDeviceSet> OpenDevices(App& app) {
  uint32_t error = 0;
  std::unique_ptr<DisplayDeviceSet> set = app.platform.displayDevices.OpenPresent(error);
  if (!set) app.messages.ShowError("SetupDiGetClassDevs function failed", static_cast<int32_t>(error), true);
  return set;
}

std::optional<std::string> ReadInstanceId(App& app, DisplayDeviceSet& set, uint32_t index) {
  uint32_t error = 0;
  std::optional<std::string> id = set.InstanceId(index, error);
  if (!id) app.messages.ShowError("SetupDiGetDeviceInstanceId function failed", static_cast<int32_t>(error), true);
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

bool ListFriendlyNames(App& app, bool always) {
  const std::unique_ptr<DisplayDeviceSet> set = OpenDevices(app);
  if (!set) return false;
  std::vector<FriendlyNameItem> found;
  for (uint32_t index = 0; set->HasDevice(index); ++index) {
    std::optional<std::string> id = ReadInstanceId(app, *set, index);
    if (!id) return false;
    uint32_t error = 0;
    // A device without the property (or whose property cannot be read) has no name.
    if (std::optional<std::string> name = set->FriendlyName(index, error))
      found.push_back({std::move(*id), std::move(*name)});
  }
  if (found.empty() && !always) return true;
  for (GPUItem& gpu : app.gpus) {
    gpu.friendlyName.clear();
    for (const FriendlyNameItem& item : found) {
      if (item.instanceId != gpu.pnpString) continue;
      gpu.friendlyName = item.friendlyName;
      break;
    }
    if (!gpu.friendlyName.empty()) gpu.displayName = BuildDisplayName(gpu, app.options, /*withFriendlyName=*/true);
  }
  return true;
}

bool SetFriendlyName(App& app, int gpuId, std::string_view name) {
  if (gpuId < 0 || static_cast<size_t>(gpuId) >= app.gpus.size()) return false;
  const std::string& pnpString = app.gpus[static_cast<size_t>(gpuId)].pnpString;
  const std::unique_ptr<DisplayDeviceSet> set = OpenDevices(app);
  if (!set) return false;
  for (uint32_t index = 0; set->HasDevice(index); ++index) {
    const std::optional<std::string> id = ReadInstanceId(app, *set, index);
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
      app.messages.ShowError("SetupDiSetDeviceRegistryProperty function failed", static_cast<int32_t>(error), true);
    return done;
  }
  return false;
}

}  // namespace tw
