#pragma once
// The I2C group's operations carried out on the real program state.

#include "ui/regulator_group.h"

namespace tw {
class App;
}

namespace tw::ui {

class AppRegulatorOperations final : public RegulatorOperations {
 public:
  explicit AppRegulatorOperations(App& app) : app_(app) {}

  const GpuList& gpus() const override;
  const ProfileItem& currentValues() const override;

  bool DetectionInProgress() const override;
  void BeginDetection() override;
  bool SearchesEveryLine() const override;
  void Detect(RegulatorWindow* window) override;
  std::unique_ptr<RegulatorSearch> StartSearch() override;
  void EndDetection(bool searched, RegulatorWindow* window) override;

  void ReadValues(int gpuId, RegulatorWindow* window) override;
  RegulatorRefusals RefusedValues(int gpuId, int32_t offset, std::string_view phaseGain,
                            std::string_view currentScale) override;
  void WriteValues(int gpuId, bool reset, int32_t offset, int32_t llc, std::string_view phaseGain,
                   std::string_view currentScale) override;
  void Sleep(uint32_t milliseconds) override;

 private:
  App& app_;
};

}  // namespace tw::ui
