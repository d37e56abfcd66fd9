#include "ui/profile_commands.h"

#include <algorithm>

#include "app/app.h"
#include "app/apply_window_values.h"
#include "app/reset_gpu.h"
#include "base/text.h"
#include "platform/dialogs.h"
#include "profiles/profile_matches.h"
#include "profiles/profile_store.h"
#include "ui/reorder_form.h"

namespace tw::ui {
namespace {

constexpr const char* kEmptyName = "Profile name cannot be empty";
constexpr const char* kMessageCaption = "Tunewright";

size_t Index(int k) { return static_cast<size_t>(k); }

}  // namespace

WindowProfileCommands::WindowProfileCommands(App& app, UiBackend& backend, WindowRegulatorSteps* regulators)
    : app_(app), backend_(backend), regulators_(regulators ? *regulators : baseRegulators_) {}

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
  return selected >= 0 && Index(selected) < app_.profiles.size() ? selected : -1;
}

void WindowProfileCommands::FillSelector(int selected) {
  std::vector<std::string> names;
  for (const ProfileItem& profile : app_.profiles) names.push_back(profile.name);
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
      if (k < shown) {
        // The driver takes no state of 0 MHz or 0 mV; the window shows what is sent.
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
  v.memTimingLevel = timing >= 0 ? timing : std::max(ValueOrZero(app_.currentValues.memTimingLevel), 0);
  v.zeroRpm = form.control(c.zeroRpm).checked;
  v.gpuMin = form.SpinValue(c.gpuMin);
  v.gpuMax = form.SpinValue(c.gpuMax);
  v.memMax = form.SpinValue(c.memMax);
  return v;
}

void WindowProfileCommands::Apply() {
  const bool all = backend_.CtrlHeld();  // once, at the press
  const int selected = window_->SelectedCard();
  if (selected < 0 || Index(selected) >= app_.gpus.size()) return;
  const GPUItem& gpu = app_.gpus[Index(selected)];
  std::vector<int> cards;
  if (all) {
    for (size_t g = 0; g < app_.gpus.size(); ++g)
      if (app_.gpus[g].supported && app_.gpus[g].overdriveVersion == gpu.overdriveVersion)
        cards.push_back(static_cast<int>(g));
  } else {
    cards.push_back(selected);
  }
  const WindowValues values = CollectWindowValues(gpu);
  for (int card : cards) ApplyWindowValues(app_, card, values);
  window_->ReadCardIntoWindow(selected);
  if (app_.options.EnableI2c) regulators_.AfterApply(cards, selected);
}

void WindowProfileCommands::Reset() {
  const bool all = backend_.CtrlHeld();
  const int selected = window_->SelectedCard();
  if (selected < 0 || Index(selected) >= app_.gpus.size()) return;
  std::vector<int> cards;
  if (all) {
    for (size_t g = 0; g < app_.gpus.size(); ++g)
      if (app_.gpus[g].supported) cards.push_back(static_cast<int>(g));
  } else {
    cards.push_back(selected);
  }
  for (int card : cards) ResetGpu(app_, card, /*console=*/false, /*fromCommandLine=*/false);
  window_->ReadCardIntoWindow(selected);
  if (app_.options.EnableI2c) regulators_.AfterReset(cards, selected);
}

// --- matching and copying ---

void WindowProfileCommands::SelectMatchingProfile() {
  const int card = window_->SelectedCard();
  if (app_.profiles.empty() || card < 0 || Index(card) >= app_.gpus.size()) return;
  const GPUItem& gpu = app_.gpus[Index(card)];
  for (size_t p = 0; p < app_.profiles.size(); ++p) {
    if (ProfileMatches(app_.currentValues, app_.profiles[p], gpu, app_.options.EnableI2c)) {
      window_->form().SetSelected(window_->controls().profileList, static_cast<int>(p));
      return;
    }
  }
}

bool WindowProfileCommands::WindowToProfile(int profile, int gpuId) {
  return ui::WindowToProfile(*window_, app_.profiles.at(Index(profile)), app_.gpus.at(Index(gpuId)),
                             app_.options.EnableI2c, regulators_);
}

void WindowProfileCommands::ProfileToWindow(int profile, int gpuId) {
  ui::ProfileToWindow(*window_, app_.profiles.at(Index(profile)), app_.gpus.at(Index(gpuId)), app_.options.EnableI2c,
                      regulators_);
}

// --- the "Profiles" group ---

void WindowProfileCommands::Save() {
  if (SelectedProfile() < 0) {
    New();  // which saves the new profile itself
    return;
  }
  const int card = window_->SelectedCard();
  if (card < 0 || Index(card) >= app_.gpus.size()) return;
  if (WindowToProfile(SelectedProfile(), card)) SaveProfiles(app_);
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
  const ProfileItem& current = app_.currentValues;
  profile.fanMin = current.fanMin;
  profile.fanMax = current.fanMax;
  profile.fanTarget = current.fanTarget;
  profile.powerTemp = current.powerTemp;
  app_.profiles.push_back(std::move(profile));
  FillSelector(static_cast<int>(app_.profiles.size()) - 1);
  Save();
}

void WindowProfileCommands::Load() {
  const int profile = SelectedProfile();
  const int card = window_->SelectedCard();
  if (profile < 0 || card < 0 || Index(card) >= app_.gpus.size()) return;
  ProfileToWindow(profile, card);
}

void WindowProfileCommands::Rename() {
  const int selected = SelectedProfile();
  if (selected < 0) return;
  ProfileItem& profile = app_.profiles[Index(selected)];
  std::string name = profile.name;
  if (!backend_.dialogs().AskText("Rename", "New name:", name)) return;
  if (!CheckName(name)) return;
  if (name == profile.name) return;
  profile.name = name;
  FillSelector(selected);
  SaveProfiles(app_);
}

void WindowProfileCommands::Delete() {
  const int selected = SelectedProfile();
  if (selected < 0) return;
  const std::string question = "Are you sure to delete profile: " + app_.profiles[Index(selected)].name + "?";
  if (!backend_.dialogs().AskYesNo(question, "Delete")) return;
  app_.profiles.erase(app_.profiles.begin() + selected);
  FillSelector(app_.profiles.empty() ? -1 : std::max(selected - 1, 0));
  SaveProfiles(app_);
}

void WindowProfileCommands::Reorder() {
  if (app_.profiles.empty()) return;
  std::vector<std::string> names;
  for (const ProfileItem& profile : app_.profiles) names.push_back(profile.name);
  ReorderForm dialog(std::move(names), window_->form(), [this](const std::vector<int>& order) {
    ReorderProfiles(order);
  });
  dialog.RunModal(backend_);
}

void WindowProfileCommands::ReorderProfiles(const std::vector<int>& positions) {
  if (app_.profiles.empty()) return;
  // Every profile exactly once, or the list stays as it is.
  std::vector<int> sorted = positions;
  std::sort(sorted.begin(), sorted.end());
  for (size_t i = 0; i < sorted.size(); ++i)
    if (sorted[i] != static_cast<int>(i)) return;
  if (sorted.size() != app_.profiles.size()) return;

  const int oldSelected = SelectedProfile();
  const ProfileList copy = app_.profiles;
  int newSelected = -1;
  for (size_t i = 0; i < positions.size(); ++i) {
    app_.profiles[i] = copy[Index(positions[i])];
    if (positions[i] == oldSelected) newSelected = static_cast<int>(i);
  }
  FillSelector(newSelected);
  SaveProfiles(app_);
}

}  // namespace tw::ui
