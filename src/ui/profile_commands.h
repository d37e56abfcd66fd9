#pragma once
// The main window's profile commands on the program's state: "Apply" and "Reset" (with
// Ctrl on several cards), the "Profiles" group's "Load", "Save", "New", "Delete",
// "Rename" and "Reorder", and picking the profile that matches the card. Every change to
// the list is written to the ini file at once.

#include <string>
#include <vector>

#include "ui/form/backend.h"
#include "ui/main_form.h"
#include "ui/window_profile.h"

namespace tw {
class App;
struct WindowValues;
}

namespace tw::ui {

class WindowProfileCommands final : public ProfileCommands {
 public:
  // `regulators` (nullptr: the base steps) is the regulator window code's part.
  WindowProfileCommands(App& app, UiBackend& backend, WindowRegulatorSteps* regulators = nullptr);

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
  void FillSelector(int selected);
  // Reads the fields to send; a shown clock or voltage of 0 becomes 1 in the window first.
  WindowValues CollectWindowValues(const GPUItem& gpu);
  // A trimmed name, or nothing after telling the user that it is empty.
  bool CheckName(std::string& name);

  App& app_;
  UiBackend& backend_;
  WindowRegulatorSteps baseRegulators_;
  WindowRegulatorSteps& regulators_;
  MainForm* window_ = nullptr;
};

}  // namespace tw::ui
