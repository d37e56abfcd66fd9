#include "app/app_operations.h"

#include "app/app.h"
#include "app/app_files.h"
#include "app/apply_profile.h"
#include "app/current_values_report.h"
#include "app/gpu_command.h"
#include "app/regulator_steps.h"
#include "app/reset_gpu.h"
#include "app/restart_gpu.h"
#include "app/snapshot.h"
#include "gpu/driver_checks.h"
#include "gpu/driver_diagnosis.h"
#include "gpu/gpu_list_builder.h"
#include "platform/clock.h"
#include "profiles/find_profile.h"
#include "profiles/profile_store.h"
#include "profiles/settings_store.h"

namespace tw {

AppOperations::AppOperations(App& app, std::function<void()> runMainWindow)
    : app_(app), runMainWindow_(std::move(runMainWindow)) {}

bool AppOperations::CheckDriverLoaded() {
  return tw::CheckDriverLoaded(app_.platform.machine, app_.platform.errors, app_.messages);
}

void AppOperations::LoadSettings() {
  IniRead mainFile;
  LoadAppSettings(app_, /*consoleMode=*/true, mainFile);
  startupIni_ = std::move(mainFile);
}

int AppOperations::LoadProfiles() {
  if (!startupIni_) return tw::LoadProfiles(app_.ini(), app_.profiles, app_.knownProfileSections);
  // Taken once: any later read (after a restore, say) must see the file as it is then.
  const IniRead mainFile = std::move(*startupIni_);
  startupIni_.reset();
  return tw::LoadProfiles(app_.ini(), mainFile, app_.profiles, app_.knownProfileSections);
}

void AppOperations::RestoreFromBackup(bool unattended) { RestoreAppFromBackup(app_, /*consoleMode=*/true, unattended); }

bool AppOperations::BuildGpuList() { return ListCards(app_); }

int AppOperations::DiagnoseDriver() { return tw::DiagnoseDriver(app_.platform, app_.messages); }

int AppOperations::GpuCount() const { return static_cast<int>(app_.gpus.size()); }

bool AppOperations::IsSupported(int gpu) const { return app_.gpus.at(static_cast<size_t>(gpu)).supported; }

int AppOperations::FindProfile(std::string_view name) const { return tw::FindProfile(app_.profiles, name); }

void AppOperations::DetectRegulatorsOnce() { tw::DetectRegulatorsOnce(app_); }

bool AppOperations::ApplyProfile(int profile, int gpu, bool console) {
  return tw::ApplyProfile(app_, profile, gpu, console);
}

void AppOperations::ResetGpu(int gpu, bool console) { tw::ResetGpu(app_, gpu, console, /*fromCommandLine=*/true); }

CompareOutcome AppOperations::CompareProfile(int profile, int gpu, std::string_view mode, bool console) {
  return tw::CompareProfile(app_, profile, gpu, mode, console);
}

bool AppOperations::RestartGpu(int gpu, bool console, bool waitForDriver) {
  return tw::RestartGpu(app_, gpu, console, waitForDriver);
}

void AppOperations::RunGpuCommand(const std::string& gpuIdText, const std::string& parameters,
                                  const std::string& commandText, bool console) {
  tw::RunGpuCommand(app_, gpuIdText, parameters, commandText, console);
}

void AppOperations::PrintCurrentValues() { tw::PrintCurrentValues(app_); }

bool AppOperations::TakeSnapshot(const std::string& fileName, bool console) {
  return tw::TakeSnapshot(app_, fileName, console);
}

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
