#include "ui/app_regulator_operations.h"

#include "app/app.h"
#include "i2c/vrm_detection.h"
#include "i2c/vrm_read.h"
#include "i2c/vrm_write.h"
#include "platform/clock.h"

namespace tw::ui {

const GpuList& AppRegulatorOperations::gpus() const { return app_.gpus; }
const ProfileItem& AppRegulatorOperations::currentValues() const { return app_.currentValues; }

bool AppRegulatorOperations::DetectionInProgress() const { return app_.vrm.inProgress; }
void AppRegulatorOperations::BeginDetection() { app_.vrm.inProgress = true; }
bool AppRegulatorOperations::SearchesEveryLine() const { return app_.vrm.scan; }
void AppRegulatorOperations::Detect(VrmWindow* window) { DetectVrm(app_.vrmContext(), app_.vrm.scan, window); }
std::unique_ptr<VrmSearch> AppRegulatorOperations::StartSearch() { return StartVrmSearch(app_.vrmContext()); }

void AppRegulatorOperations::EndDetection(bool searched, VrmWindow* window) {
  EndVrmDetection(app_.vrmContext(), searched, window);
}

void AppRegulatorOperations::ReadValues(int gpuId, VrmWindow* window) {
  ReadVrmValues(app_.vrmContext(), gpuId, window);
}

VrmRefusals AppRegulatorOperations::RefusedValues(int gpuId, int32_t offset, std::string_view phaseGain,
                                                  std::string_view currentScale) {
  return RefusedVrmValues(app_.vrmContext(), gpuId, offset, phaseGain, currentScale);
}

void AppRegulatorOperations::WriteValues(int gpuId, bool reset, int32_t offset, int32_t llc,
                                         std::string_view phaseGain, std::string_view currentScale) {
  WriteVrmValues(app_.vrmContext(), gpuId, reset, offset, llc, phaseGain, currentScale);
}

void AppRegulatorOperations::Sleep(uint32_t milliseconds) { app_.platform.clock.Sleep(milliseconds); }

}  // namespace tw::ui
