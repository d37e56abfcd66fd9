#pragma once
// The program-wide state of one run, and the ports it works through. Operations take
// what they need from here by reference; nothing else is global.

#include "gpu/gpu_context.h"
#include "gpu/gpu_item.h"
#include "messages/message_writer.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "profiles/ini_context.h"
#include "profiles/option_set.h"
#include "profiles/profile_item.h"
#include "regulator/regulator_context.h"
#include "regulator/regulator_detection_state.h"

namespace tw {

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

  RegulatorDetectionState regulatorDetection;

  IniContext ini() { return {platform, messages, paths}; }
  GpuContext gpuContext() { return {platform, messages, options}; }
  RegulatorContext regulatorContext() { return {ini(), gpus, currentValues, regulatorDetection}; }
};

// Appends the cards to app.gpus (see BuildGpuList) and notes whether the fan control of a
// listed card is switched off.
bool ListCards(App& app);

}  // namespace tw
