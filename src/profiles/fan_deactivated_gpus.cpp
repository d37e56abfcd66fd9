#include "profiles/fan_deactivated_gpus.h"

#include <string>

#include "app/app.h"
#include "base/text.h"
#include "profiles/ini_file.h"
#include "profiles/ini_values.h"

namespace tw {
namespace {

constexpr std::string_view kKey = "FanDeactivatedGpus";

std::string DeactivatedList(const GpuList& gpus) {
  std::string list;
  for (size_t id = 0; id < gpus.size(); ++id) {
    if (gpus[id].fanEnabled) continue;
    if (!list.empty()) list += ';';
    list += std::to_string(id);
  }
  return list;
}

}  // namespace

bool IsFanDeactivated(std::string_view wrappedList, int gpuId) {
  return Contains(wrappedList, ";" + std::to_string(gpuId) + ";");
}

bool SaveFanDeactivatedGpus(App& app) {
  const std::string list = DeactivatedList(app.gpus);
  std::optional<IniDocument> main = LoadIniForRewrite(app.platform, app.messages, app.paths.iniPath);
  if (!main) return false;
  if (list.empty()) {
    main->RemoveKey(kGeneralSection, kKey);
  } else {
    main->SetValue(kGeneralSection, kKey, list);
  }
  app.anyFanDeactivated = !list.empty();
  return SaveIniFile(app.platform, app.messages, app.paths.iniPath, *main);
}

}  // namespace tw
