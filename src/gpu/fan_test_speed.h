#pragma once
// Forcing the fan of a card to a fixed percentage, or giving it back to the driver's
// automatic control, through the Overdrive5 fan calls with the Overdrive6 calls as fallback.
// The entry points are not among those every connection needs: they are looked up in the
// library of the connection this operation opens.

namespace tw {

struct GPUItem;
struct GpuContext;

inline constexpr int kFanAutomatic = -1;

// speed kFanAutomatic (-1) or 0..100 percent. Opens and closes its own connection; every
// report is an error box. A refusal by both interfaces is shown even with IgnoreError-8 on.
// After the automatic mode is back, an OverdriveN card whose fan is in tuning gets its own
// fan control values sent again (mode 3). A speed outside -1..100 is refused before the
// driver is asked. True when the fan took the speed (or the automatic mode) and, for the
// automatic mode, the fan values went back too.
bool SetFanTestSpeed(const GpuContext& context, const GPUItem& gpu, int speed);

}  // namespace tw
