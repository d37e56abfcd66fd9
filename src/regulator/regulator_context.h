#pragma once
// What regulator detection, reading and writing work with: the ini ports (the [I2C]
// section, the messages, the driver connection), the card list whose regulator locations
// they fill, the current values that receive the regulator readings, and the run's
// detection state.

#include "gpu/gpu_item.h"
#include "profiles/ini_context.h"
#include "profiles/profile_item.h"
#include "regulator/regulator_detection_state.h"

namespace tw {

struct RegulatorContext {
  IniContext ini;
  GpuList& gpus;
  ProfileItem& currentValues;
  RegulatorDetectionState& detection;
};

}  // namespace tw
