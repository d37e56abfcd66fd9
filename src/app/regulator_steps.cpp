#include "app/regulator_steps.h"

#include "app/app.h"
#include "regulator/regulator_detection.h"

namespace tw {

void DetectRegulatorsOnce(App& app) {
  if (!app.options.EnableI2c || app.regulatorDetection.done) return;
  DetectRegulator(app.regulatorContext(), app.regulatorDetection.scan, /*window=*/nullptr);
}

}  // namespace tw
