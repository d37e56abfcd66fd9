#include "ui/powerplay_editor_form.h"

#include <algorithm>

#include "base/integer.h"
#include "base/text.h"
#include "messages/message_writer.h"
#include "platform/dialogs.h"
#include "platform/machine.h"
#include "platform/platform.h"
#include "powerplay/device_restart.h"
#include "powerplay/powerplay_ports.h"
#include "powerplay/reg_file.h"
#include "powerplay/regedit_at_key.h"
#include "powerplay/registry_table.h"
#include "powerplay/restart_tool.h"
#include "powerplay/table_file.h"
#include "powerplay/table_transfer.h"
#include "ui/main_form.h"

namespace tw::ui {
namespace {

constexpr std::string_view kLocalMachine = "HKEY_LOCAL_MACHINE\\";
constexpr int32_t kLowestClock = 100;                 // MHz, for "Save"
constexpr int32_t kHighestVoltageField = 65535;       // the 16 bits of a voltage record
constexpr int32_t kFirstSpecialVoltage = 0xFF00;      // 65280..65535 pass whatever the card's limit
// A card's voltage limits for "Save" are raised to at least these (mV).
constexpr int32_t kLowestMinVoltage = 600;
constexpr int32_t kLowestMaxVoltage = 1000;

size_t At(int n) { return static_cast<size_t>(n); }

std::string PathText(const std::string& regPath) {
  return std::string(kLocalMachine) + regPath + "\\" + std::string(kPowerPlayValueName);
}

}  // namespace

PowerPlayEditor::PowerPlayEditor(PowerPlayEditorServices& services, UiBackend& backend)
    : services_(services), backend_(backend), form_(PowerPlayEditorFrame()), c_(BuildPowerPlayEditorLayout(form_)) {
  form_.SetScale(ScaleOfDpi(backend_.MonitorDpi()));
  ConnectHandlers();
  form_.onClose = [this] {
    // Unsaved edits go with the window; nothing is written.
    closed_ = true;
    table_.clear();
    layoutValid_ = false;
  };
  form_.SetInitialFocus(c_.close);
  // Escape closes; Enter clicks nothing, as no button here is safe to press unseen.
  form_.SetCancelButton(c_.close);
}

void PowerPlayEditor::ConnectHandlers() {
  form_.OnChange(c_.useExisting, [this] {
    if (!quiet_) UseExistingClick();
  });
  form_.OnChange(c_.createNew, [this] {
    if (!quiet_) EmptyState();
  });
  // The label finishes the radio button's caption, and a click on it is one on the button.
  form_.OnClick(c_.createNewTail, [this] { form_.UserClicked(c_.createNew); });
  form_.OnClick(c_.openFile, [this] { OpenFileClick(); });
  form_.OnClick(c_.save, [this] { SaveClick(); });
  form_.OnClick(c_.saveReg, [this] { SaveRegClick(); });
  form_.OnClick(c_.exportReg, [this] { ExportRegClick(); });
  form_.OnClick(c_.remove, [this] { DeleteClick(); });
  form_.OnClick(c_.regedit, [this] { RegeditClick(); });
  form_.OnClick(c_.undo, [this] { UndoClick(); });
  form_.OnClick(c_.close, [this] { form_.Close(); });
  for (int n = 0; n < kShownStateCount; ++n) {
    form_.OnChange(c_.gpuRows[At(n)].vcc, [this, n] { VoltageChange(StateKind::Gpu, n); });
    form_.OnChange(c_.memRows[At(n)].vcc, [this, n] { VoltageChange(StateKind::Memory, n); });
  }
}

// --- opening and loading ---

void PowerPlayEditor::OpenEditor(const std::string& cardKey, const std::string& cardName, int32_t minVoltage,
                                 int32_t maxVoltage, const std::string& instanceId, std::optional<Point> position) {
  cardName_ = cardName;
  layout_ = pConst{};
  layout_.regPath = std::string(kClassKeyPath) + cardKey;
  layout_.minVoltage = minVoltage;
  layout_.maxVoltage = maxVoltage;
  layout_.instanceId = instanceId;
  form_.SetCaption(c_.path, PathText(layout_.regPath));
  form_.SetCaption(c_.cardName, cardName);
  table_.clear();
  isAdmin_ = services_.platform.machine.IsUserAdmin();
  form_.SetPosition(position);
  view_ = backend_.CreateView(form_);
  EmptyState();
  LoadFromRegistry();
  view_->Show();
}

void PowerPlayEditor::LoadFromRegistry() {
  table_.clear();
  layoutValid_ = false;
  const int result = ReadRegistryTable(services_.registry, layout_.regPath, table_);
  if (result == kRegistryTableBadSize) return SetRegistryStatus("invalid size", false);
  if (result != kRegistryTableFound) return SetRegistryStatus(isAdmin_ ? "not found" : "admin rights required", false);
  const TableFamily family = IdentifyTable(table_);
  if (family == TableFamily::Unsupported) {
    SetRegistryStatus("not supported", true);
    return EmptyState();
  }
  SetRegistryStatus(std::string(TableFamilyText(family)), true);
  CheckRadio(c_.useExisting);
  if (!ShowLoadedTable()) {
    SetRegistryStatus("not supported", true);
    EmptyState();
  }
}

// SetLayout, BuildStates, ShowTable and the shown state; false (and nothing shown) when
// the table does not hold what its header promises.
bool PowerPlayEditor::ShowLoadedTable() {
  layoutValid_ = false;
  EditorValues values;
  if (!SetLayout(IdentifyTable(table_), table_, layout_) || !BuildStates(table_, layout_, states_) ||
      !ShowTable(table_, layout_, states_, values))
    return false;
  layoutValid_ = true;
  PutValues(values);
  ShownState();
  return true;
}

void PowerPlayEditor::SetRegistryStatus(const std::string& text, bool withValue) {
  form_.SetCaption(c_.status, text);
  form_.SetEnabled(c_.remove, withValue);
  form_.SetEnabled(c_.exportReg, withValue);
  // "Use existing in the registry" stays available: the value may appear while the window
  // is open (imported from a .reg file, written by another program), and choosing it reads
  // the registry again; without a value it falls back to "Create new using bios file".
  if (withValue) return;
  form_.SetVisible(c_.note, false);
  if (form_.control(c_.useExisting).checked) {
    EmptyState();
    CheckRadio(c_.createNew);
  }
}

void PowerPlayEditor::CheckRadio(ControlId radio) {
  quiet_ = true;
  form_.SetChecked(radio, true);
  quiet_ = false;
}

// --- window states ---

void PowerPlayEditor::EmptyState() {
  for (ControlId id : {c_.gpuGroup, c_.memGroup, c_.limitsGroup, c_.save, c_.undo, c_.saveReg, c_.note})
    form_.SetVisible(id, false);
  form_.SetCaption(c_.fileName, "");
  form_.SetCaption(c_.fileStatus, "");
}

void PowerPlayEditor::ShownState() {
  for (int n = 0; n < kShownStateCount; ++n) {
    for (const bool gpu : {true, false}) {
      const EditorStateRow& row = (gpu ? c_.gpuRows : c_.memRows)[At(n)];
      const bool shown = n < (gpu ? layout_.gpuStateCount : layout_.memStateCount);
      for (ControlId id : {row.label, row.clock, row.vcc}) form_.SetVisible(id, shown);
    }
  }
  for (ControlId id : {c_.gpuGroup, c_.memGroup, c_.limitsGroup, c_.undo, c_.saveReg}) form_.SetVisible(id, true);
  form_.SetVisible(c_.save, cardName_ != kNoCardName);
  form_.SetVisible(c_.note, false);
}

bool PowerPlayEditor::GroupsShown() const { return form_.IsShowing(c_.gpuGroup); }

// --- fields ---

void PowerPlayEditor::PutValues(const EditorValues& values) {
  quiet_ = true;
  for (int n = 0; n < kShownStateCount; ++n) {
    form_.SetSpinValue(c_.gpuRows[At(n)].clock, values.gpu[At(n)].clock);
    form_.SetSpinValue(c_.gpuRows[At(n)].vcc, values.gpu[At(n)].voltage);
    form_.SetSpinValue(c_.memRows[At(n)].clock, values.mem[At(n)].clock);
    form_.SetSpinValue(c_.memRows[At(n)].vcc, values.mem[At(n)].voltage);
  }
  form_.SetSpinValue(c_.maxGpu, values.maxGpuClock);
  form_.SetSpinValue(c_.maxMem, values.maxMemClock);
  form_.SetSpinValue(c_.maxPower, values.powerLimit);
  quiet_ = false;
}

// The fields as StoreTable takes them; call after ValidateEditor, which checked the texts.
EditorValues PowerPlayEditor::FieldValues() const {
  const auto value = [this](ControlId id) { return TryParseInt32(form_.control(id).caption).value_or(0); };
  EditorValues values;
  values.gpuShown = std::min<int>(layout_.gpuStateCount, kShownStateCount);
  values.memShown = std::min<int>(layout_.memStateCount, kShownStateCount);
  for (int n = 0; n < kShownStateCount; ++n) {
    values.gpu[At(n)] = {value(c_.gpuRows[At(n)].clock), value(c_.gpuRows[At(n)].vcc)};
    values.mem[At(n)] = {value(c_.memRows[At(n)].clock), value(c_.memRows[At(n)].vcc)};
  }
  values.maxGpuClock = value(c_.maxGpu);
  values.maxMemClock = value(c_.maxMem);
  values.powerLimit = value(c_.maxPower);
  return values;
}

// States that share one voltage record show one voltage: a change in one field is given
// to the others. The field being changed is never written back, so the spreading ends
// there and a text still being typed stays as it is.
void PowerPlayEditor::VoltageChange(StateKind kind, int index) {
  if (quiet_ || !layoutValid_) return;
  const std::vector<PsItem>& states = kind == StateKind::Gpu ? states_.GpuStates : states_.MemStates;
  if (index >= static_cast<int>(states.size())) return;
  const ControlId source = (kind == StateKind::Gpu ? c_.gpuRows : c_.memRows)[At(index)].vcc;
  const std::optional<int32_t> voltage = TryParseInt32(form_.control(source).caption);
  if (!voltage) return;
  quiet_ = true;
  for (const VoltageField& linked : states[At(index)].linkedEdits) {
    const ControlId field = (linked.kind == StateKind::Gpu ? c_.gpuRows : c_.memRows)[At(linked.index)].vcc;
    if (field != source) form_.SetSpinValue(field, *voltage);
  }
  quiet_ = false;
}

bool PowerPlayEditor::ValidateEditor(bool rangeChecks) {
  MessageWriter& messages = services_.messages;
  const auto clockOk = [&](ControlId id, const std::string& name) {
    const std::optional<int32_t> clock = TryParseInt32(form_.control(id).caption);
    if (!clock) {
      messages.ShowError("Incorrect clock value entered in " + name);
      return false;
    }
    if (rangeChecks && *clock < kLowestClock) {
      messages.ShowError(name + " clock value too low (Minimum allowed: 100 MHz)");
      return false;
    }
    return true;
  };
  const auto voltageOk = [&](ControlId id, const std::string& name) {
    const std::optional<int32_t> voltage = TryParseInt32(form_.control(id).caption);
    if (!voltage) {
      messages.ShowError("Incorrect voltage value entered in " + name);
      return false;
    }
    if (!rangeChecks) return true;
    if (*voltage < layout_.minVoltage) {
      messages.ShowError(name + " voltage value too low (Minimum allowed: " + std::to_string(layout_.minVoltage) +
                         " mV)");
      return false;
    }
    if (*voltage > kHighestVoltageField || (*voltage > layout_.maxVoltage && *voltage < kFirstSpecialVoltage)) {
      messages.ShowError(name + " voltage value too high (Maximum allowed: " + std::to_string(layout_.maxVoltage) +
                         " mV)");
      return false;
    }
    return true;
  };
  const auto statesOk = [&](const std::array<EditorStateRow, kShownStateCount>& rows, int count, const char* kind) {
    for (int n = 0; n < std::min(count, kShownStateCount); ++n) {
      const std::string name = std::string(kind) + " P" + std::to_string(n);
      if (!clockOk(rows[At(n)].clock, name) || !voltageOk(rows[At(n)].vcc, name)) return false;
    }
    return true;
  };
  if (!statesOk(c_.gpuRows, layout_.gpuStateCount, "GPU") || !statesOk(c_.memRows, layout_.memStateCount, "Memory") ||
      !clockOk(c_.maxGpu, "Max GPU Freq.") || !clockOk(c_.maxMem, "Max Memory Freq."))
    return false;
  if (!TryParseInt32(form_.control(c_.maxPower).caption)) {
    messages.ShowError("Incorrect value entered in Max Power Target");
    return false;
  }
  return true;
}

// --- commands ---

void PowerPlayEditor::UseExistingClick() {
  form_.SetCaption(c_.fileName, "");
  form_.SetCaption(c_.fileStatus, "");
  LoadFromRegistry();
}

void PowerPlayEditor::OpenFileClick() {
  CheckRadio(c_.createNew);
  EmptyState();
  const std::optional<std::string> file = backend_.AskFileName({});
  if (!file) return;
  Platform& platform = services_.platform;
  PowerPlayPorts ports{platform.files, platform.errors, platform.ansi, services_.messages};
  TableFileKey fileKey;
  const bool noCard = cardName_ == kNoCardName;
  layoutValid_ = false;
  if (!ReadTableFile(ports, PathFromUtf8(*file), table_, noCard ? &fileKey : nullptr)) return;
  if (fileKey.found) {
    form_.SetCaption(c_.path, fileKey.keyText + "\\" + std::string(kPowerPlayValueName));
    layout_.regPath = fileKey.regPath;
  }
  const TableFamily family = IdentifyTable(table_);
  form_.SetCaption(c_.fileStatus, std::string(TableFamilyText(family)));
  if (family != TableFamily::Unsupported && ShowLoadedTable()) {
    form_.SetCaption(c_.fileName, *file);
    return;
  }
  EmptyState();
  if (!LooksLikeTable(table_)) return services_.messages.ShowError("Unsupported PowerPlayTable");
  form_.SetCaption(c_.fileStatus, std::string(TableFamilyText(TableFamily::Unsupported)));
  form_.SetCaption(c_.fileName, *file);
  form_.SetVisible(c_.saveReg, true);
  services_.messages.ShowError("Unsupported PowerPlayTable, only save to .reg file is available");
}

void PowerPlayEditor::SaveClick() {
  if (!isAdmin_) return services_.messages.ShowError("Administrator rights are required to save to registry");
  if (!layoutValid_ || !ValidateEditor(true)) return;
  if (!StoreTable(table_, layout_, states_, FieldValues(), services_.messages)) return;
  const int written = WriteRegistryTable(services_.registry, services_.messages, layout_.regPath, table_);
  // A write that failed has been reported with the system's error; the table is not in
  // the registry, so there is no new status and nothing to restart for.
  if (written == kRegistryTableNotWritten) return;
  if (written != kRegistryTableFound)
    return services_.messages.ShowError("Failed to write \"PP_PhmSoftPowerPlayTable\" to registry: the key " +
                                        std::string(kLocalMachine) + layout_.regPath + " cannot be opened");
  const bool fromFile = form_.control(c_.createNew).checked;
  SetRegistryStatus(form_.control(fromFile ? c_.fileStatus : c_.status).caption, true);
  AskRestart();
}

void PowerPlayEditor::SaveRegClick() {
  const bool shown = GroupsShown();
  if (shown && (!layoutValid_ || !ValidateEditor(false))) return;
  const std::optional<std::string> file =
      backend_.AskFileName({.save = true, .filterName = ".reg", .filterPattern = "*.reg", .defaultExtension = "reg"});
  if (!file) return;
  if (shown && !StoreTable(table_, layout_, states_, FieldValues(), services_.messages)) return;
  Platform& platform = services_.platform;
  PowerPlayPorts ports{platform.files, platform.errors, platform.ansi, services_.messages};
  WriteRegFile(ports, table_, layout_.regPath, PathFromUtf8(*file));
}

void PowerPlayEditor::ExportRegClick() {
  PowerPlayTable registryTable;
  if (ReadRegistryTable(services_.registry, layout_.regPath, registryTable) != kRegistryTableFound)
    return services_.messages.ShowError("Failed to read \"PP_PhmSoftPowerPlayTable\" from registry");
  const std::optional<std::string> file =
      backend_.AskFileName({.save = true, .filterName = ".reg", .filterPattern = "*.reg", .defaultExtension = "reg"});
  if (!file) return;
  Platform& platform = services_.platform;
  PowerPlayPorts ports{platform.files, platform.errors, platform.ansi, services_.messages};
  WriteRegFile(ports, registryTable, layout_.regPath, PathFromUtf8(*file));
}

void PowerPlayEditor::DeleteClick() {
  if (!isAdmin_) return services_.messages.ShowError("Administrator rights are required to delete from registry");
  if (!backend_.dialogs().AskYesNo("Are you sure to delete \"PP_PhmSoftPowerPlayTable\" value from registry?",
                                   "Confirmation"))
    return;
  if (!DeleteRegistryTable(services_.registry, layout_.regPath))
    return services_.messages.ShowError("Failed to delete PP_PhmSoftPowerPlayTable value");
  SetRegistryStatus("not found", false);
  AskRestart();
}

void PowerPlayEditor::RegeditClick() {
  Platform& platform = services_.platform;
  RegeditPorts ports{services_.registry, services_.regedit, platform.machine, platform.clock, services_.messages};
  const bool found = Contains(form_.control(c_.status).caption, " table found");
  OpenRegeditAt(ports, isAdmin_, std::string(kLocalMachine) + layout_.regPath,
                found ? kPowerPlayValueName : std::string_view());
}

void PowerPlayEditor::UndoClick() {
  EditorValues values;
  if (layoutValid_ && ShowTable(table_, layout_, states_, values)) PutValues(values);
}

void PowerPlayEditor::AskRestart() {
  if (!backend_.dialogs().AskYesNo("Restart this GPU now?", "")) {
    form_.SetVisible(c_.note, true);
    return;
  }
  Platform& platform = services_.platform;
  const bool restarted = isAdmin_ && RestartDevice(platform.displayDevices, services_.messages, layout_.instanceId);
  if (restarted ||
      StartRestartTool(platform, services_.messages, services_.programFolder, layout_.instanceId)) {
    form_.SetVisible(c_.note, false);
    return;
  }
  services_.messages.ShowError("Failed to restart GPU");
  form_.SetVisible(c_.note, true);
}

// --- the main window's entry ---

std::string CardKeyFromRegistryKey(const std::string& registryKey) {
  const std::string lower = ToLowerAscii(registryKey);
  constexpr std::string_view kClass = "\\control\\class\\";
  const size_t at = lower.rfind(kClass);
  return at == std::string::npos ? registryKey : registryKey.substr(at + kClass.size());
}

void PowerPlayEditorWindow::Open(const EditorCard& card, Point ownerTopLeft, int ownerWidth, int ownerHeight) {
  if (editor_ && editor_->visible()) return;
  editor_.reset();  // the window of a closed editor is gone already; this frees the rest
  editor_ = std::make_unique<PowerPlayEditor>(services_, backend_);
  const Form& form = editor_->form();
  const int width = form.Scaled(form.window().clientWidth);
  const int height = form.Scaled(form.window().clientHeight);
  const Point centred{std::max(0, ownerTopLeft.x + (ownerWidth - width) / 2),
                      std::max(0, ownerTopLeft.y + (ownerHeight - height) / 2)};
  editor_->OpenEditor(card.key, card.name, card.minVoltage, card.maxVoltage, card.instanceId, centred);
}

}  // namespace tw::ui

namespace tw::ui {

void OpenPowerPlayEditor(PowerPlayEditorWindow& window, MainForm& mainForm, const GpuList& gpus) {
  EditorCard card;
  card.key = kNoCardKey;
  card.name = kNoCardName;
  const int selected = mainForm.SelectedCard();
  if (selected >= 0 && static_cast<size_t>(selected) < gpus.size()) {
    const GPUItem& gpu = gpus[static_cast<size_t>(selected)];
    const Control& selector = mainForm.form().control(mainForm.controls().cardList);
    card.key = CardKeyFromRegistryKey(gpu.registryKey);
    card.name = static_cast<size_t>(selected) < selector.items.size() ? selector.items[static_cast<size_t>(selected)]
                                                                      : gpu.displayName;
    if (gpu.supported) {
      card.minVoltage = std::max(gpu.vddcMin, kLowestMinVoltage);
      card.maxVoltage = std::max(gpu.vddcMax, kLowestMaxVoltage);
    }
    card.instanceId = gpu.pnpString;
  }
  const Form& owner = mainForm.form();
  const WindowFrame& frame = owner.window();
  window.Open(card, owner.WindowPosition(), owner.Scaled(frame.clientWidth),
              owner.Scaled(frame.outerHeight.value_or(frame.clientHeight)));
}

}  // namespace tw::ui
