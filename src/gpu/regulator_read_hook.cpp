#include "gpu/regulator_read_hook.h"

namespace tw {

void ReadRegulatorValuesIntoCurrentValues(App&, int) {}

}  // namespace tw
