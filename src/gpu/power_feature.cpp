#include "gpu/power_feature.h"

#include <memory>
#include <string>

#include "gpu/adl_abi.h"
#include "gpu/driver_connection.h"
#include "gpu/gpu_context.h"
#include "gpu/gpu_item.h"
#include "platform/system_errors.h"

namespace tw {
namespace {

class FeatureReporter {
 public:
  FeatureReporter(MessageWriter& messages, bool silent) : messages_(messages), silent_(silent) {}
  bool Fail(const std::string& text, int32_t code, bool isSystem = false) {
    if (!silent_) messages_.ShowError(text, code, isSystem);
    return false;
  }

 private:
  MessageWriter& messages_;
  bool silent_;
};

}  // namespace

PowerFeatureNames NamesOf(PowerFeature feature) {
  switch (feature) {
    case PowerFeature::PowerEfficiency:
      return {"ADL2_PPW_Status_Get", "ADL2_PPW_Status_Set", "Failed to set Power Efficiency"};
    case PowerFeature::Chill:
      break;
  }
  return {"ADL2_Chill_Settings_Get", "ADL2_Chill_Settings_Set", "Failed to set Chill settings"};
}

bool AccessPowerFeature(const GpuContext& context, const GPUItem& gpu, PowerFeature feature, bool silent,
                        std::optional<bool> newState, std::optional<int>& state) {
  state.reset();
  const PowerFeatureNames names = NamesOf(feature);
  FeatureReporter report(context.messages, silent);

  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(context.platform, context.messages);
  if (!connection) return true;  // already shown; nothing was read, so no state

  const auto get = connection->ResolveExtraAs<adl::Feature_Status_Get>(names.get);
  const auto set = get ? connection->ResolveExtraAs<adl::Feature_Status_Set>(names.set) : nullptr;
  if (!get || !set)
    return report.Fail("Failed to get " + std::string(names.get) + " function pointers",
                       static_cast<int32_t>(context.platform.errors.LastError()), true);

  const int adapter = gpu.adapterIndex();
  if (newState) {
    const int result = set(connection->context(), adapter, *newState ? 1 : 0);
    if (result != adl::kOk) return report.Fail(std::string(names.set) + " function failed", result);
  }
  int value = 0;
  const int result = get(connection->context(), adapter, &value);
  if (result != adl::kOk) return report.Fail(std::string(names.get) + " function failed", result);
  if (newState && value != (*newState ? 1 : 0)) return report.Fail(std::string(names.failure), 0);
  state = value;
  return true;
}

}  // namespace tw
