#pragma once
// Explaining a failed OverdriveN set: when the driver refused values (-1), its allowed
// ranges tell which limit was crossed. The text is appended to the setter's own failure
// text: " (ErrorCode: -1) (Values are above driver limits)\nCurrent limits for GPU n:\n..."

#include <optional>
#include <string>

#include "gpu/adl_abi.h"

namespace tw {

class DriverConnection;
class PerformanceLevelsBuffer;
struct GPUItem;

// The limits text when a value lies outside the card's ranges; nullopt when every value
// is inside or the ranges cannot be read. Needs an open connection; reports nothing.
// gpuLevels: the record holds GPU levels (true) or memory levels (false).
std::optional<std::string> CheckDriverLimits(DriverConnection& connection, int gpuId, const GPUItem& gpu,
                                             const PerformanceLevelsBuffer& levels, bool gpuLevels);
std::optional<std::string> CheckDriverLimits(DriverConnection& connection, int gpuId, const GPUItem& gpu,
                                             const adl::ADLODNFanControl& fan);
std::optional<std::string> CheckDriverLimits(DriverConnection& connection, int gpuId, const GPUItem& gpu,
                                             const adl::ADLODNPowerLimitSetting& power);

}  // namespace tw
