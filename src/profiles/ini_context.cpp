#include "profiles/ini_context.h"

namespace tw {

AppPaths ComputeAppPaths(const Path& executablePath) {
  AppPaths paths;
  paths.folder = executablePath.parent_path();
  paths.iniPath = paths.folder / "Tunewright.ini";
  paths.backupIniPath = paths.folder / "ini_backup" / "_ini_backup.ini";
  return paths;
}

}  // namespace tw
