#include "i2c/vrm_detection.h"

#include <memory>

#include "app/app.h"
#include "gpu/driver_connection.h"
#include "i2c/i2c_section.h"
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

void VerifyCards(App& app, DriverConnection& connection) {
  LoadI2cSection(app);
  for (GPUItem& gpu : app.gpus) {
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

void ShowInWindow(App& app, VrmWindow& window) {
  window.RedrawI2cGroup();
  const int selected = window.SelectedGpu();
  if (selected >= 0 && static_cast<size_t>(selected) < app.gpus.size() &&
      app.gpus[static_cast<size_t>(selected)].i2cFound)
    ReadVrmValues(app, selected, &window);
  else
    ClearRegulatorValues(app.currentValues);
  window.SelectMatchingProfile();
}

}  // namespace

bool LocateVrm(App& app, bool scan) {
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(app.platform, app.messages);
  if (!connection) return false;
  if (scan)
    VrmSearch(app.gpus, std::move(connection)).RunToEnd();
  else
    VerifyCards(app, *connection);
  return true;
}

std::unique_ptr<VrmSearch> StartVrmSearch(App& app) {
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(app.platform, app.messages);
  if (!connection) return nullptr;
  return std::make_unique<VrmSearch>(app.gpus, std::move(connection));
}

void DetectVrm(App& app, bool scan, VrmWindow* window) { EndVrmDetection(app, LocateVrm(app, scan) && scan, window); }

void EndVrmDetection(App& app, bool searched, VrmWindow* window) {
  // A run that lists no card writes no section: an empty [I2C] would turn every later
  // start into a verification of nothing, and the cards would never be searched.
  if (searched && !app.gpus.empty()) SaveI2cSection(app);
  app.vrm.inProgress = false;
  app.vrm.done = true;
  if (app.vrm.consoleMode || !window) return;
  ShowInWindow(app, *window);
}

}  // namespace tw
