#include "ui/fan_power_menus.h"

#include <optional>
#include <string>
#include <variant>

#include "gpu/custom_fan_speed.h"
#include "gpu/fan_test_speed.h"
#include "platform/dialogs.h"

namespace tw::ui {
namespace {

constexpr const char* kMessageCaption = "Tunewright";

struct FanItem {
  const char* name;
  const char* caption;
  int speed;
};
constexpr FanItem kFixedSpeeds[] = {
    {"SetFansto01", "Set manual to 0%", 0},       {"SetFansto02", "Set manual to 20%", 20},
    {"SetFansto301", "Set manual to 30%", 30},    {"Setmanualto701", "Set manual to 70%", 70},
    {"SetFansto1001", "Set manual to 100%", 100},
};

// The power menu's entries, in this order.
constexpr PowerFeature kPowerFeatures[] = {PowerFeature::PowerEfficiency, PowerFeature::Chill};

const char* CaptionOf(PowerFeature feature) {
  return feature == PowerFeature::PowerEfficiency ? "Power Efficiency:" : "Chill:";
}

}  // namespace

void FanPowerMenus::Attach(MainForm& window) {
  window_ = &window;
  window.onSettingsLoaded = [this](const WindowMenuSwitches& switches) { AttachMenus(switches); };
}

void FanPowerMenus::AttachMenus(const WindowMenuSwitches& switches) {
  Form& form = window_->form();
  if (switches.displayFanMenu) {
    PopupMenu fan;
    fan.items.push_back({.name = "SettoAutoMode1", .caption = "Set to auto mode",
                         .onClick = [this] { SetSpeed(kFanAutomatic); }});
    fan.items.push_back({.separator = true});
    for (const FanItem& item : kFixedSpeeds)
      fan.items.push_back({.name = item.name, .caption = item.caption,
                           .onClick = [this, speed = item.speed] { SetSpeed(speed); }});
    fan.items.push_back({.separator = true});
    fan.items.push_back(
        {.name = "Setcustomspeed1", .caption = "Set custom speed", .onClick = [this] { SetCustomSpeed(); }});
    form.AttachPopupMenu(window_->controls().fanGroup, form.AddPopupMenu(std::move(fan)));
  }
  if (switches.displayPowerMenu) {
    PopupMenu power;
    for (PowerFeature feature : kPowerFeatures)
      power.items.push_back({.name = feature == PowerFeature::PowerEfficiency ? "PowerEfficiency1" : "Chill1",
                             .caption = std::string(CaptionOf(feature)) + " OFF",
                             .onClick = [this, feature] { PowerItemClick(feature); }});
    power.onPopup = [this] { PowerMenuPopup(); };
    powerMenu_ = form.AddPopupMenu(std::move(power));
    form.AttachPopupMenu(window_->controls().powerGroup, powerMenu_);
  }
}

// --- fan test ---

void FanPowerMenus::SetSpeed(int speed) {
  const int selected = window_->SelectedCard();
  if (selected < 0 || static_cast<size_t>(selected) >= ops_.cardCount()) return;
  ops_.SetFanTestSpeed(selected, speed);
}

void FanPowerMenus::SetCustomSpeed() {
  std::string answer;
  if (!backend_.dialogs().AskText("", "Set speed (%):", answer)) return;
  const std::variant<int, std::string> speed = ParseCustomFanSpeed(answer);
  if (const std::string* message = std::get_if<std::string>(&speed)) {
    backend_.dialogs().ShowMessage(*message, kMessageCaption, BoxIcon::None, false);
    return;
  }
  SetSpeed(std::get<int>(speed));
}

// --- power features ---

int FanPowerMenus::ItemOf(PowerFeature feature) const { return feature == PowerFeature::PowerEfficiency ? 0 : 1; }

void FanPowerMenus::ShowPowerFeatureState(PowerFeature feature, bool state) {
  Form& form = window_->form();
  form.SetMenuItemCaption(powerMenu_, ItemOf(feature), std::string(CaptionOf(feature)) + (state ? " ON" : " OFF"));
  form.SetMenuItemChecked(powerMenu_, ItemOf(feature), state);
}

void FanPowerMenus::PowerMenuPopup() {
  const int selected = window_->SelectedCard();
  if (selected < 0 || static_cast<size_t>(selected) >= ops_.cardCount()) return;
  // Asked again at every opening, for the card selected now: one card without a feature
  // must not hide it for another that has it.
  for (PowerFeature feature : kPowerFeatures) {
    std::optional<int> state;
    const bool answered = ops_.AccessPowerFeature(selected, feature, /*silent=*/true, std::nullopt, state);
    window_->form().SetMenuItemVisible(powerMenu_, ItemOf(feature), answered);
    if (state) ShowPowerFeatureState(feature, *state != 0);
    // no connection (already reported): the entry shows what it showed
  }
}

void FanPowerMenus::PowerItemClick(PowerFeature feature) {
  const int selected = window_->SelectedCard();
  if (selected < 0 || static_cast<size_t>(selected) >= ops_.cardCount()) return;
  const bool checked = window_->form().popupMenu(powerMenu_).items[static_cast<size_t>(ItemOf(feature))].checked;
  std::optional<int> state;
  if (ops_.AccessPowerFeature(selected, feature, /*silent=*/false, !checked, state) && state)
    ShowPowerFeatureState(feature, *state != 0);
}

}  // namespace tw::ui
