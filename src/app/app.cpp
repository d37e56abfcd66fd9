#include "app/app.h"

#include "gpu/gpu_list_builder.h"
#include "platform/machine.h"

namespace tw {

App::App(Platform& platform)
    : platform(platform),
      paths(ComputeAppPaths(platform.machine.ExecutablePath())),
      messages(options.IgnoreError8, platform) {}

bool ListCards(App& app) {
  const size_t before = app.gpus.size();
  const bool built = BuildGpuList(app.gpuContext(), app.gpus);
  for (size_t id = before; id < app.gpus.size(); ++id)
    if (!app.gpus[id].fanEnabled) app.anyFanDeactivated = true;
  return built;
}

}  // namespace tw
