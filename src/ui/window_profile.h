#pragma once
// Copying between the main window's fields and a profile: what "Save" stores and what
// "Load" shows. The regulator fields take part through WindowRegulatorSteps, the one place
// the regulator window code plugs into.

#include <string>
#include <vector>

#include "gpu/gpu_item.h"
#include "profiles/profile_item.h"

namespace tw::ui {

class MainForm;

// The regulator side of the profile commands; runs only while EnableI2c is on. This base
// class knows no regulator fields: it keeps a profile of a card without a regulator free
// of regulator values and leaves the rest to the regulator window code.
class WindowRegulatorSteps {
 public:
  virtual ~WindowRegulatorSteps() = default;
  // Copies the regulator fields into the profile; true when that changed it.
  virtual bool WindowToProfile(ProfileItem& profile, const GPUItem& gpu);
  // Puts the profile's regulator values into the regulator fields.
  virtual void ProfileToWindow(const ProfileItem& /*profile*/, const GPUItem& /*gpu*/) {}
  // After "Apply" sent the window's values to `cards`: the regulator values to the same
  // cards, then the selected card's regulator read back into the window. Returns what the
  // status line adds about refused regulator values ("; card 1 refused phase gain"), or "".
  virtual std::string AfterApply(const std::vector<int>& /*cards*/, int /*selectedCard*/) { return {}; }
  // After "Reset" reset `cards`: their regulators reset too, then the selected card's
  // regulator read back into the window.
  virtual void AfterReset(const std::vector<int>& /*cards*/, int /*selectedCard*/) {}
};

// Copies the window's values into `profile` for `gpu` and returns whether anything in the
// profile changed. The fan minimum, maximum, target temperature and power temperature are
// never touched: the window never shows them.
bool WindowToProfile(MainForm& window, ProfileItem& profile, const GPUItem& gpu, bool enableI2c,
                     WindowRegulatorSteps& regulators);

// Puts the profile's values into the fields; each field's change handler runs, so the
// colours show what differs from the card. Nothing is sent to the card.
void ProfileToWindow(MainForm& window, const ProfileItem& profile, const GPUItem& gpu, bool enableI2c,
                     WindowRegulatorSteps& regulators);

// The profile's keys that ProfileToWindow leaves out for `gpu`: those of the other card
// generation and P-states the card does not have, e.g. {"Mem_P0", "GPU_P3"} for an
// OverdriveN profile on an Overdrive8 card.
std::vector<std::string> KeysLeftOut(const ProfileItem& profile, const GPUItem& gpu);

}  // namespace tw::ui
