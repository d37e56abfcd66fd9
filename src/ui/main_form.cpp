#include "ui/main_form.h"

#include <algorithm>

#include "gpu/adl_abi.h"
#include "gpu/display_name.h"
#include "platform/dialogs.h"
#include "ui/editor_tips.h"
#include "version.h"

namespace tw::ui {
namespace {

constexpr int kShrunkOuterHeight = 456;  // without the I2C group
constexpr int kShrunkProfileTop = 314;
constexpr int kShrunkButtonTop = 388;
// The P-state rows' design positions (main_form_layout.cpp) and the memory group's tighter
// pitch for a card with eight memory states.
constexpr int kRowTop = 35;
constexpr int kRowLabelTop = 38;
constexpr int kRowPitch = 28;
constexpr int kTightRowPitch = 25;
constexpr int kTimingBoxTop = 229;
constexpr int kTimingLabelBelowBox = 3;

struct InfoText {
  const char* text;
  int left;
};
constexpr InfoText kInfoTexts[] = {
    {"This GPU is not supported", 214},
    {"Driver is detected as not installed/loaded", 175},
    {"This application requires driver 18.12.2 or newer", 137},
};

size_t Index(int k) { return static_cast<size_t>(k); }

}  // namespace

MainForm::MainForm(MainFormOperations& ops, UiBackend& backend, ProfileCommands* profileCommands)
    : ops_(ops), backend_(backend), profileCommands_(profileCommands), form_(MainWindowFrame()),
      c_(BuildMainFormLayout(form_)) {
  ConnectHandlers();
  // Appended to the system menu in this order; "Settings" opens its window once that exists.
  form_.AddSystemMenuEntry({.separator = true});
  form_.AddSystemMenuEntry({.caption = "Settings", .onSelect = [this] {
                               if (onShowSettings) onShowSettings();
                             }});
  form_.AddSystemMenuEntry({.separator = true});
  form_.AddSystemMenuEntry({.caption = "PPTable editor", .onSelect = [this] {
                              if (openPowerPlayEditor_) openPowerPlayEditor_();
                            }});
  form_.AddSystemMenuEntry({.separator = true});
  form_.AddSystemMenuEntry({.caption = "About...", .onSelect = [this] { ShowAbout(); }});
  form_.onClose = [this] { FormClose(); };
  form_.onCloseQuery = [this] {
    if (busy_) closeRequested_ = true;
    return !busy_ && SettleEdits();
  };
  form_.SetInitialFocus(c_.close);
  cardListMenu_ = form_.AddPopupMenu({.items = {{.name = "ChangeFriendlyName1",
                                                  .caption = "Change friendly name",
                                                  .visible = false,
                                                  .onClick = [this] {
                                                    if (onChangeFriendlyName) onChangeFriendlyName();
                                                  }}}});
  form_.AttachPopupMenu(c_.cardList, cardListMenu_);
}

void MainForm::ConnectHandlers() {
  form_.OnChange(c_.cardList, [this] {
    if (!settingCardList_) CardListChanged();
  });
  form_.OnClick(c_.refresh, [this] { Refresh(); });
  form_.OnClick(c_.close, [this] {
    if (SettleEdits()) form_.Close();
  });
  if (profileCommands_) {
    form_.OnClick(c_.apply, [this] { profileCommands_->Apply(); });
    form_.OnClick(c_.reset, [this] { profileCommands_->Reset(); });
  } else {
    form_.SetEnabled(c_.apply, false);
    form_.SetEnabled(c_.reset, false);
  }
  for (int k = 0; k < kMaxPStates; ++k) {
    for (bool gpu : {true, false}) {
      const PStateRow& row = (gpu ? c_.gpuRows : c_.memRows)[Index(k)];
      form_.OnChange(row.clock, [this, gpu, k] { PStateChange(gpu, k, true); });
      form_.OnChange(row.vcc, [this, gpu, k] { PStateChange(gpu, k, false); });
      form_.OnClick(row.label, [this, gpu, k] { RowLabelClick(gpu, k); });
    }
  }
  ProfileItem& cv = ops_.currentValues();
  auto fanField = [&](ControlId id, const int32_t& current) {
    form_.OnChange(id, [this, id, &current] { FanFieldChange(id, current); });
  };
  fanField(c_.fanMin, cv.fanMin);
  fanField(c_.fanMax, cv.fanMax);
  fanField(c_.fanTarget, cv.fanTarget);
  fanField(c_.fanAcoustic, cv.fanAcoustic);
  for (int k = 0; k < kFanRows; ++k) {
    fanField(c_.fanTemp[Index(k)], cv.fanCurve[Index(k)].fanTemp);
    fanField(c_.fanPerc[Index(k)], cv.fanCurve[Index(k)].fanPerc);
  }
  auto plainField = [&](ControlId id, const int32_t& current) {
    form_.OnChange(id, [this, id, &current] { ColourField(true, true, id, current); });
  };
  // The power limits are no part of the fan: their colour does not wait for its switch.
  plainField(c_.powerTemp, cv.powerTemp);
  plainField(c_.powerTarget, cv.powerTarget);
  plainField(c_.gpuMin, cv.gpuMin);
  plainField(c_.gpuMax, cv.gpuMax);
  plainField(c_.memMax, cv.memMax);
  form_.OnChange(c_.timingBox, [this] { TimingBoxChange(); });
  form_.OnChange(c_.zeroRpm, [this] { ZeroRpmBoxClick(); });
  form_.OnDoubleClick(c_.fanGroup, [this] { FanGroupDoubleClick(); });
}

// --- creation ---

void MainForm::Create() {
  form_.SetWindowCaption(std::string("Tunewright ") + kVersionText);
  const WindowMenuSwitches menus = ops_.LoadSettings();
  if (onSettingsLoaded) onSettingsLoaded(menus);
  if (ops_.LoadProfiles() == 0) ops_.RestoreFromBackup();
  const int monitorDpi = backend_.MonitorDpi();
  form_.SetScale(ScaleOfDpi(monitorDpi));
  if (!ops_.options().EnableI2c) ShrinkWithoutI2c();
  const WindowPosition position = ops_.LoadWindowPosition();
  form_.SetPosition(position.centred() ? std::nullopt : std::optional<Point>(Point{position.left, position.top}));

  if (!ops_.CheckDriverLoaded()) {
    ShowInfoMessage(true, InfoMessage::DriverNotLoaded);
    HideEditor();
    return;
  }
  if (!ops_.BuildGpuList()) {
    HideEditor();
    if (ops_.DriverTooOld()) ShowInfoMessage(true, InfoMessage::DriverTooOld);
    return;
  }
  if (!ops_.gpus().empty() && ops_.options().ShowFriendlyName) ShowFriendlyNameEntry(ops_.ListFriendlyNames(false));
  if (ops_.gpus().empty()) {
    HideEditor();
  } else {
    FillCardList();
    if (I2cPart()) regulators_->BeginDetection();
    settingCardList_ = true;
    form_.SetSelected(c_.cardList, StartCard());
    settingCardList_ = false;
    SelectCard();
    if (ops_.anyFanDeactivated()) SetFanControlActive(ops_.gpus()[Index(SelectedCard())].fanEnabled);
  }
  std::vector<std::string> names;
  for (const ProfileItem& profile : ops_.profiles()) names.push_back(profile.name);
  form_.SetItems(c_.profileList, std::move(names));
  // Regulator detection (EnableI2c on) ends by matching the profile itself.
  if (!ops_.options().EnableI2c) SelectMatchingProfile();
  else if (I2cPart() && !ops_.gpus().empty()) regulators_->Detect();
}

bool MainForm::I2cPart() const { return regulators_ && ops_.options().EnableI2c; }

void MainForm::SelectMatchingProfile() {
  if (profileCommands_) profileCommands_->SelectMatchingProfile();
}

void MainForm::ShrinkWithoutI2c() {
  form_.SetOuterHeight(kShrunkOuterHeight);
  form_.SetVisible(c_.i2cGroup, false);
  form_.SetTop(c_.profileGroup, kShrunkProfileTop);
  form_.SetTop(c_.apply, kShrunkButtonTop);
  form_.SetTop(c_.close, kShrunkButtonTop);
  form_.SetTop(c_.status, kShrunkButtonTop);
}

void MainForm::FillCardList() {
  std::vector<std::string> names;
  for (const GPUItem& gpu : ops_.gpus()) names.push_back(gpu.displayName);
  if (!ops_.options().ShowBusNumber) AddBusToSharedNames(ops_.gpus(), names);
  settingCardList_ = true;
  form_.SetItems(c_.cardList, std::move(names));
  settingCardList_ = false;
}

void MainForm::ShowFriendlyNameEntry(bool show) { form_.SetMenuItemVisible(cardListMenu_, 0, show); }

void MainForm::RefillCardList() {
  const int selected = SelectedCard();
  if (selected < 0 || ops_.gpus().empty()) return;
  const OptionSet& options = ops_.options();
  ShowFriendlyNameEntry(options.ShowFriendlyName && ops_.ListFriendlyNames(true));
  for (GPUItem& gpu : ops_.gpus())
    gpu.displayName = BuildDisplayName(gpu, options, options.ShowFriendlyName && !gpu.friendlyName.empty());
  FillCardList();
  settingCardList_ = true;
  form_.SetSelected(c_.cardList, selected);
  settingCardList_ = false;
}

int MainForm::StartCard() {
  const GpuList& gpus = ops_.gpus();
  if (gpus.size() == 1 || gpus.front().supported) return 0;
  const auto first = std::find_if(gpus.begin(), gpus.end(), [](const GPUItem& gpu) { return gpu.supported; });
  return first == gpus.end() ? 0 : static_cast<int>(first - gpus.begin());
}

// --- the card ---

int MainForm::SelectedCard() const { return form_.control(c_.cardList).selected; }

const GPUItem* MainForm::SelectedGpu() {
  const int selected = SelectedCard();
  if (selected < 0 || Index(selected) >= ops_.gpus().size()) return nullptr;
  return &ops_.gpus()[Index(selected)];
}

void MainForm::SelectCard() {
  const int selected = SelectedCard();
  if (selected < 0) return;
  ArrangeForCard(selected);
  ReadCardIntoWindow(selected);
  if (I2cPart()) regulators_->CardSelected(selected);
}

void MainForm::CardListChanged() {
  const int wanted = SelectedCard();
  if (editorCard_ >= 0 && wanted != editorCard_ && HasUnappliedEdits()) {
    // The edits belong to the card they were made for while the user decides about them.
    SelectQuietly(editorCard_);
    if (!SettleEdits()) return;
    SelectQuietly(wanted);
  }
  SelectCard();
}

void MainForm::SelectQuietly(int card) {
  settingCardList_ = true;
  form_.SetSelected(c_.cardList, card);
  settingCardList_ = false;
}

bool MainForm::HasUnappliedEdits() const {
  for (ControlId id = 0; id < form_.controlCount(); ++id) {
    const Colour background = form_.control(id).background;
    if ((background == kChangedColour || background == kRefusedColour) && form_.IsShowing(id)) return true;
  }
  return false;
}

bool MainForm::SettleEdits() {
  if (editorCard_ < 0 || !profileCommands_ || busy_ || !HasUnappliedEdits()) return true;
  const std::string card = ops_.gpus().at(Index(editorCard_)).displayName;
  switch (backend_.dialogs().AskYesNoCancel(
      "The window holds values not applied to " + card + ".\r\nApply them now? (No discards them.)",
      "Unapplied values")) {
    case Choice::Cancel: return false;
    case Choice::No: return true;
    case Choice::Yes: break;
  }
  profileCommands_->Apply();
  // A field Apply refused (a typing slip, a value the card did not take) is still there:
  // the user stays to see it.
  return !HasUnappliedEdits();
}

void MainForm::Refresh() {
  const int selected = SelectedCard();
  if (selected < 0 || !SettleEdits()) return;
  ReadCardIntoWindow(selected);
  if (I2cPart()) regulators_->Refreshed(selected);
}

void MainForm::ShowInfoMessage(bool show, InfoMessage which) {
  if (!show) {
    form_.SetCaption(c_.infoLabel, "");
    form_.SetVisible(c_.infoLabel, false);
  } else {
    const InfoText& info = kInfoTexts[static_cast<int>(which)];
    form_.SetCaption(c_.infoLabel, info.text);
    form_.SetLeft(c_.infoLabel, info.left);
    form_.SetVisible(c_.infoLabel, true);
  }
  form_.Repaint();
}

void MainForm::HideEditor() {
  for (ControlId id : {c_.gpuGroup, c_.memGroup, c_.fanGroup, c_.powerGroup, c_.profileGroup, c_.apply, c_.reset})
    form_.SetVisible(id, false);
}

void MainForm::ShowEditor() {
  for (ControlId id : {c_.gpuGroup, c_.memGroup, c_.fanGroup, c_.powerGroup, c_.profileGroup, c_.apply, c_.reset})
    form_.SetVisible(id, true);
}

void MainForm::ArrangeForCard(int gpuId) {
  const GPUItem& gpu = ops_.gpus().at(Index(gpuId));
  if (!gpu.supported) {
    HideEditor();
    form_.SetVisible(c_.i2cGroup, false);
    ShowInfoMessage(true, InfoMessage::NotSupported);
    return;
  }
  if (form_.control(c_.infoLabel).visible) ShowInfoMessage(false, InfoMessage::NotSupported);
  ShowEditor();
  for (int k = 0; k < kMaxPStates; ++k) {
    for (bool isGpu : {true, false}) {
      const PStateRow& row = (isGpu ? c_.gpuRows : c_.memRows)[Index(k)];
      const bool shown = k < (isGpu ? gpu.gpuStateCount : gpu.memStateCount);
      for (ControlId id : {row.label, row.clock, row.vcc}) form_.SetVisible(id, shown);
    }
  }
  PlaceMemoryRows(gpu.memStateCount);
  if (ops_.anyFanDeactivated()) SetFanControlActive(gpu.fanEnabled);
  FillTimingLevels(gpu.memTimingMax);
  const bool od8 = gpu.overdriveVersion == adl::kOverdrive8;
  for (ControlId id : c_.memHeadings) form_.SetVisible(id, !od8);
  for (ControlId id : {c_.gpuMin, c_.gpuMax, c_.memMax, c_.gpuMinLabel, c_.gpuMaxLabel, c_.memMaxLabel})
    form_.SetVisible(id, od8);
  if (od8)
    for (int k = 0; k < kOd8CurvePoints; ++k) SetRowEnabled(true, c_.gpuRows[Index(k)]);
  if (I2cPart()) regulators_->CardArranged(gpuId);
}

void MainForm::PlaceMemoryRows(int stateCount) {
  // Seven memory rows leave room for the timing level below them at the design's pitch; an
  // eighth takes that room, so the rows close up and the timing level goes below all eight.
  const bool eight = stateCount >= kMaxPStates;
  const int pitch = eight ? kTightRowPitch : kRowPitch;
  for (int k = 0; k < kMaxPStates; ++k) {
    const PStateRow& row = c_.memRows[Index(k)];
    form_.SetTop(row.label, kRowLabelTop + pitch * k);
    form_.SetTop(row.clock, kRowTop + pitch * k);
    form_.SetTop(row.vcc, kRowTop + pitch * k);
  }
  form_.SetTop(c_.timingBox, eight ? kRowTop + pitch * kMaxPStates : kTimingBoxTop);
  form_.SetTop(c_.timingLabel, (eight ? kRowTop + pitch * kMaxPStates : kTimingBoxTop) + kTimingLabelBelowBox);
}

void MainForm::FillTimingLevels(int32_t memTimingMax) {
  const int32_t count = std::max(memTimingMax, 0) + 1;
  if (static_cast<int32_t>(form_.control(c_.timingBox).items.size()) == count) return;
  std::vector<std::string> items{"0 - Auto"};
  for (int32_t i = 1; i < count; ++i) items.push_back(std::to_string(i) + " - Level " + std::to_string(i));
  form_.SetItems(c_.timingBox, std::move(items));
}

// --- reading a card ---

void MainForm::PutValue(ControlId field, int32_t value, std::optional<Colour> colour) {
  form_.SetSpinValue(field, value);
  if (colour) form_.SetBackground(field, *colour);
}

bool MainForm::ReadCardIntoWindow(int gpuId) {
  const GPUItem& gpu = ops_.gpus().at(Index(gpuId));
  editorCard_ = -1;
  if (!gpu.supported) return false;
  bool read = false;
  if (std::unique_ptr<CardReader> reader = ops_.OpenCardReader(gpuId)) {
    ProfileItem& cv = ops_.currentValues();
    cv.resizeGpuStates(Index(std::max(gpu.gpuStateCount, 0)));
    cv.resizeMemStates(Index(std::max(gpu.memStateCount, 0)));
    if (gpu.overdriveVersion == adl::kOverdriveN) read = ReadOverdriveN(gpuId, *reader);
    if (gpu.overdriveVersion == adl::kOverdrive8) read = ReadOverdrive8(gpuId, *reader);
  }
  if (read) editorCard_ = gpuId;
  SetEditorTips(form_, c_, gpu);
  // Fields a read left alone still hold what an earlier card or edit put there: never sent
  // under this card's name.
  if (profileCommands_) form_.SetEnabled(c_.apply, read);
  if (!read)
    backend_.dialogs().ShowMessage("Not every value of " + gpu.displayName +
                                       " could be read, so some fields may not show what the card holds.\r\n"
                                       "\"Apply\" stays off until \"Refresh\" reads the card.",
                                   "Tunewright", BoxIcon::Warning, false);
  return read;
}

void MainForm::PutLevels(const std::vector<LevelReading>& levels, int stateCount, bool gpu) {
  ProfileItem& cv = ops_.currentValues();
  std::vector<int32_t>& clocks = gpu ? cv.gpuClock : cv.memClock;
  std::vector<int32_t>& vccs = gpu ? cv.gpuVcc : cv.memVcc;
  std::vector<bool>& enabled = gpu ? cv.gpuEnabled : cv.memEnabled;
  const size_t count = std::min({Index(std::max(stateCount, 0)), levels.size(), clocks.size(), Index(kMaxPStates)});
  for (size_t k = 0; k < count; ++k) {
    clocks[k] = levels[k].clock;
    vccs[k] = levels[k].vcc;
    enabled[k] = levels[k].enabled;
    const PStateRow& row = (gpu ? c_.gpuRows : c_.memRows)[k];
    PutValue(row.clock, levels[k].clock, kWindowColour);
    PutValue(row.vcc, levels[k].vcc, kWindowColour);
    SetRowEnabled(levels[k].enabled, row);
  }
}

bool MainForm::ReadOverdriveN(int gpuId, CardReader& reader) {
  const GPUItem& gpu = ops_.gpus().at(Index(gpuId));
  ProfileItem& cv = ops_.currentValues();
  std::vector<LevelReading> levels;
  if (!reader.ReadGpuLevels(levels)) return false;  // nothing else is read
  PutLevels(levels, gpu.gpuStateCount, true);
  levels.clear();
  bool all = reader.ReadMemoryLevels(levels);
  if (all) PutLevels(levels, gpu.memStateCount, false);

  const std::optional<Colour> fanColour = gpu.fanEnabled ? std::optional<Colour>(kWindowColour) : std::nullopt;
  FanControlReading fan;
  const bool fanRead = reader.ReadFanControl(fan);
  all = all && fanRead;
  if (fanRead) {
    cv.fanMin = fan.fanMin;
    cv.fanMax = fan.fanMax;
    cv.fanTarget = fan.fanTarget;
    cv.fanAcoustic = fan.fanAcoustic;
    PutValue(c_.fanMin, fan.fanMin, fanColour);
    PutValue(c_.fanMax, fan.fanMax, fanColour);
    PutValue(c_.fanTarget, fan.fanTarget, fanColour);
    PutValue(c_.fanAcoustic, fan.fanAcoustic, fanColour);
  }
  PowerLimitReading power;
  const bool powerRead = reader.ReadPowerLimit(power);
  all = all && powerRead;
  if (powerRead) {
    cv.powerTemp = power.powerTemp;
    cv.powerTarget = power.powerTarget;
    PutValue(c_.powerTemp, power.powerTemp, kWindowColour);
    PutValue(c_.powerTarget, power.powerTarget, kWindowColour);
  }
  ExtReading ext{};
  if (!reader.ReadExtSettings(ext)) return false;
  // Extended settings: 0 timing level, 1 zero RPM, then five temperature/speed pairs.
  for (size_t k = 0; k < cv.fanCurve.size(); ++k) cv.fanCurve[k] = {ext[5 + 2 * k], ext[6 + 2 * k]};
  PutFanCurve(cv.fanCurve);
  PutZeroRpm(ext[1]);
  PutTimingLevel(ext[0]);
  ReadStateDefaultsOnce(ops_.gpus().at(Index(gpuId)), reader);
  return all;
}

void MainForm::ReadStateDefaultsOnce(GPUItem& gpu, CardReader& reader) {
  if (gpu.stateDefaults.read) return;
  gpu.stateDefaults.read = true;
  for (bool isGpu : {true, false}) {
    std::vector<LevelReading> levels;
    if (!reader.ReadDefaultLevels(isGpu, levels)) return;
    std::vector<StateDefault>& defaults = isGpu ? gpu.stateDefaults.gpu : gpu.stateDefaults.mem;
    for (const LevelReading& level : levels) defaults.push_back({level.clock, level.vcc});
  }
}

bool MainForm::ReadOverdrive8(int gpuId, CardReader& reader) {
  const GPUItem& gpu = ops_.gpus().at(Index(gpuId));
  ProfileItem& cv = ops_.currentValues();
  Od8Values v{};
  if (!reader.ReadOd8Settings(v)) return false;
  for (size_t k = 0; k < Index(kOd8CurvePoints); ++k) {
    const int32_t clock = v[adl::kOd8GfxclkFreq1 + 2 * k];
    const int32_t vcc = v[adl::kOd8GfxclkVoltage1 + 2 * k];
    if (k < cv.gpuClock.size()) {
      cv.gpuClock[k] = clock;
      cv.gpuVcc[k] = vcc;
      cv.gpuEnabled[k] = true;
    }
    PutValue(c_.gpuRows[k].clock, clock, kWindowColour);
    PutValue(c_.gpuRows[k].vcc, vcc, kWindowColour);
  }
  cv.gpuMin = v[adl::kOd8GfxclkFmin];
  cv.gpuMax = v[adl::kOd8GfxclkFmax];
  cv.memMax = v[adl::kOd8UclkFmax];
  PutValue(c_.gpuMin, cv.gpuMin, kWindowColour);
  PutValue(c_.gpuMax, cv.gpuMax, kWindowColour);
  PutValue(c_.memMax, cv.memMax, kWindowColour);
  for (size_t k = 0; k < cv.fanCurve.size(); ++k)
    cv.fanCurve[k] = {v[adl::kOd8FanCurveTemperature1 + 2 * k], v[adl::kOd8FanCurveSpeed1 + 2 * k]};
  PutFanCurve(cv.fanCurve);
  PutZeroRpm(v[adl::kOd8FanZeroRpmControl]);
  PutTimingLevel(v[adl::kOd8AcTiming]);
  cv.fanAcoustic = v[adl::kOd8FanAcousticLimit];
  PutValue(c_.fanAcoustic, cv.fanAcoustic, gpu.fanEnabled ? std::optional<Colour>(kWindowColour) : std::nullopt);
  cv.powerTarget = v[adl::kOd8PowerPercentage];
  PutValue(c_.powerTarget, cv.powerTarget, kWindowColour);
  return true;
}

void MainForm::PutFanCurve(const std::array<FanPoint, kFanCurvePoints>& curve) {
  const GPUItem* gpu = SelectedGpu();
  const std::optional<Colour> colour = gpu && gpu->fanEnabled ? std::optional<Colour>(kWindowColour) : std::nullopt;
  for (size_t k = 0; k < Index(kFanRows); ++k) {
    PutValue(c_.fanTemp[k], curve[k].fanTemp, colour);
    PutValue(c_.fanPerc[k], curve[k].fanPerc, colour);
  }
}

void MainForm::PutZeroRpm(int32_t value) {
  ops_.currentValues().fanZeroRpm = value;
  form_.SetChecked(c_.zeroRpm, value != 0);
  form_.SetBackground(c_.zeroRpm, kButtonFaceColour);
}

void MainForm::PutTimingLevel(int32_t level) {
  ops_.currentValues().memTimingLevel = level;
  if (level >= 0 && level < static_cast<int32_t>(form_.control(c_.timingBox).items.size()))
    form_.SetSelected(c_.timingBox, level);
  form_.SetBackground(c_.timingBox, kWindowColour);
}

// --- colours and handlers ---

void MainForm::ColourField(bool plainCompare, bool currentEnabled, ControlId field, int32_t currentValue) {
  bool changed = form_.SpinValue(field) != currentValue;
  if (!plainCompare) changed = changed || form_.control(field).enabled != currentEnabled;
  form_.SetBackground(field, changed ? kChangedColour : kWindowColour);
}

void MainForm::PStateChange(bool gpu, int k, bool clock) {
  const ProfileItem& cv = ops_.currentValues();
  const std::vector<int32_t>& values = gpu ? (clock ? cv.gpuClock : cv.gpuVcc) : (clock ? cv.memClock : cv.memVcc);
  const std::vector<bool>& enabled = gpu ? cv.gpuEnabled : cv.memEnabled;
  if (Index(k) >= values.size()) return;  // no value read for this state
  const PStateRow& row = (gpu ? c_.gpuRows : c_.memRows)[Index(k)];
  ColourField(false, enabled[Index(k)], clock ? row.clock : row.vcc, values[Index(k)]);
}

void MainForm::FanFieldChange(ControlId field, int32_t current) {
  const GPUItem* gpu = SelectedGpu();
  if (gpu && gpu->fanEnabled) ColourField(true, true, field, current);
}

void MainForm::TimingBoxChange() {
  const bool changed = form_.control(c_.timingBox).selected != ops_.currentValues().memTimingLevel;
  form_.SetBackground(c_.timingBox, changed ? kChangedColour : kWindowColour);
}

void MainForm::ZeroRpmBoxClick() {
  const bool ticked = form_.control(c_.zeroRpm).checked;
  const int32_t current = ops_.currentValues().fanZeroRpm;
  const bool changed = (current == 1 && !ticked) || (current == 0 && ticked);
  form_.SetBackground(c_.zeroRpm, changed ? kChangedColour : kButtonFaceColour);
  form_.SetCaption(c_.zeroRpm, ticked ? "ON" : "OFF");
}

void MainForm::RowLabelClick(bool gpu, int k) {
  const GPUItem* card = SelectedGpu();
  if (!card) return;
  // The three Overdrive8 curve points are always enabled.
  if (gpu && k < kOd8CurvePoints && card->overdriveVersion != adl::kOverdriveN) return;
  const PStateRow& row = (gpu ? c_.gpuRows : c_.memRows)[Index(k)];
  SetRowEnabled(!form_.control(row.clock).enabled, row);
  PStateChange(gpu, k, true);
  PStateChange(gpu, k, false);
}

void MainForm::SetRowEnabled(bool enabled, const PStateRow& row) {
  form_.SetEnabled(row.clock, enabled);
  form_.SetEnabled(row.vcc, enabled);
  form_.SetTextColour(row.label, enabled ? kTextColour : kGreyTextColour);
}

void MainForm::SetFanControlActive(bool active) {
  const ProfileItem& cv = ops_.currentValues();
  form_.SetTextColour(c_.fanGroup, active ? kTextColour : kGreyTextColour);
  const std::pair<ControlId, int32_t> fanValues[] = {
      {c_.fanMin, cv.fanMin}, {c_.fanMax, cv.fanMax}, {c_.fanTarget, cv.fanTarget}, {c_.fanAcoustic, cv.fanAcoustic}};
  for (const auto& [field, current] : fanValues) {
    if (!active) form_.SetSpinValue(field, current);
    form_.SetEnabled(field, active);
    form_.SetBackground(field, active ? kWindowColour : kInactiveColour);
  }
  form_.SetEnabled(c_.zeroRpm, active);
  if (!active) form_.SetBackground(c_.zeroRpm, kButtonFaceColour);
  for (size_t k = 0; k < Index(kFanRows); ++k) {
    for (ControlId field : {c_.fanTemp[k], c_.fanPerc[k]}) {
      form_.SetEnabled(field, active);
      form_.SetBackground(field, active ? kWindowColour : kInactiveColour);
    }
  }
}

void MainForm::FanGroupDoubleClick() {
  if (!backend_.CtrlHeld()) return;
  const int selected = SelectedCard();
  if (selected < 0 || Index(selected) >= ops_.gpus().size()) return;
  GPUItem& gpu = ops_.gpus()[Index(selected)];
  SetFanControlActive(!gpu.fanEnabled);
  gpu.fanEnabled = !gpu.fanEnabled;
  ops_.SaveFanDeactivatedGpus();
}

// --- the window ---

void MainForm::ShowAbout() {
  backend_.dialogs().ShowMessage(std::string("Tunewright v") + kVersionText + "\r\nTunewright contributors", "About",
                                 BoxIcon::None, false);
}

void MainForm::EndOperation() {
  busy_ = false;
  if (closeRequested_) form_.Close();
}

void MainForm::FormClose() {
  const Point position = form_.WindowPosition();
  ops_.SaveWindowPosition({position.x, position.y});
}

}  // namespace tw::ui
