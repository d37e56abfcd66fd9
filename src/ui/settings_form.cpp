#include "ui/settings_form.h"

#include <string>
#include <utility>

#include "base/integer.h"
#include "base/text.h"
#include "ui/form/form_builder.h"

namespace tw::ui {
namespace {

constexpr int kClientWidth = 490;
constexpr int kClientHeight = 521;

WindowFrame SettingsWindowFrame() {
  WindowFrame w;
  w.className = "TForm2";
  w.caption = "Settings";
  w.clientWidth = kClientWidth;
  w.clientHeight = kClientHeight;
  w.fixedSize = true;
  w.minimizeBox = false;
  return w;
}

class Builder : public FormBuilder {
 public:
  using FormBuilder::FormBuilder;

  ControlId Check(const char* name, const char* caption, ControlId group, int left, int top) {
    return Add({.kind = ControlKind::CheckBox, .name = name, .parent = group, .bounds = {left, top, 0, 0},
                .caption = caption, .tabStop = true, .background = Colour::System(SystemColour::ButtonFace)});
  }
  // `bounds` with a size for texts of several lines; labels of one line size themselves.
  ControlId Label(const char* name, const char* caption, ControlId group, Rect bounds) {
    return Add({.kind = ControlKind::Label, .name = name, .parent = group, .bounds = bounds, .caption = caption});
  }
};

}  // namespace

// ---- the dialog ---------------------------------------------------------------------------

SettingsForm::SettingsForm(SettingsOperations& ops, UiBackend& backend)
    : ops_(ops), backend_(backend), form_(SettingsWindowFrame()) {
  Build();
  form_.onClose = [this] { Closing(); };
}

void SettingsForm::Build() {
  Builder b(form_);
  const ControlId general = b.Group("GroupBox1", "General", {8, 8, 474, 130});
  b.Label("Label2", "Show additional info about GPU:", general, {12, 18, 0, 0});
  busNumber_ = b.Check("CheckBox3", "Bus number", general, 24, 36);
  pnpString_ = b.Check("CheckBox1", "PNP string", general, 24, 54);
  adapterIndex_ = b.Check("CheckBox4", "Adapter index", general, 24, 72);
  friendlyName_ = b.Check("CheckBox6", "Friendly name", general, 150, 36);
  registryKey_ = b.Check("CheckBox7", "Registry key", general, 150, 54);
  notListUnsupported_ = b.Check("CheckBox5", "Do not list unsupported GPU's (requires restart)", general, 12, 94);
  b.Label("Label4", "(this may change current gpu_id's)", general, {29, 111, 0, 0});

  const ControlId i2c = b.Group("GroupBox2", "I2C (for RX 400, some RX500 series)", {8, 144, 474, 114});
  enableI2c_ = b.Check("CheckBox2", "Enable I2C (requires restart)", i2c, 12, 20);
  b.Label("Label1", "It's recommended to disable I2C when it's not being \r\nused or not supported.", i2c,
          {12, 39, 390, 26});
  rescan_ = b.Button("Button2", "Rescan lines", {12, 72, 90, 25}, i2c);
  b.Label("Label3",
          "On next program startup will be done scanning for \r\nsupported VRM controller.\r\n"
          "Use this if something in PC config was changed.",
          i2c, {112, 68, 296, 40});

  const ControlId troubleshooting = b.Group("GroupBox3", "Troubleshooting", {8, 264, 474, 78});
  ignoreError8_ = b.Check("CheckBox8", "Hide errors with ErrorCode -8", troubleshooting, 12, 20);
  const ControlId label5 = b.Label("Label5", "(ADL_ERR_NOT_SUPPORTED)", troubleshooting, {206, 21, 0, 0});
  mismatch_ = b.Check("CheckBox14", "Treat values mismatch on apply as error", troubleshooting, 12, 38);
  resetBeforeApply_ = b.Check("CheckBox15", "Automatically reset before apply", troubleshooting, 12, 56);

  const ControlId backup = b.Group("GroupBox4", "Ini backup", {8, 348, 474, 132});
  createAutomatically_ = b.Check("CheckBox10", "Automatically make .ini file backup when", backup, 12, 20);
  const ControlId label9 = b.Label("Label9", "something was changed in profiles", backup, {268, 21, 0, 0});
  restoreAutomatically_ = b.Check("CheckBox9", "Restore automatically from last backup", backup, 12, 40);
  restoreLabel_ = b.Label("Label6", "when ini has 0 profiles", backup, {259, 41, 0, 0});
  silently_ = b.Check("CheckBox11", "Silently (without confirmation message)", backup, 28, 58);
  limit_ = b.Check("CheckBox12", "Limit number of backups to", backup, 12, 79);
  Control spin{.kind = ControlKind::SpinEdit, .name = "SpinEdit1", .parent = backup, .bounds = {196, 76, 57, 21},
               .caption = "10", .accessibleName = "Number of backups", .tabStop = true};
  spin.minValue = 1;
  spin.maxValue = 9999;
  spin.onLeave = [this] {
    if (const std::optional<int> number = TypedNumberOfBackups()) return form_.SetSpinValue(number_, *number);
    RefuseNumberOfBackups();
  };
  number_ = b.Add(std::move(spin));
  const ControlId makeBackup = b.Button("Button3", "Make backup now", {12, 100, 110, 25}, backup);
  const ControlId close = b.Button("Button1", "Close", {392, 488, 90, 25});

  for (ControlId id : {restoreAutomatically_, silently_, limit_, number_, restoreLabel_}) form_.SetEnabled(id, false);
  for (ControlId id : {createAutomatically_, limit_, restoreAutomatically_})
    form_.OnChange(id, [this] { BackupBoxesChanged(); });
  // The texts after three check boxes belong to their captions: a click toggles the box.
  const std::pair<ControlId, ControlId> extensions[] = {
      {label5, ignoreError8_}, {label9, createAutomatically_}, {restoreLabel_, restoreAutomatically_}};
  for (const auto& [label, box] : extensions) {
    form_.OnClick(label, [this, box = box] { form_.UserClicked(box); });
    form_.SetCaptionContinuation(label, box);
  }
  form_.OnClick(rescan_, [this] {
    ops_.ForgetI2cSection();
    form_.SetEnabled(rescan_, false);  // once per run
  });
  form_.OnClick(makeBackup, [this] { MakeBackupClick(); });
  form_.OnClick(close, [this] { form_.Close(); });
  form_.SetInitialFocus(close);
  form_.SetDefaultButton(close);  // the dialog's only answer
  form_.SetCancelButton(close);
}

void SettingsForm::BackupBoxesChanged() {
  const bool create = Checked(createAutomatically_);
  form_.SetEnabled(restoreAutomatically_, create);
  form_.SetEnabled(limit_, create);
  form_.SetEnabled(restoreLabel_, create);
  form_.SetEnabled(silently_, create && Checked(restoreAutomatically_));
  form_.SetEnabled(number_, create && Checked(limit_));
}

void SettingsForm::Fill() {
  const OptionSet& o = ops_.options();
  const std::pair<ControlId, bool> boxes[] = {
      {busNumber_, o.ShowBusNumber},       {pnpString_, o.ShowPnpString},
      {adapterIndex_, o.ShowAdapterIndex}, {friendlyName_, o.ShowFriendlyName},
      {registryKey_, o.ShowRegistryKey},   {notListUnsupported_, o.DoNotListUnsupported},
      {enableI2c_, o.EnableI2c},           {ignoreError8_, o.IgnoreError8},
      {mismatch_, o.CheckValuesMismatch},  {resetBeforeApply_, o.ResetBeforeApply},
      {createAutomatically_, o.CreateAutomatically}, {restoreAutomatically_, o.RestoreAutomatically},
      {silently_, o.DoNotConfirmOnRestore}, {limit_, o.LimitNumberOfBackups},
  };
  for (const auto& [box, value] : boxes) form_.SetChecked(box, value);
  form_.SetSpinValue(number_, o.NumberOfBackups);
  BackupBoxesChanged();  // also when no box changed from its first state
}

SettingsValues SettingsForm::Values() const {
  SettingsValues v;
  v.ShowBusNumber = Checked(busNumber_);
  v.ShowPnpString = Checked(pnpString_);
  v.ShowAdapterIndex = Checked(adapterIndex_);
  v.ShowFriendlyName = Checked(friendlyName_);
  v.ShowRegistryKey = Checked(registryKey_);
  v.EnableI2c = Checked(enableI2c_);
  v.DoNotListUnsupported = Checked(notListUnsupported_);
  v.IgnoreError8 = Checked(ignoreError8_);
  v.ResetBeforeApply = Checked(resetBeforeApply_);
  v.CheckValuesMismatch = Checked(mismatch_);
  v.CreateAutomatically = Checked(createAutomatically_);
  v.RestoreAutomatically = Checked(restoreAutomatically_);
  v.LimitNumberOfBackups = Checked(limit_);
  v.DoNotConfirmOnRestore = Checked(silently_);
  v.NumberOfBackups = TypedNumberOfBackups().value_or(ops_.options().NumberOfBackups);
  return v;
}

std::optional<int> SettingsForm::TypedNumberOfBackups() const {
  const Control& field = form_.control(number_);
  const std::optional<int32_t> number = TryParseInt32(TrimBlanks(field.caption));
  if (number && *number >= field.minValue && *number <= field.maxValue) return *number;
  return std::nullopt;
}

void SettingsForm::RefuseNumberOfBackups() {
  const Control& field = form_.control(number_);
  const std::string text = field.caption;
  form_.SetSpinValue(number_, ops_.options().NumberOfBackups);
  ops_.ShowError("\"" + text + "\" is not a number of backups from " + std::to_string(field.minValue) + " to " +
                 std::to_string(field.maxValue) + "; the limit stays " +
                 std::to_string(ops_.options().NumberOfBackups));
}

// A field the spin edit would read as its lowest number must never prune as if 1 was meant.
void SettingsForm::MakeBackupClick() {
  if (!TypedNumberOfBackups()) return RefuseNumberOfBackups();
  ops_.MakeBackupNow(Values());
}

void SettingsForm::Show(const Form& owner) {
  if (open_) return view_->Show();  // brought forward
  view_.reset();  // the window of an earlier showing is gone already
  form_.CentreOn(owner);
  view_ = backend_.CreateView(form_);
  open_ = true;
  view_->Show();
}

void SettingsForm::SaveIfOpen() {
  if (!open_) return;
  open_ = false;
  ops_.SaveSettings(Values());
}

void SettingsForm::Closing() {
  if (!open_) return;
  open_ = false;
  if (!TypedNumberOfBackups()) RefuseNumberOfBackups();
  const SettingsValues values = Values();
  ops_.SaveSettings(values);
  ops_.ApplyDialogSettings(values);
}

}  // namespace tw::ui
