#pragma once
// The main window, TForm1: the card selector, the editor of the selected card's values
// with its colours, the fan switch and the system menu. Its algorithms run here, on every
// backend; the program's state and the driver are reached through MainFormOperations.

#include <functional>
#include <optional>
#include <string>

#include "ui/form/backend.h"
#include "ui/form/form.h"
#include "ui/main_form_layout.h"
#include "ui/main_form_operations.h"

namespace tw::ui {

// The profile commands of the window: the "Profiles" group's commands, "Apply" and
// "Reset", and picking the profile that matches the card. They are a piece of their own;
// without them (nullptr) the form leaves "Apply" and "Reset" disabled and selects no
// profile.
class ProfileCommands {
 public:
  virtual ~ProfileCommands() = default;
  virtual void Apply() = 0;
  virtual void Reset() = 0;
  virtual void SelectMatchingProfile() = 0;
};

// The regulator part of the window (the I2C group); runs only with EnableI2c on. Without
// it (nullptr) the window runs no detection and reads no regulator.
class WindowRegulators {
 public:
  virtual ~WindowRegulators() = default;
  virtual void BeginDetection() = 0;         // before the first selection: it reads no regulator
  virtual void Detect() = 0;                 // the end of creation, with at least one card
  virtual void CardArranged(int gpuId) = 0;  // a supported card's editor was laid out
  virtual void CardSelected(int gpuId) = 0;  // after its values were read (not during detection)
  virtual void Refreshed(int gpuId) = 0;     // "Refresh": read again, detection or not
};

inline constexpr uint32_t kChangedColorRef = 0x00D5FFFF;  // COLORREF: red FF, green FF, blue D5
inline constexpr Colour kChangedColour = Colour::Fixed(kChangedColorRef);
inline constexpr uint32_t kRefusedColorRef = 0x00C8C8FF;  // COLORREF: red FF, green C8, blue C8
inline constexpr Colour kRefusedColour = Colour::Fixed(kRefusedColorRef);
inline constexpr Colour kWindowColour = Colour::System(SystemColour::Window);
inline constexpr Colour kButtonFaceColour = Colour::System(SystemColour::ButtonFace);
inline constexpr Colour kInactiveColour = Colour::System(SystemColour::InactiveCaption);
inline constexpr Colour kTextColour = Colour::System(SystemColour::WindowText);
inline constexpr Colour kGreyTextColour = Colour::System(SystemColour::GrayText);

enum class InfoMessage { NotSupported = 0, DriverNotLoaded = 1, DriverTooOld = 2 };

class MainForm {
 public:
  MainForm(MainFormOperations& ops, UiBackend& backend, ProfileCommands* profileCommands = nullptr);
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  Form& form() { return form_; }
  const MainFormControls& controls() const { return c_; }

  // FormCreate: the window's creation steps, once its view exists.
  void Create();
  // Before Create.
  void SetRegulators(WindowRegulators* regulators) { regulators_ = regulators; }
  // Runs in Create right after the settings were read (the window-mode switches).
  std::function<void(const WindowMenuSwitches&)> onSettingsLoaded;
  void SelectMatchingProfile();

  int SelectedCard() const;  // -1 when none
  void SelectCard();
  void ShowInfoMessage(bool show, InfoMessage which);
  void HideEditor();
  // The card names formed again with the current settings (and friendly names listed
  // again when they are shown), the selection kept; the card is not read again.
  void RefillCardList();

  // The system menu's "Settings" and the card selector's "Change friendly name"; the
  // dialogs are pieces of their own.
  std::function<void()> onShowSettings{};
  std::function<void()> onChangeFriendlyName{};

  void ArrangeForCard(int gpuId);
  // False when a value could not be read; "Apply" is then off until a read succeeds.
  bool ReadCardIntoWindow(int gpuId);
  // The card whose values the editor holds: the last one read whole; -1 after a failed read.
  int EditorCard() const { return editorCard_; }
  void ColourField(bool plainCompare, bool currentEnabled, ControlId field, int32_t currentValue);
  void SetRowEnabled(bool enabled, const PStateRow& row);
  void SetFanControlActive(bool active);
  void ShowStatus(std::string text) { form_.SetCaption(c_.status, std::move(text)); }

  // Unapplied edits (fields coloured as differing or refused) leave the editor only by the
  // user's decision: asks once whether to apply them first. False when the user cancelled,
  // or Apply left a field refused. Asks nothing without edits or during a command.
  bool SettleEdits();
  bool HasUnappliedEdits() const;

  // A command that sends to several cards runs between these. A close asked meanwhile (the
  // close box, another program's request) is held back: the command sees CloseRequested()
  // before each card, stops and says what it did; the window closes at EndOperation.
  void BeginOperation() { busy_ = true; }
  void EndOperation();
  bool CloseRequested() const { return closeRequested_; }

  // What the system menu's "PPTable editor" does; nothing until it is set.
  void OnPowerPlayEditor(std::function<void()> open) { openPowerPlayEditor_ = std::move(open); }

 private:
  void ShrinkWithoutI2c();
  bool I2cPart() const;  // a regulator part and EnableI2c on
  void FillCardList();
  int StartCard();
  void ShowEditor();
  bool ReadOverdriveN(int gpuId, CardReader& reader);
  bool ReadOverdrive8(int gpuId, CardReader& reader);
  // The tips' OverdriveN state defaults: asked of the driver the first time the card is shown.
  void ReadStateDefaultsOnce(GPUItem& gpu, CardReader& reader);
  void PutLevels(const std::vector<LevelReading>& levels, int stateCount, bool gpu);
  void PutFanCurve(const std::array<FanPoint, kFanCurvePoints>& curve);
  void PutZeroRpm(int32_t value);
  void PutTimingLevel(int32_t level);
  void PutValue(ControlId field, int32_t value, std::optional<Colour> colour);
  void FillTimingLevels(int32_t memTimingMax);
  void PlaceMemoryRows(int stateCount);

  void ConnectHandlers();
  void PStateChange(bool gpu, int k, bool clock);
  void FanFieldChange(ControlId field, int32_t current);
  void TimingBoxChange();
  void ZeroRpmBoxClick();
  void RowLabelClick(bool gpu, int k);
  void FanGroupDoubleClick();
  void Refresh();
  void CardListChanged();
  void SelectQuietly(int card);  // the selector changed without reading a card
  void ShowAbout();
  void FormClose();
  const GPUItem* SelectedGpu();
  void ShowFriendlyNameEntry(bool show);

  MainFormOperations& ops_;
  UiBackend& backend_;
  ProfileCommands* profileCommands_;
  Form form_;
  MainFormControls c_;
  WindowRegulators* regulators_ = nullptr;
  int cardListMenu_ = -1;  // the card selector's context menu
  bool settingCardList_ = false;
  int editorCard_ = -1;
  bool busy_ = false;
  bool closeRequested_ = false;  // a selection made by the form itself, not by the user
  std::function<void()> openPowerPlayEditor_;
};

}  // namespace tw::ui
