#include "powerplay/restart_tool.h"

#include "base/text.h"
#include "messages/message_writer.h"
#include "platform/machine.h"
#include "platform/platform.h"
#include "platform/shell.h"

namespace tw {
namespace {

constexpr size_t kShortestHardwareId = 13;
constexpr intptr_t kHighestShellError = 32;

}  // namespace

std::string HardwareIdForDevcon(const std::string& instanceId) {
  const size_t start = instanceId.find("VEN_");
  if (start == std::string::npos) return {};
  const size_t end = instanceId.find('\\', start);
  return instanceId.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool StartRestartTool(Platform& platform, MessageWriter& messages, const Path& programFolder,
                      std::string& instanceId) {
  std::string tool = "devcon.exe";
  if (!platform.files.FileExists(programFolder / tool)) {
    tool = platform.machine.IsWow64Process().value_or(false) ? "restart64.exe" : "restart.exe";
    if (!platform.files.FileExists(programFolder / tool)) return false;
  }

  std::string parameters = "0";
  WindowMode mode = WindowMode::Normal;
  if (tool == "devcon.exe") {
    const std::string hardwareId = HardwareIdForDevcon(instanceId);
    if (hardwareId.size() < kShortestHardwareId) {
      instanceId.clear();
      return false;
    }
    parameters = "restart PCI\\" + hardwareId;
    mode = WindowMode::Hidden;
  }

  const Path toolPath = programFolder / tool;
  if (platform.shell.Execute("open", toolPath, parameters, programFolder, mode) > kHighestShellError) return true;
  messages.ShowError("Failed to start process: " + PathToUtf8(toolPath));
  return false;
}

}  // namespace tw
