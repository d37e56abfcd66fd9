#pragma once
// Discovery: the driver's adapters become the list of cards, one per PCI location, sorted
// by location. A card's position in the list is its gpu_id.

#include <optional>
#include <vector>

#include "gpu/adl_abi.h"
#include "gpu/gpu_item.h"

namespace tw {

struct GpuContext;
class DriverConnection;
class MessageWriter;

inline constexpr int kAmdVendorId = 1002;  // as the driver reports it, in decimal
// More adapters than this are not believed: the adapter array would be absurdly large.
inline constexpr int kMaxAdapters = 16384;

// Counts and reads the adapter records; an empty list when there are none. nullopt when
// either call fails or the count is beyond belief (the reason has been shown).
std::optional<std::vector<adl::AdapterInfo>> ReadAdapterInfos(DriverConnection& connection, MessageWriter& messages);

// Appends one GPUItem per card to `gpus` within one driver connection. False when the
// connection cannot be opened or the adapters cannot be counted or read (the reason has
// been shown); true otherwise, also with no adapters at all.
bool BuildGpuList(const GpuContext& context, GpuList& gpus);

}  // namespace tw
