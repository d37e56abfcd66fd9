#pragma once
// The PowerPlay editor, TForm3: the soft PowerPlay table of one card, from the registry or
// from a BIOS image or .reg file, its states and limits to edit, checked, and saved to the
// registry (with the offer to restart the card) or to a .reg file. The table code
// (src/powerplay) does the reading, checking and writing; this is the window around it.

#include <memory>
#include <string>

#include "gpu/gpu_item.h"
#include "platform/file_system.h"
#include "powerplay/power_states.h"
#include "powerplay/table_field.h"
#include "powerplay/table_layout.h"
#include "ui/form/backend.h"
#include "ui/form/form.h"
#include "ui/powerplay_editor_layout.h"

namespace tw {
class MessageWriter;
class Registry;
class RegistryEditorWindows;
struct Platform;
}  // namespace tw

namespace tw::ui {

// What the editor works through besides the window system.
struct PowerPlayEditorServices {
  Platform& platform;
  MessageWriter& messages;
  Registry& registry;
  RegistryEditorWindows& regedit;
  Path programFolder;  // where the outside restart tools are looked for
};

inline constexpr std::string_view kNoCardName = "none";
inline constexpr std::string_view kNoCardKey = "{4d36e968-e325-11ce-bfc1-08002be10318}\\0000";

class PowerPlayEditor {
 public:
  PowerPlayEditor(PowerPlayEditorServices& services, UiBackend& backend);
  PowerPlayEditor(const PowerPlayEditor&) = delete;
  PowerPlayEditor& operator=(const PowerPlayEditor&) = delete;

  Form& form() { return form_; }
  const PowerPlayEditorControls& controls() const { return c_; }

  // Creates the window (placed at `position`, or centred on the screen), loads the
  // registry table and shows it.
  void OpenEditor(const std::string& cardKey, const std::string& cardName, int32_t minVoltage, int32_t maxVoltage,
                  const std::string& instanceId, std::optional<Point> position = std::nullopt);
  void LoadFromRegistry();
  bool ValidateEditor(bool rangeChecks);
  void AskRestart();
  // Shown and not closed yet.
  bool visible() const { return view_ && !closed_; }

 private:
  void ConnectHandlers();
  void SetRegistryStatus(const std::string& text, bool withValue);
  void EmptyState();
  void ShownState();
  bool ShowLoadedTable();
  void PutValues(const EditorValues& values);
  EditorValues FieldValues() const;
  void VoltageChange(StateKind kind, int index);
  void CheckRadio(ControlId radio);
  bool GroupsShown() const;

  void UseExistingClick();
  void OpenFileClick();
  void SaveClick();
  void SaveRegClick();
  void ExportRegClick();
  void DeleteClick();
  void RegeditClick();
  void UndoClick();

  PowerPlayEditorServices& services_;
  UiBackend& backend_;
  Form form_;
  PowerPlayEditorControls c_;
  std::unique_ptr<FormView> view_;
  bool closed_ = false;

  PowerPlayTable table_;  // the table being edited
  pConst layout_;
  PowerStates states_;
  bool layoutValid_ = false;
  bool isAdmin_ = false;
  std::string cardName_;
  bool quiet_ = false;  // the form itself is setting fields or radio buttons
};

// The main window's entry "PPTable editor": one editor window at a time, opened for the
// card selected at that moment.
struct EditorCard {
  std::string key;   // below ...\Control\Class\, e.g. "{4d36e968-...}\0000"
  std::string name;  // the card selector's text, or "none"
  int32_t minVoltage = 0;
  int32_t maxVoltage = 99999;
  std::string instanceId;
};

// The card key below "...\Control\Class\" of a driver registry path such as
// "\Registry\Machine\System\CurrentControlSet\Control\Class\{4d36e968-...}\0000".
std::string CardKeyFromRegistryKey(const std::string& registryKey);

class PowerPlayEditorWindow {
 public:
  PowerPlayEditorWindow(PowerPlayEditorServices& services, UiBackend& backend)
      : services_(services), backend_(backend) {}

  // Unless an editor window is visible, opens a new one for `card`, centred on the window
  // whose top-left corner and client size are given.
  void Open(const EditorCard& card, Point ownerTopLeft, int ownerWidth, int ownerHeight);
  PowerPlayEditor* editor() { return editor_.get(); }

 private:
  PowerPlayEditorServices& services_;
  UiBackend& backend_;
  std::unique_ptr<PowerPlayEditor> editor_;
};

class MainForm;

// The editor for the card selected in the main window (or for no card, "none"), centred
// on it. A card that is not supported gets the voltage limits 0 and 99999.
void OpenPowerPlayEditor(PowerPlayEditorWindow& window, MainForm& mainForm, const GpuList& gpus);

}  // namespace tw::ui
