#include "profiles/fan_deactivated_gpus.h"

#include <string>

#include "app/app.h"
#include "base/text.h"
#include "ini/ini_file.h"
#include "ini/ini_values.h"

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
  bool read = false;
  const bool saved = RewriteIniFile(app.platform, app.messages, app.paths.iniPath, [&](IniDocument& main) {
    read = true;
    if (list.empty()) {
      main.RemoveKey(kGeneralSection, kKey);
    } else {
      main.SetValue(kGeneralSection, kKey, list);
    }
    return true;
  });
  if (read) app.anyFanDeactivated = !list.empty();
  return saved;
}

}  // namespace tw
