#include "app/app_operations.h"

#include "app/app.h"
#include "app/current_values_report.h"
#include "gpu/driver_checks.h"
#include "gpu/driver_diagnosis.h"
#include "gpu/gpu_list_builder.h"
#include "platform/clock.h"

namespace tw {

AppOperations::AppOperations(App& app, std::function<void()> runMainWindow)
    : app_(app), runMainWindow_(std::move(runMainWindow)) {}

bool AppOperations::CheckDriverLoaded() {
  return tw::CheckDriverLoaded(app_.platform.machine, app_.platform.errors, app_.messages);
}

void AppOperations::LoadSettings() { app_.vrm.consoleMode = true; }

int AppOperations::LoadProfiles() { return static_cast<int>(app_.profiles.size()); }

void AppOperations::RestoreFromBackup() {}

bool AppOperations::BuildGpuList() { return tw::BuildGpuList(app_); }

int AppOperations::DiagnoseDriver() { return tw::DiagnoseDriver(app_.platform, app_.messages); }

int AppOperations::GpuCount() const { return static_cast<int>(app_.gpus.size()); }

bool AppOperations::IsSupported(int gpu) const { return app_.gpus.at(static_cast<size_t>(gpu)).supported; }

int AppOperations::FindProfile(std::string_view name) const {
  for (size_t i = 0; i < app_.profiles.size(); ++i)
    if (app_.profiles[i].name == name) return static_cast<int>(i);
  return -1;
}

void AppOperations::DetectRegulatorsOnce() {}

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
