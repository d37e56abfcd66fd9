#pragma once
// The main window's profile commands: "Apply" and "Reset" (with Ctrl on several cards),
// the "Profiles" group's "Load", "Save", "New", "Delete", "Rename" and "Reorder", and
// picking the profile that matches the card. Every change to the list is written to the
// ini file at once.

#include <functional>
#include <string>
#include <vector>

#include "app/apply_window_values.h"
#include "ui/form/backend.h"
#include "ui/main_form.h"
#include "ui/profile_command_operations.h"
#include "ui/window_profile.h"

namespace tw::ui {

// The status line after an Apply to `targets` cards, `wholly` of which took every value:
// "Applied to card 0" for one card that took all, else "Applied to 2 of 3 cards; card 2
// refused power".
std::string ApplyStatus(const std::vector<int>& targets, size_t wholly,
                        const std::vector<std::pair<int, RefusedParts>>& refusals);

class WindowProfileCommands final : public ProfileCommands {
 public:
  // `regulators` (nullptr: the base steps) is the regulator window code's part.
  WindowProfileCommands(ProfileCommandOperations& operations, UiBackend& backend,
                        WindowRegulatorSteps* regulators = nullptr);

  // Connects the "Profiles" group's buttons; before MainForm::Create.
  void Attach(MainForm& window);

  void Apply() override;
  void Reset() override;
  void SelectMatchingProfile() override;

  void Save();
  void New();
  void Load();
  void Rename();
  void Delete();
  void Reorder();
  // `positions`: for each row of the reorder dialog, in its order, the profile's position
  // when the dialog opened.
  void ReorderProfiles(const std::vector<int>& positions);

  bool WindowToProfile(int profile, int gpuId);
  void ProfileToWindow(int profile, int gpuId);

 private:
  int SelectedProfile() const;
  // The profile of this name: at `hint` when it is still there, else the first; -1 when
  // none has it any more.
  int FindProfile(const std::string& name, int hint) const;
  void FillSelector(int selected);
  // Reads the fields to send; a shown OverdriveN clock or voltage of 0 becomes 1 in the
  // window first.
  WindowValues CollectWindowValues(const GPUItem& gpu);
  // False, after marking the first shown field that is not a whole number, naming it and
  // its range and giving it the focus.
  bool CheckTypedFields();
  // `values` made for `card` by Ctrl+Apply from a window showing `shown`: rows the window
  // does not show take the card's own; false when they cannot be read or do not fit.
  bool FitToCard(const GPUItem& shown, int card, WindowValues& values);
  std::vector<int> TargetCards(bool all, int selected, bool sameGeneration) const;
  // Sends to each card in turn until the window is asked to close; says in one box which
  // cards were skipped or left. Returns the cards done.
  std::vector<int> RunOnCards(const char* command, const std::vector<int>& cards,
                              const std::function<bool(int)>& send);
  std::string At() const;  // " (hh:mm:ss)", now
  // Reads the selected card back into the window, then runs `afterRead` when that read
  // succeeded, then the regulator steps; a close held back meanwhile happens last. Returns
  // the status line's words about refused regulator values.
  std::string AfterSending(const std::vector<int>& done, bool applied, const std::function<void()>& afterRead = {});

  // A field as the user left it before an apply.
  struct KeptField {
    ControlId id;
    std::string text;
    bool enabled;
    bool checked;
    int selected;
  };
  // The fields whose values went in the groups the card refused.
  std::vector<ControlId> FieldsOf(const RefusedParts& refused, const GPUItem& gpu) const;
  std::vector<KeptField> KeepFields(const std::vector<ControlId>& fields) const;
  // Puts the user's values back into the refused fields after the re-read, marked.
  void PutBackRefused(const std::vector<KeptField>& typed, const std::vector<ControlId>& refused);
  // A trimmed name, or nothing after telling the user that it is empty.
  bool CheckName(std::string& name);

  ProfileCommandOperations& operations_;
  UiBackend& backend_;
  WindowRegulatorSteps baseRegulators_;
  WindowRegulatorSteps& regulators_;
  MainForm* window_ = nullptr;
};

}  // namespace tw::ui
