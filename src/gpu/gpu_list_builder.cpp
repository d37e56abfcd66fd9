#include "gpu/gpu_list_builder.h"

#include <memory>
#include <string>
#include <vector>

#include "gpu/display_name.h"
#include "gpu/driver_connection.h"
#include "gpu/gpu_context.h"
#include "gpu/gpu_probe.h"
#include "gpu/pci_locations.h"

namespace tw {
namespace {

std::optional<int> CountAdapters(DriverConnection& connection, MessageWriter& messages) {
  int count = 0;
  const int result = connection.api().Adapter_NumberOfAdapters_Get(connection.context(), &count);
  if (result != adl::kOk) {
    messages.ShowError("Failed to get adapters count", result);
    return std::nullopt;
  }
  return count;
}

std::optional<std::vector<adl::AdapterInfo>> ReadAdapters(DriverConnection& connection, MessageWriter& messages,
                                                          int count) {
  if (count > kMaxAdapters) {
    messages.ShowError("Failed to get adapter info");
    return std::nullopt;
  }
  std::vector<adl::AdapterInfo> adapters(static_cast<size_t>(count));  // zeroed
  const int bytes = count * static_cast<int>(sizeof(adl::AdapterInfo));
  const int result = connection.api().Adapter_AdapterInfo_Get(connection.context(), adapters.data(), bytes);
  if (result != adl::kOk) {
    messages.ShowError("Failed to get adapter info", result);
    return std::nullopt;
  }
  return adapters;
}

bool FanDeactivated(const OptionSet& options, int gpuId) {
  return !options.FanDeactivatedGpus.empty() &&
         options.FanDeactivatedGpus.find(";" + std::to_string(gpuId) + ";") != std::string::npos;
}

GPUItem MakeGpuItem(const busitem& location, int gpuId, const OptionSet& options) {
  GPUItem gpu;
  gpu.adapterIndexes = location.adapterIndexes;
  gpu.pnpShort = location.pnpShort;
  gpu.busLocation = location.busLocation;
  gpu.registryKey = location.registryKey;
  gpu.pnpString = location.pnpString;
  gpu.baseName = std::to_string(gpuId) + ": " + location.adapterName;
  gpu.displayName = BuildDisplayName(gpu, options, /*withFriendlyName=*/false);
  gpu.fanEnabled = !FanDeactivated(options, gpuId);
  return gpu;
}

void ListCards(const GpuContext& context, GpuList& gpus, DriverConnection& connection,
               const std::vector<busitem>& locations) {
  for (const busitem& location : locations) {
    const int gpuId = static_cast<int>(gpus.size());
    GPUItem gpu = MakeGpuItem(location, gpuId, context.options);
    if (location.vendorId == kAmdVendorId) ProbeCard(connection, context.messages, gpuId, gpu);
    // An unlisted card leaves its gpu_id to the next one.
    if (!gpu.supported && context.options.DoNotListUnsupported) continue;
    gpus.push_back(std::move(gpu));
  }
}

}  // namespace

std::optional<std::vector<adl::AdapterInfo>> ReadAdapterInfos(DriverConnection& connection, MessageWriter& messages) {
  const std::optional<int> count = CountAdapters(connection, messages);
  if (!count) return std::nullopt;
  if (*count < 1) return std::vector<adl::AdapterInfo>{};
  return ReadAdapters(connection, messages, *count);
}

bool BuildGpuList(const GpuContext& context, GpuList& gpus) {
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(context.platform, context.messages);
  if (!connection) return false;
  std::vector<busitem> locations;
  {
    const std::optional<std::vector<adl::AdapterInfo>> adapters = ReadAdapterInfos(*connection, context.messages);
    if (!adapters) return false;
    if (adapters->empty()) return true;
    locations = GroupAdaptersByLocation(adapters->data(), adapters->size(), context.platform.ansi);
  }
  ListCards(context, gpus, *connection, locations);
  return true;
}

}  // namespace tw
