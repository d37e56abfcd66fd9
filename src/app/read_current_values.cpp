#include "app/read_current_values.h"

#include <string>

#include "app/app.h"
#include "gpu/current_values.h"
#include "regulator/regulator_read.h"

namespace tw {

bool ReadCurrentValues(App& app, int gpuId, bool console) {
  if (!ReadDriverValues(app.gpuContext(), app.gpus.at(static_cast<size_t>(gpuId)), gpuId, app.currentValues, console))
    return false;
  if (app.options.EnableI2c) {
    app.currentValues.offset = kNotSet;
    app.currentValues.llc = kNotSet;
    app.currentValues.phaseGain = std::string(kNotSetText);
    app.currentValues.currentScale = std::string(kNotSetText);
    ReadRegulatorValues(app.regulatorContext(), gpuId, /*window=*/nullptr);
  }
  return true;
}

}  // namespace tw
