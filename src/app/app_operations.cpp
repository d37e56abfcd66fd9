#include "app/app_operations.h"

#include "app/app.h"
#include "app/current_values_report.h"
#include "gpu/driver_checks.h"
#include "gpu/driver_diagnosis.h"
#include "gpu/gpu_list_builder.h"
#include "i2c/vrm_detection.h"
#include "platform/clock.h"
#include "profiles/find_profile.h"
#include "profiles/profile_store.h"
#include "profiles/restore_from_backup.h"
#include "profiles/settings_store.h"

namespace tw {

AppOperations::AppOperations(App& app, std::function<void()> runMainWindow)
    : app_(app), runMainWindow_(std::move(runMainWindow)) {}

bool AppOperations::CheckDriverLoaded() {
  return tw::CheckDriverLoaded(app_.platform.machine, app_.platform.errors, app_.messages);
}

void AppOperations::LoadSettings() { tw::LoadSettings(app_, /*consoleMode=*/true); }

int AppOperations::LoadProfiles() { return tw::LoadProfiles(app_); }

void AppOperations::RestoreFromBackup() { tw::RestoreFromBackup(app_, /*consoleMode=*/true); }

bool AppOperations::BuildGpuList() { return tw::BuildGpuList(app_); }

int AppOperations::DiagnoseDriver() { return tw::DiagnoseDriver(app_.platform, app_.messages); }

int AppOperations::GpuCount() const { return static_cast<int>(app_.gpus.size()); }

bool AppOperations::IsSupported(int gpu) const { return app_.gpus.at(static_cast<size_t>(gpu)).supported; }

int AppOperations::FindProfile(std::string_view name) const { return tw::FindProfile(app_.profiles, name); }

void AppOperations::DetectRegulatorsOnce() {
  if (!app_.options.EnableI2c || app_.vrm.done) return;
  DetectVrm(app_, app_.vrm.scan, /*window=*/nullptr);
}

bool AppOperations::ApplyProfile(int, int, bool) { return false; }

void AppOperations::ResetGpu(int, bool) {}

bool AppOperations::CompareProfile(int, int, std::string_view, bool) { return false; }

bool AppOperations::RestartGpu(int, bool, bool) { return false; }

void AppOperations::RunGpuCommand(const std::string&, const std::string&, const std::string&, bool) {}

void AppOperations::PrintCurrentValues() { tw::PrintCurrentValues(app_); }

void AppOperations::Sleep(int milliseconds) {
  if (milliseconds > 0) app_.platform.clock.Sleep(static_cast<uint32_t>(milliseconds));
}

void AppOperations::ClearLists() {
  app_.gpus.clear();
  app_.profiles.clear();
}

void AppOperations::RunMainWindow() {
  if (runMainWindow_) runMainWindow_();
}

}  // namespace tw
