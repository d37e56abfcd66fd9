#include "gpu/pci_locations.h"

#include <algorithm>

#include "gpu/adapter_text.h"

namespace tw {

uint32_t LocationKey(int32_t bus, int32_t device, int32_t function) {
  return (static_cast<uint32_t>(bus) << 16) | (static_cast<uint32_t>(device) << 8) | static_cast<uint32_t>(function);
}

std::string PnpShort(std::string_view pnpString) {
  const size_t at = pnpString.find("&SUBSYS");
  if (at == std::string_view::npos) return std::string(pnpString);
  return std::string(pnpString.substr(at + 1));
}

namespace {

busitem MakeBusItem(const adl::AdapterInfo& adapter, uint32_t key, AnsiCodePage& ansi) {
  busitem item;
  item.adapterIndexes = {adapter.iAdapterIndex};
  item.locationKey = key;
  item.adapterName = AdapterText(adapter.strAdapterName, ansi);
  item.pnpString = AdapterText(adapter.strPNPString, ansi);
  item.pnpShort = PnpShort(item.pnpString);
  item.vendorId = adapter.iVendorID;
  item.registryKey = AdapterText(adapter.strDriverPath, ansi);
  item.busLocation = std::to_string(adapter.iBusNumber) + ":" + std::to_string(adapter.iDeviceNumber) + ":" +
                     std::to_string(adapter.iFunctionNumber);
  return item;
}

}  // namespace

std::vector<busitem> GroupAdaptersByLocation(const adl::AdapterInfo* adapters, size_t count, AnsiCodePage& ansi) {
  std::vector<busitem> locations;
  for (size_t i = 0; i < count; ++i) {
    const adl::AdapterInfo& adapter = adapters[i];
    if (adapter.iBusNumber < 0) continue;
    const uint32_t key = LocationKey(adapter.iBusNumber, adapter.iDeviceNumber, adapter.iFunctionNumber);
    const auto at = std::lower_bound(locations.begin(), locations.end(), key,
                                     [](const busitem& item, uint32_t k) { return item.locationKey < k; });
    if (at != locations.end() && at->locationKey == key) continue;
    locations.insert(at, MakeBusItem(adapter, key, ansi));
  }
  return locations;
}

}  // namespace tw
