#include "app/regulator_steps.h"

#include "app/app.h"
#include "i2c/vrm_detection.h"

namespace tw {

void DetectRegulatorsOnce(App& app) {
  if (!app.options.EnableI2c || app.vrm.done) return;
  DetectVrm(app.vrmContext(), app.vrm.scan, /*window=*/nullptr);
}

}  // namespace tw
