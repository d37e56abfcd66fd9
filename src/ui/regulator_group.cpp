#include "ui/regulator_group.h"

#include <cstdlib>
#include <optional>
#include <utility>

#include "base/integer.h"
#include "base/text.h"
#include "regulator/regulator_table.h"

namespace tw::ui {
namespace {

constexpr const char* kSearchingCaption = "I2C: searching for regulators...";
constexpr const char* kHexDigits = "0123456789abcdefABCDEF";
// The controller is given time to take the values before they are read back.
constexpr uint32_t kSettleMilliseconds = 10;

size_t Index(int k) { return static_cast<size_t>(k); }

// "; card 1 refused phase gain, current scale" for the regulator values a card's
// controller refused, "" when it took them all.
std::string RefusedStatus(int card, const RegulatorRefusals& refused) {
  std::string names;
  const std::pair<bool, const char*> parts[] = {
      {refused.offset, "offset"}, {refused.phaseGain, "phase gain"}, {refused.currentScale, "current scale"}};
  for (const auto& [taken, name] : parts)
    if (taken) names += (names.empty() ? "" : ", ") + std::string(name);
  return names.empty() ? "" : "; card " + std::to_string(card) + " refused the regulator's " + names;
}

}  // namespace

std::string OffsetVoltageText(int32_t steps, const std::string& decimalSeparator) {
  // 6.25 mV = 625 hundredths: exact in integers, and at most two decimals.
  const long long hundredths = std::llabs(static_cast<long long>(steps) * 625);
  std::string text = steps > 0 ? "+" : steps < 0 ? "-" : "";
  text += std::to_string(hundredths / 100);
  if (const long long fraction = hundredths % 100; fraction != 0) {
    text += decimalSeparator;
    text += fraction % 10 == 0 ? std::to_string(fraction / 10) : (fraction < 10 ? "0" : "") + std::to_string(fraction);
  }
  return text + "mV";
}

void RegulatorGroup::Attach(MainForm& window) {
  window_ = &window;
  AddControls();
  window.SetRegulators(this);
}

void RegulatorGroup::AddControls() {
  Form& form = window_->form();
  const ControlId group = window_->controls().i2cGroup;
  // Tab order: right after the controls before the group, ahead of the "Profiles" group.
  const int tab = form.control(group).tabOrder;
  const auto add = [&](Control c) {
    c.parent = group;
    c.tabOrder = tab;
    c.visible = false;
    return form.Add(std::move(c));
  };
  const auto label = [&](const char* name, const char* caption, int left) {
    return add({.kind = ControlKind::Label, .name = name, .bounds = {left, 21, 0, 0}, .caption = caption});
  };
  const auto text = [&](const char* name, Rect bounds, int length, const char* accessible) {
    Control c{.kind = ControlKind::TextEdit, .name = name, .bounds = bounds, .accessibleName = accessible,
              .tabStop = true};
    c.maxLength = length;
    c.acceptedChars = kHexDigits;
    c.upperCase = true;
    return add(std::move(c));
  };
  c_.notAvailable = label("I2C_NotAvailable", "Not available", 10);
  c_.offsetCaption = label("I2C_OffsetCaption", "Offset (x6.25mV):", 10);
  Control offset{.kind = ControlKind::SpinEdit, .name = "I2C_Offset", .bounds = {118, 17, 50, 21}, .caption = "0",
                 .accessibleName = "Voltage offset (x6.25 mV)", .tabStop = true};
  offset.minValue = kRegulatorOffsetMin;
  offset.maxValue = kRegulatorOffsetMax;
  c_.offset = add(std::move(offset));
  c_.voltage = label("I2C_Voltage", "0mV", 174);
  // The voltage label needs room for its longest text ("-293.75mV"), also in the wider
  // fonts that stand in for Tahoma: what follows starts well clear of it.
  c_.llcCaption = label("I2C_LLCCaption", "LLC:", 252);
  // The check box's own text is its "ON"/"OFF" label, as with "Zero RPM".
  c_.llc = add({.kind = ControlKind::CheckBox, .name = "I2C_LLC", .bounds = {278, 20, 0, 0}, .caption = "OFF",
                .accessibleName = "Load-line calibration", .tabStop = true,
                .background = Colour::System(SystemColour::ButtonFace)});
  c_.phaseGainCaption = label("I2C_PhaseGainCaption", "Phase gain:", 330);
  c_.phaseGain = text("Edit1", {398, 17, 56, 21}, 6, "Phase gain (hexadecimal)");
  c_.currentScaleCaption = label("I2C_CurrentScaleCaption", "Current scale:", 464);
  c_.currentScale = text("Edit2", {548, 17, 28, 21}, 2, "Current scale (hexadecimal)");

  form.OnChange(c_.offset, [this] { OffsetChange(); });
  form.OnChange(c_.llc, [this] { LlcClick(); });
  const ProfileItem& current = ops_.currentValues();
  form.OnChange(c_.phaseGain, [this, &current] { TextChange(c_.phaseGain, current.phaseGain); });
  form.OnChange(c_.currentScale, [this, &current] { TextChange(c_.currentScale, current.currentScale); });
}

// --- what the group shows ---

int RegulatorGroup::SelectedGpu() const { return window_ ? window_->SelectedCard() : -1; }

void RegulatorGroup::SelectMatchingProfile() { window_->SelectMatchingProfile(); }

void RegulatorGroup::RedrawI2cGroup() {
  Form& form = window_->form();
  const int selected = SelectedGpu();
  const GpuList& gpus = ops_.gpus();
  const GPUItem* gpu = selected >= 0 && Index(selected) < gpus.size() ? &gpus[Index(selected)] : nullptr;
  const RegulatorItem* row = gpu && gpu->i2cFound ? RegulatorRow(gpu->i2cController) : nullptr;
  const bool searching = search_ || detectionPending_;
  const char* const idle = searching ? kSearchingCaption : "I2C";
  form.SetCaption(window_->controls().i2cGroup, row ? "I2C: " + std::string(row->name) : std::string(idle));
  form.SetVisible(c_.notAvailable, !row && !searching);
  for (ControlId id : {c_.offsetCaption, c_.offset, c_.voltage}) form.SetVisible(id, row != nullptr);
  for (ControlId id : {c_.llcCaption, c_.llc}) form.SetVisible(id, row && row->hasLlc);
  for (ControlId id : {c_.phaseGainCaption, c_.phaseGain}) form.SetVisible(id, row && row->hasPhaseGain);
  for (ControlId id : {c_.currentScaleCaption, c_.currentScale}) form.SetVisible(id, row && row->hasCurrentScale);
}

void RegulatorGroup::ShowOffset(int32_t steps) {
  if (kept_.offset) return KeepRefused(c_.offset);
  window_->form().SetSpinValue(c_.offset, steps);
  OffsetChange();  // also when the field held the value already
}

void RegulatorGroup::OffsetInStep() {
  if (!kept_.offset) window_->form().SetBackground(c_.offset, kWindowColour);
}

void RegulatorGroup::ShowLlc(bool on) {
  window_->form().SetChecked(c_.llc, on);
  LlcClick();
}

void RegulatorGroup::LlcInStep() { window_->form().SetBackground(c_.llc, kButtonFaceColour); }
void RegulatorGroup::ShowPhaseGain(const std::string& text) {
  if (kept_.phaseGain) return KeepRefused(c_.phaseGain);
  window_->form().SetCaption(c_.phaseGain, text);
  TextChange(c_.phaseGain, ops_.currentValues().phaseGain);
}
void RegulatorGroup::PhaseGainInStep() {
  if (!kept_.phaseGain) window_->form().SetBackground(c_.phaseGain, kWindowColour);
}
void RegulatorGroup::ShowCurrentScale(const std::string& text) {
  if (kept_.currentScale) return KeepRefused(c_.currentScale);
  window_->form().SetCaption(c_.currentScale, text);
  TextChange(c_.currentScale, ops_.currentValues().currentScale);
}
void RegulatorGroup::CurrentScaleInStep() {
  if (!kept_.currentScale) window_->form().SetBackground(c_.currentScale, kWindowColour);
}

// A refused value was never written: the user's text stays for mending, marked as
// refused, as every field the card did not take.
void RegulatorGroup::KeepRefused(ControlId field) { window_->form().SetBackground(field, kRefusedColour); }

// --- colours ---

void RegulatorGroup::OffsetChange() {
  Form& form = window_->form();
  const int32_t steps = form.SpinValue(c_.offset);
  form.SetBackground(c_.offset, steps != ops_.currentValues().offset ? kChangedColour : kWindowColour);
  form.SetCaption(c_.voltage, OffsetVoltageText(steps, backend_.DecimalSeparator()));
}

void RegulatorGroup::LlcClick() {
  Form& form = window_->form();
  const bool ticked = form.control(c_.llc).checked;
  const int32_t current = ops_.currentValues().llc;
  form.SetCaption(c_.llc, ticked ? "ON" : "OFF");
  const bool changed = (ticked && current == 0) || (!ticked && current == 1);
  form.SetBackground(c_.llc, changed ? kChangedColour : kButtonFaceColour);
}

void RegulatorGroup::TextChange(ControlId field, const std::string& current) {
  Form& form = window_->form();
  form.SetBackground(field, form.control(field).caption != current ? kChangedColour : kWindowColour);
}

// --- creation and selection ---

void RegulatorGroup::BeginDetection() { ops_.BeginDetection(); }

void RegulatorGroup::Detect() {
  ops_.BeginDetection();
  // A search of every line takes a while: a window that is still being made is shown
  // first, saying so, and the search runs once it is on the screen.
  if (ops_.SearchesEveryLine() && !window_->form().view()) {
    detectionPending_ = true;
    Form& form = window_->form();
    form.SetCaption(window_->controls().i2cGroup, kSearchingCaption);
    form.SetVisible(c_.notAvailable, false);
    return;
  }
  ops_.Detect(this);
}

RegulatorGroup::~RegulatorGroup() {
  if (search_) backend_.RunWhenIdle(nullptr);  // the search dies with the window, unsaved
}

void RegulatorGroup::RunPendingDetection() {
  if (!std::exchange(detectionPending_, false)) return;
  search_ = ops_.StartSearch();
  if (!search_) return ops_.EndDetection(/*searched=*/false, this);
  backend_.RunWhenIdle([this] { return SearchStep(); });
}

// A few probes at a time: under a second of bus transfers even on a slow line, so that
// the window answers the user between steps.
bool RegulatorGroup::SearchStep() {
  constexpr int kProbesPerStep = 4;
  if (search_->Step(kProbesPerStep)) return true;
  search_.reset();
  ops_.EndDetection(/*searched=*/true, this);
  return false;
}

void RegulatorGroup::CardArranged(int /*gpuId*/) {
  window_->form().SetVisible(window_->controls().i2cGroup, true);
  RedrawI2cGroup();
}

void RegulatorGroup::CardSelected(int gpuId) {
  if (!ops_.DetectionInProgress()) ReadIntoWindow(gpuId);
}

void RegulatorGroup::Refreshed(int gpuId) { ReadIntoWindow(gpuId); }

void RegulatorGroup::ReadIntoWindow(int gpuId) {
  ops_.ReadValues(gpuId, this);
  // A failed read takes the controller away for the rest of the run: the group says so.
  if (gpuId == SelectedGpu() && Index(gpuId) < ops_.gpus().size() && !ops_.gpus()[Index(gpuId)].i2cFound)
    RedrawI2cGroup();
}

// --- "Apply", "Reset", "Save", "Load" ---

bool RegulatorGroup::Shown(ControlId id) const { return window_->form().control(id).visible; }

RegulatorGroup::Values RegulatorGroup::WindowValues() const {
  const Form& form = window_->form();
  Values v{kNotSet, kNotSet, std::string(kNotSetText), std::string(kNotSetText)};
  if (Shown(c_.offset)) {
    // The field's text as it stands, not the spin edit's reading of it (which turns text
    // that is no number into the lowest offset): text that is no offset is refused.
    const std::optional<int32_t> typed = TryParseInt32(TrimBlanks(form.control(c_.offset).caption));
    v.offset = typed && IsSet(*typed) ? *typed : kRegulatorOffsetMax + 1;
  }
  if (Shown(c_.llc)) v.llc = form.control(c_.llc).checked ? 1 : 0;
  if (Shown(c_.phaseGain)) v.phaseGain = form.control(c_.phaseGain).caption;
  if (Shown(c_.currentScale)) v.currentScale = form.control(c_.currentScale).caption;
  return v;
}

std::string RegulatorGroup::AfterApply(const std::vector<int>& cards, int selectedCard) {
  const Values v = WindowValues();
  std::string status;
  // Each card gets every value it can take; a refused one is reported and skipped.
  for (int card : cards) {
    status += RefusedStatus(card, ops_.RefusedValues(card, v.offset, v.phaseGain, v.currentScale));
    ops_.WriteValues(card, /*reset=*/false, v.offset, v.llc, v.phaseGain, v.currentScale);
  }
  ops_.Sleep(kSettleMilliseconds);
  kept_ = ops_.RefusedValues(selectedCard, v.offset, v.phaseGain, v.currentScale);
  ReadIntoWindow(selectedCard);
  kept_ = {};
  return status;
}

void RegulatorGroup::AfterReset(const std::vector<int>& cards, int selectedCard) {
  Values v = WindowValues();
  // A reset writes offset 0 and load-line off whatever the fields hold; a controller the
  // selected card's fields do not show is reset all the same.
  if (!IsSet(v.offset)) v.offset = 0;
  v.llc = 0;
  for (int card : cards)
    ops_.WriteValues(card, /*reset=*/true, v.offset, v.llc, v.phaseGain, v.currentScale);
  ops_.Sleep(kSettleMilliseconds);
  ReadIntoWindow(selectedCard);
}

bool RegulatorGroup::WindowToProfile(ProfileItem& p, const GPUItem& gpu) {
  if (!gpu.i2cFound) return WindowRegulatorSteps::WindowToProfile(p, gpu);
  const Form& form = window_->form();
  bool changed = false;
  const auto copy = [&changed](auto& target, const auto& value) {
    if (target == value) return;
    target = value;
    changed = true;
  };
  copy(p.offset, form.SpinValue(c_.offset));
  copy(p.llc, Shown(c_.llc) ? (form.control(c_.llc).checked ? 1 : 0) : kNotSet);
  copy(p.phaseGain, Shown(c_.phaseGain) ? form.control(c_.phaseGain).caption : std::string(kNotSetText));
  copy(p.currentScale, Shown(c_.currentScale) ? form.control(c_.currentScale).caption : std::string(kNotSetText));
  return changed;
}

void RegulatorGroup::ProfileToWindow(const ProfileItem& p, const GPUItem& /*gpu*/) {
  if (IsSet(p.offset)) ShowOffset(p.offset);
  if (IsSet(p.llc)) ShowLlc(p.llc == 1);
  if (IsSet(p.phaseGain)) ShowPhaseGain(p.phaseGain);
  if (IsSet(p.currentScale)) ShowCurrentScale(p.currentScale);
}

}  // namespace tw::ui
