#pragma once
// The outside restart tools a user may place beside Tunewright, used when the program
// cannot restart a card's device itself.

#include <string>

#include "platform/file_system.h"

namespace tw {

class FileSystem;
class Machine;
class MessageWriter;
class Shell;

struct RestartToolServices {
  FileSystem& files;
  Machine& machine;
  Shell& shell;
  MessageWriter& messages;
};

// The devcon hardware id: the instance id from its first "VEN_" up to the next "\", or
// empty when the id has no "VEN_".
std::string HardwareIdForDevcon(const std::string& instanceId);

// Starts devcon.exe, restart64.exe or restart.exe from the program's folder. Clears
// instanceId when devcon cannot be given a usable hardware id. True when a tool started.
bool StartRestartTool(RestartToolServices services, const Path& programFolder, std::string& instanceId);

}  // namespace tw
