#include "ui/app_fan_power_operations.h"

#include "app/app.h"
#include "gpu/fan_test_speed.h"

namespace tw::ui {

size_t AppFanPowerOperations::cardCount() const { return app_.gpus.size(); }

bool AppFanPowerOperations::SetFanTestSpeed(int gpuId, int speed) {
  return tw::SetFanTestSpeed(app_.gpuContext(), app_.gpus.at(static_cast<size_t>(gpuId)), speed);
}

bool AppFanPowerOperations::AccessPowerFeature(int gpuId, PowerFeature feature, bool silent,
                                               std::optional<bool> newState, std::optional<int>& state) {
  return tw::AccessPowerFeature(app_.gpuContext(), app_.gpus.at(static_cast<size_t>(gpuId)), feature, silent,
                                newState, state);
}

}  // namespace tw::ui
