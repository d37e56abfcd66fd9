#pragma once
// What the main window's I2C group does when regulator values are read into it and when
// detection ends. The window implements it; command-line runs pass no window, so nothing
// here is called there. The I2C group and its colouring are the window's own business:
// these calls only say which value arrived and when a field is back in step with the card.

#include <cstdint>
#include <string>

namespace tw {

class RegulatorWindow {
 public:
  virtual ~RegulatorWindow() = default;

  // The card the window shows; -1 when none is selected.
  virtual int SelectedGpu() const = 0;
  // Shows the selected card's group: the controller's name and controls, or "Not available".
  virtual void RedrawI2cGroup() = 0;
  // Selects the profile that matches the card's current values.
  virtual void SelectMatchingProfile() = 0;

  // The offset field and its voltage label.
  virtual void ShowOffset(int32_t steps) = 0;
  virtual void OffsetInStep() = 0;  // normal window colour
  // The load-line check box and its "ON"/"OFF" label.
  virtual void ShowLlc(bool on) = 0;
  virtual void LlcInStep() = 0;  // button-face colour
  virtual void ShowPhaseGain(const std::string& text) = 0;
  virtual void PhaseGainInStep() = 0;
  virtual void ShowCurrentScale(const std::string& text) = 0;
  virtual void CurrentScaleInStep() = 0;
};

}  // namespace tw
