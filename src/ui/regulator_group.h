#pragma once
// The main window's I2C group (GroupBox6): the selected card's regulator values (offset,
// load-line, phase gain, current scale), their colours, and the regulator steps of
// "Apply", "Reset", "Save" and "Load". Reads and writes go through the regulator code the
// command line uses (ReadRegulatorValues, RefusedRegulatorValues, WriteRegulatorValues), so the window keeps
// every guard it has.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gpu/gpu_item.h"
#include "profiles/profile_item.h"
#include "regulator/regulator_search.h"
#include "regulator/regulator_window.h"
#include "regulator/regulator_write.h"
#include "ui/form/backend.h"
#include "ui/main_form.h"
#include "ui/window_profile.h"

namespace tw::ui {

// What the group asks of the program: the run's regulator detection and the regulator
// code the command line uses. Implemented by AppRegulatorOperations
// (app_regulator_operations.h) on the real program state.
class RegulatorOperations {
 public:
  virtual ~RegulatorOperations() = default;
  // The cards' controllers, and the values the fields are compared with (both kept up to
  // date by the reads and detection below).
  virtual const GpuList& gpus() const = 0;
  virtual const ProfileItem& currentValues() const = 0;

  // The run's detection (regulator/regulator_detection.h), shown in `window`.
  virtual bool DetectionInProgress() const = 0;
  virtual void BeginDetection() = 0;
  virtual bool SearchesEveryLine() const = 0;  // rather than verify the stored locations
  virtual void Detect(RegulatorWindow* window) = 0;
  virtual std::unique_ptr<RegulatorSearch> StartSearch() = 0;
  virtual void EndDetection(bool searched, RegulatorWindow* window) = 0;

  // As ReadRegulatorValues, RefusedRegulatorValues and WriteRegulatorValues.
  virtual void ReadValues(int gpuId, RegulatorWindow* window) = 0;
  virtual RegulatorRefusals RefusedValues(int gpuId, int32_t offset, std::string_view phaseGain,
                                    std::string_view currentScale) = 0;
  virtual void WriteValues(int gpuId, bool reset, int32_t offset, int32_t llc, std::string_view phaseGain,
                           std::string_view currentScale) = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
};

// The I2C group's controls, by role.
struct RegulatorControls {
  ControlId notAvailable = kNoControl;
  ControlId offsetCaption = kNoControl, offset = kNoControl, voltage = kNoControl;  // I2C_Offset
  ControlId llcCaption = kNoControl, llc = kNoControl;                             // I2C_LLC, "ON"/"OFF"
  ControlId phaseGainCaption = kNoControl, phaseGain = kNoControl;                 // Edit1
  ControlId currentScaleCaption = kNoControl, currentScale = kNoControl;           // Edit2
};

// "+18.75mV" for 3 steps, "-50mV" for -8, "0mV" for 0: steps x 6.25 mV in the shortest
// exact form, with `decimalSeparator`.
std::string OffsetVoltageText(int32_t steps, const std::string& decimalSeparator);

class RegulatorGroup final : public RegulatorWindow, public WindowRegulatorSteps, public WindowRegulators {
 public:
  RegulatorGroup(RegulatorOperations& ops, UiBackend& backend) : ops_(ops), backend_(backend) {}
  ~RegulatorGroup() override;
  RegulatorGroup(const RegulatorGroup&) = delete;
  RegulatorGroup& operator=(const RegulatorGroup&) = delete;

  // Adds the group's controls and handlers to the window, before its view is created, and
  // makes itself the window's regulator part.
  void Attach(MainForm& window);
  const RegulatorControls& controls() const { return c_; }
  // Starts the regulator search the window's creation put off until the window shows (see
  // Detect); nothing when none is waiting. The search runs in small steps while the window
  // is idle, so the user can go on using it.
  void RunPendingDetection();

  // RegulatorWindow: what reading and detection show.
  int SelectedGpu() const override;
  void RedrawI2cGroup() override;
  void SelectMatchingProfile() override;
  void ShowOffset(int32_t steps) override;
  void OffsetInStep() override;
  void ShowLlc(bool on) override;
  void LlcInStep() override;
  void ShowPhaseGain(const std::string& text) override;
  void PhaseGainInStep() override;
  void ShowCurrentScale(const std::string& text) override;
  void CurrentScaleInStep() override;

  // WindowRegulatorSteps: the profile commands' regulator steps.
  bool WindowToProfile(ProfileItem& profile, const GPUItem& gpu) override;
  void ProfileToWindow(const ProfileItem& profile, const GPUItem& gpu) override;
  std::string AfterApply(const std::vector<int>& cards, int selectedCard) override;
  void AfterReset(const std::vector<int>& cards, int selectedCard) override;

  // WindowRegulators: the window's creation and card selection.
  void BeginDetection() override;
  void Detect() override;
  void CardArranged(int gpuId) override;
  void CardSelected(int gpuId) override;
  void Refreshed(int gpuId) override;

 private:
  // The window's four values as they go to a card. A field that is not shown (the selected
  // card's controller lacks it, or it has none) is not set: a hidden field's leftover text
  // never reaches another card's controller.
  struct Values {
    int32_t offset;
    int32_t llc;
    std::string phaseGain;
    std::string currentScale;
  };
  Values WindowValues() const;
  bool Shown(ControlId id) const;
  void AddControls();
  void OffsetChange();
  void LlcClick();
  void TextChange(ControlId field, const std::string& current);
  void ReadIntoWindow(int gpuId);
  void KeepRefused(ControlId field);
  bool SearchStep();

  RegulatorOperations& ops_;
  UiBackend& backend_;
  MainForm* window_ = nullptr;
  RegulatorControls c_;
  // While the card is read back after "Apply": the fields whose values it refused, which
  // keep the user's text instead of showing the card's.
  RegulatorRefusals kept_{};
  bool detectionPending_ = false;
  std::unique_ptr<RegulatorSearch> search_;  // while the window's search runs
};

}  // namespace tw::ui
