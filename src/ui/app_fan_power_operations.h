#pragma once
// The fan test and power menus' operations carried out on the real program state.

#include "ui/fan_power_menus.h"

namespace tw {
class App;
}

namespace tw::ui {

class AppFanPowerOperations final : public FanPowerOperations {
 public:
  explicit AppFanPowerOperations(App& app) : app_(app) {}

  size_t cardCount() const override;
  bool SetFanTestSpeed(int gpuId, int speed) override;
  bool AccessPowerFeature(int gpuId, PowerFeature feature, bool silent, std::optional<bool> newState,
                          std::optional<int>& state) override;

 private:
  App& app_;
};

}  // namespace tw::ui
