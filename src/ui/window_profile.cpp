#include "ui/window_profile.h"

#include <algorithm>

#include "gpu/adl_abi.h"
#include "ui/main_form.h"

namespace tw::ui {
namespace {

size_t Index(int k) { return static_cast<size_t>(std::max(k, 0)); }

// Copies `value` into `target`; true when that changed it.
template <typename T, typename U>
bool Copy(T& target, const U& value) {
  if (target == value) return false;
  target = value;
  return true;
}

// The P-states of one kind: the lists take the card's length, each state the row's values.
bool RowsToProfile(const Form& form, const std::array<PStateRow, kMaxPStates>& rows, std::vector<int32_t>& clocks,
                   std::vector<int32_t>& vccs, std::vector<bool>& enabled, int stateCount) {
  const size_t count = std::min(Index(stateCount), Index(kMaxPStates));
  bool changed = clocks.size() != Index(stateCount) || vccs.size() != Index(stateCount) ||
                 enabled.size() != Index(stateCount);
  clocks.resize(Index(stateCount));
  vccs.resize(Index(stateCount));
  enabled.resize(Index(stateCount));
  for (size_t k = 0; k < count; ++k) {
    changed |= Copy(clocks[k], form.SpinValue(rows[k].clock));
    changed |= Copy(vccs[k], form.SpinValue(rows[k].vcc));
    const bool on = form.control(rows[k].clock).enabled;
    if (enabled[k] != on) {
      enabled[k] = on;
      changed = true;
    }
  }
  return changed;
}

void RunChangeHandler(Form& form, ControlId id) {
  if (const auto& handler = form.control(id).onChange) handler();
}

void PutSpin(Form& form, ControlId id, int32_t value) {
  form.SetSpinValue(id, value);
  RunChangeHandler(form, id);
}

}  // namespace

bool WindowRegulatorSteps::WindowToProfile(ProfileItem& profile, const GPUItem& gpu) {
  if (gpu.i2cFound) return false;  // the regulator fields belong to the regulator window code
  const bool changed =
      IsSet(profile.offset) || IsSet(profile.llc) || IsSet(profile.phaseGain) || IsSet(profile.currentScale);
  profile.offset = kNotSet;
  profile.llc = kNotSet;
  profile.phaseGain = std::string(kNotSetText);
  profile.currentScale = std::string(kNotSetText);
  return changed;
}

bool WindowToProfile(MainForm& window, ProfileItem& p, const GPUItem& gpu, bool enableI2c,
                     WindowRegulatorSteps& regulators) {
  const Form& form = window.form();
  const MainFormControls& c = window.controls();
  bool changed = false;
  if (p.gpuClock.size() != Index(gpu.gpuStateCount) || p.memClock.size() != Index(gpu.memStateCount)) changed = true;
  changed |= RowsToProfile(form, c.gpuRows, p.gpuClock, p.gpuVcc, p.gpuEnabled, gpu.gpuStateCount);
  changed |= RowsToProfile(form, c.memRows, p.memClock, p.memVcc, p.memEnabled, gpu.memStateCount);

  // An OverdriveN card has no such fields: its profile holds them as not set, so a profile
  // loaded on such a card always differs from the (hidden) fields and is written again.
  const int32_t gpuMin = form.SpinValue(c.gpuMin), gpuMax = form.SpinValue(c.gpuMax), memMax = form.SpinValue(c.memMax);
  changed = changed || p.gpuMin != gpuMin || p.gpuMax != gpuMax || p.memMax != memMax;
  const bool od8 = gpu.overdriveVersion == adl::kOverdrive8;
  p.gpuMin = od8 ? gpuMin : kNotSet;
  p.gpuMax = od8 ? gpuMax : kNotSet;
  p.memMax = od8 ? memMax : kNotSet;

  changed |= Copy(p.overdriveVersion, gpu.overdriveVersion);
  changed |= Copy(p.fanAcoustic, form.SpinValue(c.fanAcoustic));
  changed |= Copy(p.powerTarget, form.SpinValue(c.powerTarget));
  for (size_t k = 0; k < Index(kFanRows); ++k) {
    changed |= Copy(p.fanCurve[k].fanTemp, form.SpinValue(c.fanTemp[k]));
    changed |= Copy(p.fanCurve[k].fanPerc, form.SpinValue(c.fanPerc[k]));
  }
  const int timing = form.control(c.timingBox).selected;
  if (timing >= 0) changed |= Copy(p.memTimingLevel, timing);
  changed |= Copy(p.fanZeroRpm, form.control(c.zeroRpm).checked ? 1 : 0);
  if (enableI2c) changed |= regulators.WindowToProfile(p, gpu);
  return changed;
}

void ProfileToWindow(MainForm& window, const ProfileItem& p, const GPUItem& gpu, bool enableI2c,
                     WindowRegulatorSteps& regulators) {
  Form& form = window.form();
  const MainFormControls& c = window.controls();
  if (gpu.overdriveVersion == adl::kOverdriveN) {
    for (bool isGpu : {true, false}) {
      const std::vector<int32_t>& clocks = isGpu ? p.gpuClock : p.memClock;
      const std::vector<int32_t>& vccs = isGpu ? p.gpuVcc : p.memVcc;
      const std::vector<bool>& enabled = isGpu ? p.gpuEnabled : p.memEnabled;
      const size_t count = std::min({clocks.size(), vccs.size(), enabled.size(),
                                     Index(isGpu ? gpu.gpuStateCount : gpu.memStateCount), Index(kMaxPStates)});
      for (size_t k = 0; k < count; ++k) {
        const PStateRow& row = (isGpu ? c.gpuRows : c.memRows)[k];
        form.SetSpinValue(row.clock, clocks[k]);
        form.SetSpinValue(row.vcc, vccs[k]);
        window.SetRowEnabled(enabled[k], row);
        RunChangeHandler(form, row.clock);
        RunChangeHandler(form, row.vcc);
      }
    }
  } else if (gpu.overdriveVersion == adl::kOverdrive8) {
    // A profile with fewer than three curve points changes only the points it has.
    const size_t count = std::min({p.gpuClock.size(), p.gpuVcc.size(), Index(kOd8CurvePoints)});
    for (size_t k = 0; k < count; ++k) {
      PutSpin(form, c.gpuRows[k].clock, p.gpuClock[k]);
      PutSpin(form, c.gpuRows[k].vcc, p.gpuVcc[k]);
    }
    if (IsSet(p.gpuMin)) PutSpin(form, c.gpuMin, p.gpuMin);
    if (IsSet(p.gpuMax)) PutSpin(form, c.gpuMax, p.gpuMax);
    if (IsSet(p.memMax)) PutSpin(form, c.memMax, p.memMax);
  }
  if (gpu.fanEnabled) {
    // The never-shown fields: a profile read from the file holds 0 for them (they are not
    // stored), and a 0 there would later be sent to a card that cannot be read back.
    for (const auto& [field, value] : {std::pair{c.fanMin, p.fanMin}, {c.fanMax, p.fanMax}, {c.fanTarget, p.fanTarget}})
      if (value != 0) PutSpin(form, field, value);
    PutSpin(form, c.fanAcoustic, p.fanAcoustic);
    for (size_t k = 0; k < Index(kFanRows); ++k) {
      if (IsSet(p.fanCurve[k].fanTemp)) PutSpin(form, c.fanTemp[k], p.fanCurve[k].fanTemp);
      if (IsSet(p.fanCurve[k].fanPerc)) PutSpin(form, c.fanPerc[k], p.fanCurve[k].fanPerc);
    }
    if (IsSet(p.fanZeroRpm)) form.SetChecked(c.zeroRpm, p.fanZeroRpm != 0);
  }
  if (IsSet(p.memTimingLevel) && p.memTimingLevel >= 0 &&
      p.memTimingLevel < static_cast<int32_t>(form.control(c.timingBox).items.size())) {
    form.SetSelected(c.timingBox, p.memTimingLevel);
    RunChangeHandler(form, c.timingBox);
  }
  if (p.powerTemp != 0) PutSpin(form, c.powerTemp, p.powerTemp);
  PutSpin(form, c.powerTarget, p.powerTarget);
  if (enableI2c && gpu.i2cFound) regulators.ProfileToWindow(p, gpu);
}

std::vector<std::string> KeysLeftOut(const ProfileItem& p, const GPUItem& gpu) {
  const bool od8 = gpu.overdriveVersion == adl::kOverdrive8;
  std::vector<std::string> keys;
  const auto states = [&keys](const char* prefix, size_t from, size_t count) {
    for (size_t k = from; k < count; ++k) keys.push_back(prefix + std::to_string(k));
  };
  states("GPU_P", Index(od8 ? kOd8CurvePoints : std::max(gpu.gpuStateCount, 0)), p.gpuClock.size());
  states("Mem_P", od8 ? 0 : Index(std::max(gpu.memStateCount, 0)), p.memClock.size());
  if (!od8) {
    for (const auto& [key, value] : {std::pair{"GPU_Min", p.gpuMin}, {"GPU_Max", p.gpuMax}, {"Mem_Max", p.memMax}})
      if (IsSet(value)) keys.emplace_back(key);
  }
  return keys;
}

}  // namespace tw::ui
