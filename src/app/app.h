#pragma once
// The program-wide state of one run, and the ports it works through. Operations take
// what they need from here by reference; nothing else is global.

#include "gpu/gpu_item.h"
#include "i2c/vrm_detection_state.h"
#include "messages/message_writer.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "profiles/option_set.h"
#include "profiles/profile_item.h"

namespace tw {

struct AppPaths {
  Path folder;         // the program's own folder
  Path iniPath;        // folder + "Tunewright.ini"
  Path backupIniPath;  // folder + "ini_backup\_ini_backup.ini"
};

AppPaths ComputeAppPaths(const Path& executablePath);

class App {
 public:
  explicit App(Platform& platform);
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Platform& platform;
  AppPaths paths;
  OptionSet options;
  MessageWriter messages;

  GpuList gpus;
  bool anyFanDeactivated = false;

  ProfileList profiles;
  KnownProfileSections knownProfileSections;
  ProfileItem currentValues;  // also holds the card's regulator values (I2cValues)

  VrmDetectionState vrm;
};

}  // namespace tw
