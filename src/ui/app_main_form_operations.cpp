#include "ui/app_main_form_operations.h"

#include "app/app.h"
#include "app/app_files.h"
#include "gpu/driver_checks.h"
#include "gpu/driver_connection.h"
#include "gpu/driver_diagnosis.h"
#include "gpu/ext_settings.h"
#include "gpu/friendly_names.h"
#include "gpu/gpu_list_builder.h"
#include "gpu/od8_settings.h"
#include "gpu/overdrive_n_readings.h"
#include "profiles/fan_deactivated_gpus.h"
#include "profiles/profile_store.h"

namespace tw::ui {
namespace {

// Reads of one card inside one driver connection. The window reports every failure in
// an error box, never on a console.
class AppCardReader final : public CardReader {
 public:
  AppCardReader(App& app, std::unique_ptr<DriverConnection> connection, int gpuId)
      : app_(app), c_(std::move(connection)), gpuId_(gpuId), gpu_(app.gpus.at(static_cast<size_t>(gpuId))) {}

  bool ReadGpuLevels(std::vector<LevelReading>& levels) override {
    return ReadOdnLevels(*c_, app_.messages, gpu_, /*gpuLevels=*/true, levels, /*console=*/false);
  }
  bool ReadMemoryLevels(std::vector<LevelReading>& levels) override {
    return ReadOdnLevels(*c_, app_.messages, gpu_, /*gpuLevels=*/false, levels, /*console=*/false);
  }

  bool ReadDefaultLevels(bool gpu, std::vector<LevelReading>& levels) override {
    return ReadOdnDefaultLevels(*c_, gpu_, gpu, levels);
  }

  bool ReadFanControl(FanControlReading& fan) override {
    return ReadOdnFanControl(*c_, app_.messages, gpu_, fan, /*console=*/false);
  }

  bool ReadPowerLimit(PowerLimitReading& power) override {
    return ReadOdnPowerLimit(*c_, app_.messages, gpu_, power, /*console=*/false);
  }

  bool ReadExtSettings(ExtReading& values) override {
    return tw::ReadExtSettings(*c_, app_.messages, gpuId_, gpu_, nullptr, &values, /*console=*/false);
  }

  bool ReadOd8Settings(Od8Values& values) override {
    return tw::ReadOd8Settings(*c_, app_.messages, gpuId_, app_.gpus.at(static_cast<size_t>(gpuId_)),
                               /*fillInit=*/false, &values, /*console=*/false);
  }

 private:
  App& app_;
  std::unique_ptr<DriverConnection> c_;
  int gpuId_;
  const GPUItem& gpu_;
};

}  // namespace

const OptionSet& AppMainFormOperations::options() const { return app_.options; }
GpuList& AppMainFormOperations::gpus() { return app_.gpus; }
bool AppMainFormOperations::anyFanDeactivated() const { return app_.anyFanDeactivated; }
const ProfileList& AppMainFormOperations::profiles() const { return app_.profiles; }
ProfileItem& AppMainFormOperations::currentValues() { return app_.currentValues; }

WindowMenuSwitches AppMainFormOperations::LoadSettings() { return LoadAppSettings(app_, /*consoleMode=*/false); }
int AppMainFormOperations::LoadProfiles() {
  return tw::LoadProfiles(app_.ini(), app_.profiles, app_.knownProfileSections);
}
void AppMainFormOperations::RestoreFromBackup() { RestoreAppFromBackup(app_, /*consoleMode=*/false); }
WindowPosition AppMainFormOperations::LoadWindowPosition() { return tw::LoadWindowPosition(app_.ini()); }

bool AppMainFormOperations::CheckDriverLoaded() {
  return tw::CheckDriverLoaded(app_.platform.machine, app_.platform.errors, app_.messages);
}

bool AppMainFormOperations::BuildGpuList() {
  app_.gpus.clear();  // the window builds the list afresh, also after "-showgui"
  return ListCards(app_);
}

bool AppMainFormOperations::DriverTooOld() {
  return tw::DiagnoseDriver(app_.platform, app_.messages) == kDiagnosisTooOld;
}

bool AppMainFormOperations::ListFriendlyNames(bool always) {
  return tw::ListFriendlyNames(app_.gpuContext(), app_.gpus, always);
}

std::unique_ptr<CardReader> AppMainFormOperations::OpenCardReader(int gpuId) {
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(app_.platform, app_.messages);
  if (!connection) return nullptr;
  return std::make_unique<AppCardReader>(app_, std::move(connection), gpuId);
}

void AppMainFormOperations::SaveFanDeactivatedGpus() {
  std::vector<bool> fanEnabled;
  for (const GPUItem& gpu : app_.gpus) fanEnabled.push_back(gpu.fanEnabled);
  const FanListSave save = tw::SaveFanDeactivatedGpus(app_.ini(), fanEnabled);
  if (save.anyDeactivated) app_.anyFanDeactivated = *save.anyDeactivated;
}

void AppMainFormOperations::SaveWindowPosition(const WindowPosition& position) {
  tw::SaveWindowPosition(app_.ini(), position);
}

}  // namespace tw::ui
