#include "ui/app_main_form_operations.h"

#include "app/app.h"
#include "gpu/driver_checks.h"
#include "gpu/driver_connection.h"
#include "gpu/driver_diagnosis.h"
#include "gpu/driver_report.h"
#include "gpu/ext_settings.h"
#include "gpu/friendly_names.h"
#include "gpu/gpu_list_builder.h"
#include "gpu/od8_settings.h"
#include "gpu/performance_levels.h"
#include "profiles/fan_deactivated_gpus.h"
#include "profiles/profile_store.h"
#include "profiles/restore_from_backup.h"

namespace tw::ui {
namespace {

// Reads of one card inside one driver connection. The window reports every failure in
// an error box, never on a console.
class AppCardReader final : public CardReader {
 public:
  AppCardReader(App& app, std::unique_ptr<DriverConnection> connection, int gpuId)
      : app_(app), c_(std::move(connection)), gpuId_(gpuId), gpu_(app.gpus.at(static_cast<size_t>(gpuId))) {}

  bool ReadGpuLevels(std::vector<LevelReading>& levels) override {
    return ReadLevels(true, levels, "SystemClocks_Get function failed");
  }
  bool ReadMemoryLevels(std::vector<LevelReading>& levels) override {
    return ReadLevels(false, levels, "MemoryClocks_Get function failed");
  }

  bool ReadDefaultLevels(bool gpu, std::vector<LevelReading>& levels) override {
    std::optional<PerformanceLevelsBuffer> buffer = PerformanceLevelsBuffer::Create(gpu_.levelCount);
    if (!buffer) return false;
    buffer->setMode(adl::kOdnModeDefault);
    return GetLevels(gpu, *buffer) == adl::kOk && TakeLevels(*buffer, levels);
  }

  bool ReadFanControl(FanControlReading& fan) override {
    adl::ADLODNFanControl record{};
    const int result = c_->api().OverdriveN_FanControl_Get(c_->context(), gpu_.adapterIndex(), &record);
    if (result != adl::kOk) return Failed("FanControl_Get function failed", result);
    fan = {record.iMinFanLimit, record.iTargetFanSpeed, record.iTargetTemperature, record.iMinPerformanceClock};
    return true;
  }

  bool ReadPowerLimit(PowerLimitReading& power) override {
    adl::ADLODNPowerLimitSetting record{};
    const int result = c_->api().OverdriveN_PowerLimit_Get(c_->context(), gpu_.adapterIndex(), &record);
    if (result != adl::kOk) return Failed("PowerLimit_Get function failed", result);
    power = {record.iMaxOperatingTemperature, record.iTDPLimit};
    return true;
  }

  bool ReadExtSettings(ExtReading& values) override {
    return tw::ReadExtSettings(*c_, app_.messages, gpuId_, gpu_, nullptr, &values, /*console=*/false);
  }

  bool ReadOd8Settings(Od8Values& values) override {
    return tw::ReadOd8Settings(*c_, app_.messages, gpuId_, app_.gpus.at(static_cast<size_t>(gpuId_)),
                               /*fillInit=*/false, &values, /*console=*/false);
  }

 private:
  bool Failed(const char* text, int result) {
    ReportDriverFailure(app_.messages, text, result, /*console=*/false);
    return false;
  }

  bool ReadLevels(bool gpuLevels, std::vector<LevelReading>& levels, const char* failure) {
    std::optional<PerformanceLevelsBuffer> buffer = PerformanceLevelsBuffer::Create(gpu_.levelCount);
    if (!buffer) return Failed(failure, 0);
    const int result = GetLevels(gpuLevels, *buffer);
    if (result != adl::kOk) return Failed(failure, result);
    return TakeLevels(*buffer, levels);
  }

  int GetLevels(bool gpuLevels, PerformanceLevelsBuffer& buffer) {
    return gpuLevels ? c_->api().OverdriveN_SystemClocksX2_Get(c_->context(), gpu_.adapterIndex(), buffer.record())
                     : c_->api().OverdriveN_MemoryClocksX2_Get(c_->context(), gpu_.adapterIndex(), buffer.record());
  }

  static bool TakeLevels(const PerformanceLevelsBuffer& buffer, std::vector<LevelReading>& levels) {
    levels.clear();
    for (int i = 0; i < buffer.levelCount(); ++i) {
      const adl::ADLODNPerformanceLevelX2 level = buffer.level(i);
      levels.push_back({level.iClock / 100, level.iVddc, level.iEnabled > 0});  // 10 kHz to MHz
    }
    return true;
  }

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

WindowMenuSwitches AppMainFormOperations::LoadSettings() { return tw::LoadSettings(app_, /*consoleMode=*/false); }
int AppMainFormOperations::LoadProfiles() { return tw::LoadProfiles(app_); }
void AppMainFormOperations::RestoreFromBackup() { tw::RestoreFromBackup(app_, /*consoleMode=*/false); }
WindowPosition AppMainFormOperations::LoadWindowPosition() { return tw::LoadWindowPosition(app_); }

bool AppMainFormOperations::CheckDriverLoaded() {
  return tw::CheckDriverLoaded(app_.platform.machine, app_.platform.errors, app_.messages);
}

bool AppMainFormOperations::BuildGpuList() {
  app_.gpus.clear();  // the window builds the list afresh, also after "-showgui"
  return tw::BuildGpuList(app_);
}

bool AppMainFormOperations::DriverTooOld() {
  return tw::DiagnoseDriver(app_.platform, app_.messages) == kDiagnosisTooOld;
}

bool AppMainFormOperations::ListFriendlyNames(bool always) { return tw::ListFriendlyNames(app_, always); }

std::unique_ptr<CardReader> AppMainFormOperations::OpenCardReader(int gpuId) {
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(app_.platform, app_.messages);
  if (!connection) return nullptr;
  return std::make_unique<AppCardReader>(app_, std::move(connection), gpuId);
}

void AppMainFormOperations::SaveFanDeactivatedGpus() { tw::SaveFanDeactivatedGpus(app_); }

void AppMainFormOperations::SaveWindowPosition(const WindowPosition& position) {
  tw::SaveWindowPosition(app_, position);
}

}  // namespace tw::ui
