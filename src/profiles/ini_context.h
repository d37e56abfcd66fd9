#pragma once
// Where the program keeps its ini files, and the ports that reading and writing them goes
// through. The profile and settings functions take this rather than the whole run, so that
// what each one touches stays visible in its parameters.

#include "messages/message_writer.h"
#include "platform/file_system.h"
#include "platform/platform.h"

namespace tw {

struct AppPaths {
  Path folder;         // the program's own folder
  Path iniPath;        // folder + "Tunewright.ini"
  Path backupIniPath;  // folder + "ini_backup\_ini_backup.ini"
};

AppPaths ComputeAppPaths(const Path& executablePath);

struct IniContext {
  Platform& platform;
  MessageWriter& messages;
  const AppPaths& paths;
};

}  // namespace tw
