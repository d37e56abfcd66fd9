#include "profiles/fan_deactivated_gpus.h"

#include <string>

#include "base/text.h"
#include "ini/ini_file.h"
#include "ini/ini_values.h"
#include "profiles/ini_context.h"

namespace tw {
namespace {

constexpr std::string_view kKey = "FanDeactivatedGpus";

std::string DeactivatedList(const std::vector<bool>& fanEnabled) {
  std::string list;
  for (size_t id = 0; id < fanEnabled.size(); ++id) {
    if (fanEnabled[id]) continue;
    if (!list.empty()) list += ';';
    list += std::to_string(id);
  }
  return list;
}

}  // namespace

bool IsFanDeactivated(std::string_view wrappedList, int gpuId) {
  return Contains(wrappedList, ";" + std::to_string(gpuId) + ";");
}

FanListSave SaveFanDeactivatedGpus(const IniContext& ini, const std::vector<bool>& fanEnabled) {
  const std::string list = DeactivatedList(fanEnabled);
  bool read = false;
  const bool saved = RewriteIniFile(ini.platform, ini.messages, ini.paths.iniPath, [&](IniDocument& main) {
    read = true;
    if (list.empty()) {
      main.RemoveKey(kGeneralSection, kKey);
    } else {
      main.SetValue(kGeneralSection, kKey, list);
    }
    return true;
  });
  return {saved, read ? std::optional<bool>(!list.empty()) : std::nullopt};
}

}  // namespace tw
