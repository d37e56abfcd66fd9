#include "app/app.h"

#include "platform/machine.h"

namespace tw {

AppPaths ComputeAppPaths(const Path& executablePath) {
  AppPaths paths;
  paths.folder = executablePath.parent_path();
  paths.iniPath = paths.folder / "Tunewright.ini";
  paths.backupIniPath = paths.folder / "ini_backup" / "_ini_backup.ini";
  return paths;
}

App::App(Platform& platform)
    : platform(platform), paths(ComputeAppPaths(platform.machine.ExecutablePath())), messages(options, platform) {}

}  // namespace tw
