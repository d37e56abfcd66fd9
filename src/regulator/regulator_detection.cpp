#include "regulator/regulator_detection.h"

#include <memory>

#include "gpu/driver_connection.h"
#include "regulator/i2c_section.h"
#include "regulator/regulator_context.h"
#include "regulator/regulator_matches.h"
#include "regulator/regulator_read.h"
#include "regulator/regulator_search.h"
#include "regulator/regulator_window.h"

namespace tw {
namespace {

void Forget(GPUItem& gpu) {
  gpu.i2cLine = gpu.i2cAddress = gpu.i2cController = -1;
  gpu.i2cFound = false;
}

void VerifyCards(const RegulatorContext& context, DriverConnection& connection) {
  LoadI2cSection(context.ini, context.gpus);
  for (GPUItem& gpu : context.gpus) {
    if (!gpu.supported || gpu.i2cLine == -1 || gpu.i2cAddress == -1) continue;
    if (RegulatorMatches(connection, gpu, gpu.i2cLine, gpu.i2cAddress, gpu.i2cController))
      gpu.i2cFound = true;
    else
      Forget(gpu);  // for this run only: the stored key is tried again next start
  }
}

void ClearRegulatorValues(ProfileItem& values) {
  values.offset = kNotSet;
  values.llc = kNotSet;
  values.phaseGain = std::string(kNotSetText);
  values.currentScale = std::string(kNotSetText);
}

void ShowInWindow(const RegulatorContext& context, RegulatorWindow& window) {
  window.RedrawI2cGroup();
  const int selected = window.SelectedGpu();
  if (selected >= 0 && static_cast<size_t>(selected) < context.gpus.size() &&
      context.gpus[static_cast<size_t>(selected)].i2cFound)
    ReadRegulatorValues(context, selected, &window);
  else
    ClearRegulatorValues(context.currentValues);
  window.SelectMatchingProfile();
}

}  // namespace

bool LocateRegulator(const RegulatorContext& context, bool scan) {
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(context.ini.platform, context.ini.messages);
  if (!connection) return false;
  if (scan)
    RegulatorSearch(context.gpus, std::move(connection)).RunToEnd();
  else
    VerifyCards(context, *connection);
  return true;
}

std::unique_ptr<RegulatorSearch> StartRegulatorSearch(const RegulatorContext& context) {
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(context.ini.platform, context.ini.messages);
  if (!connection) return nullptr;
  return std::make_unique<RegulatorSearch>(context.gpus, std::move(connection));
}

void DetectRegulator(const RegulatorContext& context, bool scan, RegulatorWindow* window) {
  EndRegulatorDetection(context, LocateRegulator(context, scan) && scan, window);
}

void EndRegulatorDetection(const RegulatorContext& context, bool searched, RegulatorWindow* window) {
  // A run that lists no card writes no section: an empty [I2C] would turn every later
  // start into a verification of nothing, and the cards would never be searched.
  if (searched && !context.gpus.empty()) SaveI2cSection(context.ini, context.gpus);
  context.detection.inProgress = false;
  context.detection.done = true;
  if (context.detection.consoleMode || !window) return;
  ShowInWindow(context, *window);
}

}  // namespace tw
