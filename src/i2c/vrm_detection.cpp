#include "i2c/vrm_detection.h"

#include <memory>

#include "gpu/driver_connection.h"
#include "i2c/i2c_section.h"
#include "i2c/vrm_context.h"
#include "i2c/vrm_matches.h"
#include "i2c/vrm_read.h"
#include "i2c/vrm_search.h"
#include "i2c/vrm_window.h"

namespace tw {
namespace {

void Forget(GPUItem& gpu) {
  gpu.i2cLine = gpu.i2cAddress = gpu.i2cController = -1;
  gpu.i2cFound = false;
}

void VerifyCards(const VrmContext& context, DriverConnection& connection) {
  LoadI2cSection(context.ini, context.gpus);
  for (GPUItem& gpu : context.gpus) {
    if (!gpu.supported || gpu.i2cLine == -1 || gpu.i2cAddress == -1) continue;
    if (VrmMatches(connection, gpu, gpu.i2cLine, gpu.i2cAddress, gpu.i2cController))
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

void ShowInWindow(const VrmContext& context, VrmWindow& window) {
  window.RedrawI2cGroup();
  const int selected = window.SelectedGpu();
  if (selected >= 0 && static_cast<size_t>(selected) < context.gpus.size() &&
      context.gpus[static_cast<size_t>(selected)].i2cFound)
    ReadVrmValues(context, selected, &window);
  else
    ClearRegulatorValues(context.currentValues);
  window.SelectMatchingProfile();
}

}  // namespace

bool LocateVrm(const VrmContext& context, bool scan) {
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(context.ini.platform, context.ini.messages);
  if (!connection) return false;
  if (scan)
    VrmSearch(context.gpus, std::move(connection)).RunToEnd();
  else
    VerifyCards(context, *connection);
  return true;
}

std::unique_ptr<VrmSearch> StartVrmSearch(const VrmContext& context) {
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(context.ini.platform, context.ini.messages);
  if (!connection) return nullptr;
  return std::make_unique<VrmSearch>(context.gpus, std::move(connection));
}

void DetectVrm(const VrmContext& context, bool scan, VrmWindow* window) {
  EndVrmDetection(context, LocateVrm(context, scan) && scan, window);
}

void EndVrmDetection(const VrmContext& context, bool searched, VrmWindow* window) {
  // A run that lists no card writes no section: an empty [I2C] would turn every later
  // start into a verification of nothing, and the cards would never be searched.
  if (searched && !context.gpus.empty()) SaveI2cSection(context.ini, context.gpus);
  context.detection.inProgress = false;
  context.detection.done = true;
  if (context.detection.consoleMode || !window) return;
  ShowInWindow(context, *window);
}

}  // namespace tw
