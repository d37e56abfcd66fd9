#include "app/restart_gpu.h"

#include <string>

#include "app/app.h"
#include "gpu/driver_connection.h"
#include "gpu/driver_list.h"
#include "platform/clock.h"
#include "platform/machine.h"
#include "powerplay/device_restart.h"

namespace tw {
namespace {

// Whether the driver answers for the card again: the call a later command would make first.
bool DriverAnswers(DriverConnection& connection, const GPUItem& gpu) {
  const DriverEntryPoints& api = connection.api();
  if (gpu.overdriveVersion == adl::kOverdriveN) {
    adl::ADLODNPowerLimitSetting power{};
    return api.OverdriveN_PowerLimit_Get(connection.context(), gpu.adapterIndex(), &power) == adl::kOk;
  }
  int count = kOd8SettingCount;
  DriverList<int> values;
  const int result =
      api.Overdrive8_Current_SettingX2_Get(connection.context(), gpu.adapterIndex(), &count, values.out());
  return result == adl::kOk && values;
}

void WaitForDriver(App& app, const GPUItem& gpu) {
  for (int attempt = 0; attempt < kDriverWaitAttempts; ++attempt) {
    app.platform.clock.Sleep(kDriverWaitMilliseconds);
    std::unique_ptr<DriverConnection> connection = OpenDriverConnection(app.platform, app.messages);
    if (connection && DriverAnswers(*connection, gpu)) return;
  }
}

}  // namespace

bool RestartGpu(App& app, int gpuId, bool console, bool waitForDriver) {
  const GPUItem& gpu = app.gpus.at(static_cast<size_t>(gpuId));
  const std::string gpuText = std::to_string(gpuId);
  if (!app.platform.machine.IsUserAdmin()) {
    app.messages.ReportMessage("-t command requires administrator rights, failed to restart GPU " + gpuText, console);
    return false;
  }
  if (!RestartDevice(app.platform.displayDevices, app.messages, gpu.pnpString)) {
    app.messages.ReportMessage("Failed to restart GPU " + gpuText, console);
    return false;
  }
  if (waitForDriver && gpu.supported) WaitForDriver(app, gpu);
  return true;
}

}  // namespace tw
