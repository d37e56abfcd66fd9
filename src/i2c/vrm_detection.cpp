#include "i2c/vrm_detection.h"

#include <memory>
#include <optional>

#include "app/app.h"
#include "gpu/adl_abi.h"
#include "gpu/driver_connection.h"
#include "i2c/i2c_location.h"
#include "i2c/i2c_section.h"
#include "i2c/i2c_transfer.h"
#include "i2c/vrm_matches.h"
#include "i2c/vrm_read.h"
#include "i2c/vrm_table.h"
#include "i2c/vrm_window.h"

namespace tw {
namespace {

// Line 2 carries the card's own overdrive control and is never searched; address 127 is
// not probed.
constexpr int32_t kSearchLines[] = {1, 3, 4, 5, 6};
constexpr int32_t kLastSearchAddress = 126;
constexpr int32_t kProbeRegister = 0xFF;
// An address where nothing answers gives the driver's plain error. Any other failure is
// the line's own (a bus that is stuck, busy or not there), and a line that gives this many
// is given up: every further probe of it would fail the same way, each one slowly.
constexpr int kLineFaultLimit = 3;

std::optional<I2cLocation> FixedLocation(DriverConnection& connection, const GPUItem& gpu) {
  for (int32_t row = 0; row < kVrmRowCount; ++row) {
    const VrmItem& item = VrmTable[static_cast<size_t>(row)];
    if (item.defaultLine != 0 && VrmMatches(connection, gpu, item.defaultLine, item.defaultAddress, row))
      return I2cLocation{item.defaultLine, item.defaultAddress, row};
  }
  return std::nullopt;
}

std::optional<int32_t> RowAt(DriverConnection& connection, const GPUItem& gpu, int32_t line, int32_t address) {
  for (int32_t row = 0; row < kVrmRowCount; ++row)
    if (VrmTable[static_cast<size_t>(row)].defaultLine == 0 && VrmMatches(connection, gpu, line, address, row))
      return row;
  return std::nullopt;
}

// A failed probe only means that nothing answers there; it is never reported.
std::optional<I2cLocation> SearchLines(DriverConnection& connection, const GPUItem& gpu) {
  for (int32_t line : kSearchLines) {
    int lineFaults = 0;
    for (int32_t address = 0; address <= kLastSearchAddress && lineFaults < kLineFaultLimit; ++address) {
      int32_t result = adl::kOk;
      if (!I2cRead(connection, gpu, 1, line, address, kProbeRegister, I2cSpeed::Identify, &result)) {
        if (result != adl::kErr) ++lineFaults;
        continue;
      }
      if (const std::optional<int32_t> row = RowAt(connection, gpu, line, address))
        return I2cLocation{line, address, *row};
    }
  }
  return std::nullopt;
}

void Take(GPUItem& gpu, const I2cLocation& location) {
  gpu.i2cLine = location.line;
  gpu.i2cAddress = location.address;
  gpu.i2cController = location.controller;
  gpu.i2cFound = true;
}

void Forget(GPUItem& gpu) {
  gpu.i2cLine = gpu.i2cAddress = gpu.i2cController = -1;
  gpu.i2cFound = false;
}

void ScanCards(App& app, DriverConnection& connection) {
  for (GPUItem& gpu : app.gpus) {
    if (!gpu.supported) continue;
    std::optional<I2cLocation> found = FixedLocation(connection, gpu);
    if (!found) found = SearchLines(connection, gpu);
    if (found) Take(gpu, *found);
  }
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
    ScanCards(app, *connection);
  else
    VerifyCards(app, *connection);
  return true;
}

void DetectVrm(App& app, bool scan, VrmWindow* window) {
  const bool scanned = LocateVrm(app, scan) && scan;
  // A run that lists no card writes no section: an empty [I2C] would turn every later
  // start into a verification of nothing, and the cards would never be searched.
  if (scanned && !app.gpus.empty()) SaveI2cSection(app);
  app.vrm.inProgress = false;
  app.vrm.done = true;
  if (app.vrm.consoleMode || !window) return;
  ShowInWindow(app, *window);
}

}  // namespace tw
