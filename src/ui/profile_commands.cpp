#include "ui/profile_commands.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "app/apply_window_values.h"
#include "base/text.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "gpu/profile_matches.h"
#include "gpu/adl_abi.h"
#include "messages/message_writer.h"
#include "ui/form/spin_edit.h"
#include "ui/reorder_form.h"

namespace tw::ui {
namespace {

constexpr const char* kEmptyName = "Profile name cannot be empty";
constexpr const char* kMessageCaption = "Tunewright";

size_t Index(int k) { return static_cast<size_t>(k); }

}  // namespace

WindowProfileCommands::WindowProfileCommands(ProfileCommandOperations& operations, UiBackend& backend,
                                             WindowRegulatorSteps* regulators)
    : operations_(operations), backend_(backend), regulators_(regulators ? *regulators : baseRegulators_) {}

void WindowProfileCommands::Attach(MainForm& window) {
  window_ = &window;
  Form& form = window.form();
  const std::pair<const char*, void (WindowProfileCommands::*)()> buttons[] = {
      {"Button8", &WindowProfileCommands::Load},   {"Button9", &WindowProfileCommands::Save},
      {"Button6", &WindowProfileCommands::New},    {"Button7", &WindowProfileCommands::Delete},
      {"Button5", &WindowProfileCommands::Rename}, {"Button3", &WindowProfileCommands::Reorder},
  };
  for (const auto& button : buttons) {
    const ControlId id = form.Find(button.first);
    // Not a structured binding: clang 14 (the fuzz build) cannot capture one.
    if (id != kNoControl) form.OnClick(id, [this, command = button.second] { (this->*command)(); });
  }
}

int WindowProfileCommands::SelectedProfile() const {
  const int selected = window_->form().control(window_->controls().profileList).selected;
  return selected >= 0 && Index(selected) < operations_.profiles().size() ? selected : -1;
}

void WindowProfileCommands::FillSelector(int selected) {
  std::vector<std::string> names;
  for (const ProfileItem& profile : operations_.profiles()) names.push_back(profile.name);
  Form& form = window_->form();
  form.SetItems(window_->controls().profileList, std::move(names));
  form.SetSelected(window_->controls().profileList, selected);
}

// --- "Apply" and "Reset" ---

WindowValues WindowProfileCommands::CollectWindowValues(const GPUItem& gpu) {
  Form& form = window_->form();
  const MainFormControls& c = window_->controls();
  WindowValues v;
  for (bool isGpu : {true, false}) {
    const int shown = isGpu ? gpu.gpuStateCount : gpu.memStateCount;
    std::vector<WindowLevel>& levels = isGpu ? v.gpuLevels : v.memLevels;
    for (int k = 0; k < kMaxPStates; ++k) {
      const PStateRow& row = (isGpu ? c.gpuRows : c.memRows)[Index(k)];
      if (k < shown && gpu.overdriveVersion == adl::kOverdriveN) {
        // The OverdriveN driver takes no state of 0 MHz or 0 mV; the window shows what is
        // sent. Overdrive8 takes its zeros as they are.
        for (ControlId id : {row.clock, row.vcc})
          if (form.SpinValue(id) == 0) form.SetSpinValue(id, 1);
      }
      levels.push_back({form.SpinValue(row.clock), form.SpinValue(row.vcc), form.control(row.clock).enabled});
    }
  }
  v.fanMin = form.SpinValue(c.fanMin);
  v.fanMax = form.SpinValue(c.fanMax);
  v.fanTarget = form.SpinValue(c.fanTarget);
  v.fanAcoustic = form.SpinValue(c.fanAcoustic);
  v.powerTemp = form.SpinValue(c.powerTemp);
  v.powerTarget = form.SpinValue(c.powerTarget);
  for (size_t k = 0; k < Index(kFanRows); ++k) v.fanCurve[k] = {form.SpinValue(c.fanTemp[k]), form.SpinValue(c.fanPerc[k])};
  const int timing = form.control(c.timingBox).selected;
  // Without a chosen entry the card keeps its own level.
  v.memTimingLevel = timing >= 0 ? timing : std::max(ValueOrZero(operations_.currentValues().memTimingLevel), 0);
  v.zeroRpm = form.control(c.zeroRpm).checked;
  v.gpuMin = form.SpinValue(c.gpuMin);
  v.gpuMax = form.SpinValue(c.gpuMax);
  v.memMax = form.SpinValue(c.memMax);
  return v;
}

bool WindowProfileCommands::CheckTypedFields() {
  Form& form = window_->form();
  for (ControlId id = 0; id < form.controlCount(); ++id) {
    const Control& field = form.control(id);
    if (field.kind != ControlKind::SpinEdit || !form.IsShowing(id) || form.WholeSpinValue(id)) continue;
    // A slip read as the field's minimum would reach the card as 1 MHz or 0 %: nothing is
    // sent, and the user's other edits stay for a second try.
    form.SetBackground(id, kRefusedColour);
    backend_.dialogs().ShowMessage("Nothing was applied: \"" + field.accessibleName + "\" holds \"" + field.caption +
                                       "\", which is not a whole number.\r\nAllowed: " +
                                       std::to_string(field.minValue) + ".." + std::to_string(field.maxValue) + ".",
                                   "Apply", BoxIcon::Error, false);
    form.Focus(id);
    return false;
  }
  return true;
}

bool WindowProfileCommands::FitToCard(const GPUItem& shown, int card, WindowValues& values) {
  const GPUItem& target = operations_.gpus()[Index(card)];
  if (target.overdriveVersion != shown.overdriveVersion) return false;
  // Overdrive8 sends its three curve points on every card; OverdriveN rows beyond the
  // target's own are never sent.
  if (target.overdriveVersion != adl::kOverdriveN ||
      (target.gpuStateCount <= shown.gpuStateCount && target.memStateCount <= shown.memStateCount))
    return true;
  // The rows the window does not show hold nothing the user saw: they take the card's own.
  const std::unique_ptr<CardReader> reader = operations_.OpenCardReader(card);
  if (!reader) return false;
  for (bool isGpu : {true, false}) {
    const int from = isGpu ? shown.gpuStateCount : shown.memStateCount;
    const int to = isGpu ? target.gpuStateCount : target.memStateCount;
    if (to <= from) continue;
    std::vector<LevelReading> levels;
    if (!(isGpu ? reader->ReadGpuLevels(levels) : reader->ReadMemoryLevels(levels))) return false;
    std::vector<WindowLevel>& rows = isGpu ? values.gpuLevels : values.memLevels;
    for (int k = std::max(from, 0); k < to && Index(k) < levels.size() && Index(k) < rows.size(); ++k)
      rows[Index(k)] = {levels[Index(k)].clock, levels[Index(k)].vcc, levels[Index(k)].enabled};
  }
  return true;
}

std::vector<int> WindowProfileCommands::TargetCards(bool all, int selected, bool sameGeneration) const {
  if (!all) return {selected};
  std::vector<int> cards;
  const GpuList& gpus = operations_.gpus();
  const GPUItem& chosen = gpus[Index(selected)];
  for (size_t g = 0; g < gpus.size(); ++g)
    if (gpus[g].supported && (!sameGeneration || gpus[g].overdriveVersion == chosen.overdriveVersion))
      cards.push_back(static_cast<int>(g));
  return cards;
}

namespace {

std::string CardNumbers(const std::vector<int>& cards) {
  std::string text;
  for (int card : cards) text += (text.empty() ? "" : ", ") + std::to_string(card);
  return text;
}

}  // namespace

namespace {

std::string RefusedText(const RefusedParts& refused) {
  std::string text;
  const std::pair<bool, const char*> parts[] = {{refused.gpuClocks, "GPU states"}, {refused.memClocks, "memory states"},
                                                {refused.fan, "fan"},           {refused.ext, "fan curve and timing"},
                                                {refused.power, "power"},       {refused.od8, "the settings"}};
  for (const auto& [taken, name] : parts)
    if (taken) text += (text.empty() ? "" : ", ") + std::string(name);
  return text;
}

}  // namespace

std::string ApplyStatus(const std::vector<int>& targets, size_t wholly,
                        const std::vector<std::pair<int, RefusedParts>>& refusals) {
  std::string text = targets.size() == 1 && wholly + refusals.size() == 1
                         ? "Applied to card " + std::to_string(targets[0])
                         : "Applied to " + std::to_string(wholly) + " of " + std::to_string(targets.size()) + " cards";
  for (const auto& [card, refused] : refusals)
    text += "; card " + std::to_string(card) + " refused " + RefusedText(refused);
  return text;
}

std::string WindowProfileCommands::At() const {
  Clock& clock = operations_.clock();
  return " (" + clock.FormatLongTime(clock.Now()) + ")";
}

std::vector<int> WindowProfileCommands::RunOnCards(const char* command, const std::vector<int>& cards,
                                                   const std::function<bool(int)>& send) {
  std::vector<int> done, skipped, left;
  // Several cards' messages come as one box at the end, each under its card.
  std::optional<MessageWriter::GatherScope> gathered;
  if (cards.size() > 1) gathered.emplace(operations_.messages());
  for (int card : cards) {
    if (gathered) gathered->Label("Card " + std::to_string(card) + ": ");
    if (window_->CloseRequested()) left.push_back(card);
    else (send(card) ? done : skipped).push_back(card);
  }
  if (gathered) gathered->Label("");
  std::string report;
  if (!skipped.empty())
    report += "Card(s) " + CardNumbers(skipped) + " skipped: their own values for the rows this window does not " +
              "show could not be read.\r\n";
  if (!left.empty())
    report += std::string("The window was closed during \"") + command + "\": done on card(s) " +
              (done.empty() ? std::string("none") : CardNumbers(done)) + "; card(s) " + CardNumbers(left) +
              " left as they were.";
  if (report.empty()) return done;
  if (gathered) operations_.messages().ReportMessage(report, /*console=*/false, 0, MessageKind::Warning);
  else backend_.dialogs().ShowMessage(report, command, BoxIcon::Warning, false);
  return done;
}

void WindowProfileCommands::Apply() {
  const bool all = backend_.CtrlHeld();  // once, at the press
  const int selected = window_->SelectedCard();
  if (selected < 0 || Index(selected) >= operations_.gpus().size()) return;
  // The fields belong to the card they were read for, and only while it is the one shown.
  if (window_->EditorCard() != selected) return;
  if (!CheckTypedFields()) return;
  const GPUItem& gpu = operations_.gpus()[Index(selected)];
  const WindowValues values = CollectWindowValues(gpu);
  const std::vector<KeptField> typed = KeepFields(FieldsOf({true, true, true, true, true, true}, gpu));
  RefusedParts refused;
  std::vector<std::pair<int, RefusedParts>> refusals;
  const std::vector<int> targets = TargetCards(all, selected, true);
  window_->BeginOperation();
  const std::vector<int> done = RunOnCards("Apply", targets, [&](int card) {
    WindowValues own = values;
    if (card != selected && !FitToCard(gpu, card, own)) return false;
    const RefusedParts parts = operations_.ApplyWindowValues(card, own);
    if (card == selected) refused = parts;
    if (parts.any()) refusals.emplace_back(card, parts);
    return true;
  });
  std::string status = ApplyStatus(targets, done.size() - refusals.size(), refusals);
  // The re-read shows what the card took; what it refused stays as the user typed it.
  status += AfterSending(done, true, [&] {
    if (refused.any()) PutBackRefused(typed, FieldsOf(refused, gpu));
  });
  window_->ShowStatus(status + At());
}

std::vector<ControlId> WindowProfileCommands::FieldsOf(const RefusedParts& refused, const GPUItem& gpu) const {
  const MainFormControls& c = window_->controls();
  const bool od8 = refused.od8;
  std::vector<ControlId> fields;
  const auto rows = [&fields](const std::array<PStateRow, kMaxPStates>& all, int count) {
    for (int k = 0; k < count && k < kMaxPStates; ++k) fields.insert(fields.end(), {all[Index(k)].clock, all[Index(k)].vcc});
  };
  if (refused.gpuClocks || od8) rows(c.gpuRows, gpu.overdriveVersion == adl::kOverdrive8 ? kOd8CurvePoints : gpu.gpuStateCount);
  if (refused.memClocks) rows(c.memRows, gpu.memStateCount);
  if (refused.fan || od8) fields.push_back(c.fanAcoustic);
  if (refused.ext || od8) {
    fields.insert(fields.end(), c.fanTemp.begin(), c.fanTemp.end());
    fields.insert(fields.end(), c.fanPerc.begin(), c.fanPerc.end());
    fields.insert(fields.end(), {c.zeroRpm, c.timingBox});
  }
  if (refused.power || od8) fields.push_back(c.powerTarget);
  if (od8) fields.insert(fields.end(), {c.gpuMin, c.gpuMax, c.memMax});
  return fields;
}

std::vector<WindowProfileCommands::KeptField> WindowProfileCommands::KeepFields(
    const std::vector<ControlId>& fields) const {
  std::vector<KeptField> kept;
  for (ControlId id : fields) {
    const Control& field = window_->form().control(id);
    kept.push_back({id, field.caption, field.enabled, field.checked, field.selected});
  }
  return kept;
}

void WindowProfileCommands::PutBackRefused(const std::vector<KeptField>& typed, const std::vector<ControlId>& refused) {
  Form& form = window_->form();
  const MainFormControls& c = window_->controls();
  for (const KeptField& kept : typed) {
    if (std::find(refused.begin(), refused.end(), kept.id) == refused.end()) continue;
    const Control& field = form.control(kept.id);
    if (field.kind == ControlKind::SpinEdit)
      form.SetSpinValue(kept.id, WholeSpinValueOf(kept.text, field.minValue, field.maxValue).value_or(field.minValue));
    if (field.kind == ControlKind::CheckBox) form.SetChecked(kept.id, kept.checked);
    if (field.kind == ControlKind::DropDown) form.SetSelected(kept.id, kept.selected);
    for (const auto* rows : {&c.gpuRows, &c.memRows})
      for (const PStateRow& row : *rows)
        if (row.clock == kept.id) window_->SetRowEnabled(kept.enabled, row);
    form.SetBackground(kept.id, kRefusedColour);
  }
}

void WindowProfileCommands::Reset() {
  const bool all = backend_.CtrlHeld();
  const int selected = window_->SelectedCard();
  if (selected < 0 || Index(selected) >= operations_.gpus().size()) return;
  window_->BeginOperation();
  const std::vector<int> targets = TargetCards(all, selected, false);
  const std::vector<int> done = RunOnCards("Reset", targets, [&](int card) {
    operations_.ResetGpu(card);
    return true;
  });
  window_->ShowStatus((targets.size() == 1 && done.size() == 1
                           ? "Reset card " + std::to_string(done[0])
                           : "Reset " + std::to_string(done.size()) + " of " + std::to_string(targets.size()) +
                                 " cards") +
                      At());
  AfterSending(done, false);
}

std::string WindowProfileCommands::AfterSending(const std::vector<int>& done, bool applied,
                                                const std::function<void()>& afterRead) {
  std::string regulatorStatus;
  // A card switched while a box was open is the one read: the editor shows the selected card.
  const int selected = window_->SelectedCard();
  if (!window_->CloseRequested() && selected >= 0) {
    if (window_->ReadCardIntoWindow(selected) && afterRead) afterRead();
    if (operations_.options().EnableI2c) {
      if (applied) regulatorStatus = regulators_.AfterApply(done, selected);
      else regulators_.AfterReset(done, selected);
    }
  }
  window_->EndOperation();
  return regulatorStatus;
}

// --- matching and copying ---

void WindowProfileCommands::SelectMatchingProfile() {
  const int card = window_->SelectedCard();
  if (operations_.profiles().empty() || card < 0 || Index(card) >= operations_.gpus().size()) return;
  const GPUItem& gpu = operations_.gpus()[Index(card)];
  for (size_t p = 0; p < operations_.profiles().size(); ++p) {
    if (ProfileMatches(operations_.currentValues(), operations_.profiles()[p], gpu, operations_.options().EnableI2c)) {
      window_->form().SetSelected(window_->controls().profileList, static_cast<int>(p));
      return;
    }
  }
}

bool WindowProfileCommands::WindowToProfile(int profile, int gpuId) {
  return ui::WindowToProfile(*window_, operations_.profiles().at(Index(profile)), operations_.gpus().at(Index(gpuId)),
                             operations_.options().EnableI2c, regulators_);
}

void WindowProfileCommands::ProfileToWindow(int profile, int gpuId) {
  ui::ProfileToWindow(*window_, operations_.profiles().at(Index(profile)), operations_.gpus().at(Index(gpuId)),
                      operations_.options().EnableI2c, regulators_);
}

// --- the "Profiles" group ---

void WindowProfileCommands::Save() {
  if (SelectedProfile() < 0) {
    New();  // which saves the new profile itself
    return;
  }
  const int card = window_->SelectedCard();
  if (card < 0 || Index(card) >= operations_.gpus().size()) return;
  if (WindowToProfile(SelectedProfile(), card))
    operations_.SaveProfiles();
}

bool WindowProfileCommands::CheckName(std::string& name) {
  // The file cannot hold a line break in a value (it becomes a blank there): the name in
  // the list is made the same as the one that will be read back.
  std::replace_if(name.begin(), name.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  name = std::string(TrimBlanks(name));
  if (!name.empty()) return true;
  backend_.dialogs().ShowMessage(kEmptyName, kMessageCaption, BoxIcon::None, false);
  return false;
}

void WindowProfileCommands::New() {
  std::string name;
  if (!backend_.dialogs().AskText("New", "New profile name:", name)) return;
  if (!CheckName(name)) return;
  std::erase(name, '"');
  ProfileItem profile;
  profile.name = name;
  // Never stored and never filled by "Save": the card's own values, so that applying the
  // profile can never send made-up numbers.
  const ProfileItem& current = operations_.currentValues();
  profile.fanMin = current.fanMin;
  profile.fanMax = current.fanMax;
  profile.fanTarget = current.fanTarget;
  profile.powerTemp = current.powerTemp;
  operations_.profiles().push_back(std::move(profile));
  FillSelector(static_cast<int>(operations_.profiles().size()) - 1);
  Save();
}

void WindowProfileCommands::Load() {
  const int profile = SelectedProfile();
  const int card = window_->SelectedCard();
  if (profile < 0 || card < 0 || Index(card) >= operations_.gpus().size()) return;
  if (!window_->SettleEdits()) return;
  // Discarded edits go: the profile lands on the card's own values, as after a switch.
  if (window_->HasUnappliedEdits() && !window_->ReadCardIntoWindow(card)) return;
  ProfileToWindow(profile, card);
  const ProfileItem& loaded = operations_.profiles()[Index(profile)];
  const std::vector<std::string> leftOut = KeysLeftOut(loaded, operations_.gpus()[Index(card)]);
  if (leftOut.empty()) return;
  std::string keys;
  for (const std::string& key : leftOut) keys += (keys.empty() ? "" : ", ") + key;
  backend_.dialogs().ShowMessage("Profile \"" + loaded.name + "\" holds values this card has " +
                                     "no field for; these were not loaded: " + keys + ".",
                                 "Load", BoxIcon::Information, false);
}

void WindowProfileCommands::Rename() {
  const int selected = SelectedProfile();
  if (selected < 0) return;
  const std::string oldName = operations_.profiles()[Index(selected)].name;
  std::string name = oldName;
  if (!backend_.dialogs().AskText("Rename", "New name:", name)) return;
  if (!CheckName(name)) return;
  // The list may have changed while the box was open: the profile renamed is the one the
  // box was about.
  const int confirmed = FindProfile(oldName, selected);
  if (confirmed < 0 || name == oldName) return;
  operations_.profiles()[Index(confirmed)].name = name;
  FillSelector(confirmed);
  operations_.SaveProfiles();
}

void WindowProfileCommands::Delete() {
  const int selected = SelectedProfile();
  if (selected < 0) return;
  const std::string name = operations_.profiles()[Index(selected)].name;
  if (!backend_.dialogs().AskYesNo("Are you sure to delete profile: " + name + "?", "Delete")) return;
  // The answer is about the profile the question named, wherever it is now; one already
  // gone (a second click that reached the window) deletes nothing else.
  const int confirmed = FindProfile(name, selected);
  if (confirmed < 0) return;
  ProfileList& profiles = operations_.profiles();
  profiles.erase(profiles.begin() + confirmed);
  FillSelector(profiles.empty() ? -1 : std::max(confirmed - 1, 0));
  operations_.SaveProfiles();
}

int WindowProfileCommands::FindProfile(const std::string& name, int hint) const {
  const ProfileList& profiles = operations_.profiles();
  if (hint >= 0 && Index(hint) < profiles.size() && profiles[Index(hint)].name == name) return hint;
  const auto found = std::find_if(profiles.begin(), profiles.end(),
                                  [&name](const ProfileItem& profile) { return profile.name == name; });
  return found == profiles.end() ? -1 : static_cast<int>(found - profiles.begin());
}

void WindowProfileCommands::Reorder() {
  if (operations_.profiles().empty()) return;
  std::vector<std::string> names;
  for (const ProfileItem& profile : operations_.profiles()) names.push_back(profile.name);
  ReorderForm dialog(std::move(names), window_->form(), [this](const std::vector<int>& order) {
    ReorderProfiles(order);
  });
  // The profile the user is on is the one the dialog starts from.
  if (const int current = SelectedProfile(); current >= 0)
    dialog.form().SetSelected(dialog.form().Find("ListView1"), current);
  dialog.RunModal(backend_);
}

void WindowProfileCommands::ReorderProfiles(const std::vector<int>& positions) {
  ProfileList& profiles = operations_.profiles();
  if (profiles.empty()) return;
  // Every profile exactly once, or the list stays as it is.
  std::vector<int> sorted = positions;
  std::sort(sorted.begin(), sorted.end());
  for (size_t i = 0; i < sorted.size(); ++i)
    if (sorted[i] != static_cast<int>(i)) return;
  if (sorted.size() != profiles.size()) return;

  const int oldSelected = SelectedProfile();
  const ProfileList copy = profiles;
  int newSelected = -1;
  for (size_t i = 0; i < positions.size(); ++i) {
    profiles[i] = copy[Index(positions[i])];
    if (positions[i] == oldSelected) newSelected = static_cast<int>(i);
  }
  FillSelector(newSelected);
  operations_.SaveProfiles();
}

}  // namespace tw::ui
