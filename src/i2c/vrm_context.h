#pragma once
// What regulator detection, reading and writing work with: the ini ports (the [I2C]
// section, the messages, the driver connection), the card list whose regulator locations
// they fill, the current values that receive the regulator readings, and the run's
// detection state.

#include "gpu/gpu_item.h"
#include "i2c/vrm_detection_state.h"
#include "profiles/ini_context.h"
#include "profiles/profile_item.h"

namespace tw {

struct VrmContext {
  IniContext ini;
  GpuList& gpus;
  ProfileItem& currentValues;
  VrmDetectionState& detection;
};

}  // namespace tw
