#pragma once
// The driver reports several adapters for one card; they share the card's PCI location.
// Grouping keeps the first adapter of each location, sorted by location.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gpu/adl_abi.h"

namespace tw {

class AnsiCodePage;

struct busitem {
  std::vector<int32_t> adapterIndexes;
  uint32_t locationKey = 0;
  std::string adapterName;
  std::string pnpShort;
  std::string pnpString;
  int32_t vendorId = 0;
  std::string registryKey;
  std::string busLocation;
};

// bus << 16 | device << 8 | function, as unsigned.
uint32_t LocationKey(int32_t bus, int32_t device, int32_t function);

// The PnP string from "SUBSYS" on; the whole string when "&SUBSYS" does not occur.
std::string PnpShort(std::string_view pnpString);

// Adapters with a negative bus number are skipped; later adapters of a location add nothing.
std::vector<busitem> GroupAdaptersByLocation(const adl::AdapterInfo* adapters, size_t count, AnsiCodePage& ansi);

}  // namespace tw
