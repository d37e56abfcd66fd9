#pragma once
// Two driver features a card can switch: Power Efficiency and Chill. Their entry points are
// not among those every connection needs: they are looked up in the library of the
// connection this operation opens.

#include <optional>
#include <string_view>

namespace tw {

struct GPUItem;
struct GpuContext;

enum class PowerFeature { PowerEfficiency, Chill };

struct PowerFeatureNames {
  std::string_view get;
  std::string_view set;
  std::string_view failure;  // shown when the card reads back another state than was set
};

PowerFeatureNames NamesOf(PowerFeature feature);

// newState: nullopt only reads; true/false switches the feature and reads it back.
// state: the value read, on success. silent suppresses every report of this operation.
// Failures: a missing entry point ("Failed to get <Get> function pointers" with the system
// error), a refused call ("<name> function failed" with the driver's result), a read-back
// that differs (the feature's failure text, no code). When no connection can be opened,
// the connection has shown why and the operation answers true without a state: callers
// must treat a missing state as "unknown".
bool AccessPowerFeature(const GpuContext& context, const GPUItem& gpu, PowerFeature feature, bool silent,
                        std::optional<bool> newState, std::optional<int>& state);

}  // namespace tw
