#include "app/regulator_read_hook.h"

#include "i2c/vrm_read.h"

namespace tw {

void ReadRegulatorValuesIntoCurrentValues(App& app, int gpuId) { ReadVrmValues(app, gpuId, /*window=*/nullptr); }

}  // namespace tw
