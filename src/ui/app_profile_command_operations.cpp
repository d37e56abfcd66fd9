#include "ui/app_profile_command_operations.h"

#include "app/app.h"
#include "app/reset_gpu.h"
#include "profiles/profile_store.h"
#include "ui/app_main_form_operations.h"

namespace tw::ui {

ProfileList& AppProfileCommandOperations::profiles() { return app_.profiles; }
const GpuList& AppProfileCommandOperations::gpus() const { return app_.gpus; }
const OptionSet& AppProfileCommandOperations::options() const { return app_.options; }
const ProfileItem& AppProfileCommandOperations::currentValues() const { return app_.currentValues; }
MessageWriter& AppProfileCommandOperations::messages() { return app_.messages; }
Clock& AppProfileCommandOperations::clock() { return app_.platform.clock; }

bool AppProfileCommandOperations::SaveProfiles() {
  return tw::SaveProfiles(app_.ini(), app_.options, app_.profiles, app_.knownProfileSections);
}

RefusedParts AppProfileCommandOperations::ApplyWindowValues(int gpuId, const WindowValues& values) {
  return tw::ApplyWindowValues(app_, gpuId, values);
}

void AppProfileCommandOperations::ResetGpu(int gpuId) {
  tw::ResetGpu(app_, gpuId, /*console=*/false, /*fromCommandLine=*/false);
}

// The main window's reader: the rows a card shows read the same way wherever they go.
std::unique_ptr<CardReader> AppProfileCommandOperations::OpenCardReader(int gpuId) {
  AppMainFormOperations operations(app_);
  return operations.OpenCardReader(gpuId);
}

}  // namespace tw::ui
