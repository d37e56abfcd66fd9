#include "app/app_files.h"

#include "profiles/profile_store.h"
#include "profiles/restore_from_backup.h"

namespace tw {

WindowMenuSwitches LoadAppSettings(App& app, bool consoleMode, IniRead& mainFile) {
  const LoadedSettings loaded = LoadSettings(app.ini(), app.options, consoleMode, mainFile);
  app.regulatorDetection.consoleMode = consoleMode;
  app.regulatorDetection.done = false;
  app.regulatorDetection.scan = app.options.EnableI2c && !loaded.hasI2cSection;
  return loaded.menus;
}

WindowMenuSwitches LoadAppSettings(App& app, bool consoleMode) {
  IniRead mainFile;
  return LoadAppSettings(app, consoleMode, mainFile);
}

bool RestoreAppFromBackup(App& app, bool consoleMode, bool unattended) {
  if (!RestoreFromBackup(app.ini(), app.options, unattended)) return false;
  LoadAppSettings(app, consoleMode);
  LoadProfiles(app.ini(), app.profiles, app.knownProfileSections);
  return true;
}

}  // namespace tw
