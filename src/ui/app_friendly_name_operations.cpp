#include "ui/app_friendly_name_operations.h"

#include "app/app.h"
#include "gpu/friendly_names.h"
#include "platform/machine.h"

namespace tw::ui {

GpuList& AppFriendlyNameOperations::gpus() { return app_.gpus; }
bool AppFriendlyNameOperations::IsUserAdmin() { return app_.platform.machine.IsUserAdmin(); }

bool AppFriendlyNameOperations::SetFriendlyName(const GPUItem& gpu, std::string_view name) {
  return tw::SetFriendlyName(app_.gpuContext(), gpu, name);
}

void AppFriendlyNameOperations::ShowError(std::string_view text) { app_.messages.ShowError(text); }

}  // namespace tw::ui
