#include "ui/app_regulator_operations.h"

#include "app/app.h"
#include "platform/clock.h"
#include "regulator/regulator_detection.h"
#include "regulator/regulator_read.h"
#include "regulator/regulator_write.h"

namespace tw::ui {

const GpuList& AppRegulatorOperations::gpus() const { return app_.gpus; }
const ProfileItem& AppRegulatorOperations::currentValues() const { return app_.currentValues; }

bool AppRegulatorOperations::DetectionInProgress() const { return app_.regulatorDetection.inProgress; }
void AppRegulatorOperations::BeginDetection() { app_.regulatorDetection.inProgress = true; }
bool AppRegulatorOperations::SearchesEveryLine() const { return app_.regulatorDetection.scan; }
void AppRegulatorOperations::Detect(RegulatorWindow* window) { DetectRegulator(app_.regulatorContext(), app_.regulatorDetection.scan, window); }
std::unique_ptr<RegulatorSearch> AppRegulatorOperations::StartSearch() { return StartRegulatorSearch(app_.regulatorContext()); }

void AppRegulatorOperations::EndDetection(bool searched, RegulatorWindow* window) {
  EndRegulatorDetection(app_.regulatorContext(), searched, window);
}

void AppRegulatorOperations::ReadValues(int gpuId, RegulatorWindow* window) {
  ReadRegulatorValues(app_.regulatorContext(), gpuId, window);
}

RegulatorRefusals AppRegulatorOperations::RefusedValues(int gpuId, int32_t offset, std::string_view phaseGain,
                                                  std::string_view currentScale) {
  return RefusedRegulatorValues(app_.regulatorContext(), gpuId, offset, phaseGain, currentScale);
}

void AppRegulatorOperations::WriteValues(int gpuId, bool reset, int32_t offset, int32_t llc,
                                         std::string_view phaseGain, std::string_view currentScale) {
  WriteRegulatorValues(app_.regulatorContext(), gpuId, reset, offset, llc, phaseGain, currentScale);
}

void AppRegulatorOperations::Sleep(uint32_t milliseconds) { app_.platform.clock.Sleep(milliseconds); }

}  // namespace tw::ui
