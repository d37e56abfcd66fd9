#pragma once
// The 15 OverdriveN extended settings: fan curve, zero-RPM switch, memory timing level.

#include <array>
#include <cstdint>

#include "gpu/adl_abi.h"

namespace tw {

class DriverConnection;
class MessageWriter;
struct GPUItem;

using ExtRanges = std::array<adl::ADLODNExtSingleInitSetting, adl::kOdnExtCount>;
using ExtValues = std::array<int32_t, adl::kOdnExtCount>;

// Fills the outputs that are given. A list shorter than 15 entries counts as a failed read.
// A failure is reported ("Failed to read Fan curve, ...") with the driver's result.
bool ReadExtSettings(DriverConnection& connection, MessageWriter& messages, int gpuId, const GPUItem& gpu,
                     ExtRanges* ranges, ExtValues* values, bool console);

}  // namespace tw
