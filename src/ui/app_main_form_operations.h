#pragma once
// The main window's operations carried out on the real program state.

#include "ui/main_form_operations.h"

namespace tw {
class App;
}

namespace tw::ui {

class AppMainFormOperations final : public MainFormOperations {
 public:
  explicit AppMainFormOperations(App& app) : app_(app) {}

  const OptionSet& options() const override;
  GpuList& gpus() override;
  bool anyFanDeactivated() const override;
  const ProfileList& profiles() const override;
  ProfileItem& currentValues() override;

  WindowMenuSwitches LoadSettings() override;
  int LoadProfiles() override;
  void RestoreFromBackup() override;
  WindowPosition LoadWindowPosition() override;
  bool CheckDriverLoaded() override;
  bool BuildGpuList() override;
  bool DriverTooOld() override;
  bool ListFriendlyNames(bool always) override;
  std::unique_ptr<CardReader> OpenCardReader(int gpuId) override;
  void SaveFanDeactivatedGpus() override;
  void SaveWindowPosition(const WindowPosition& position) override;

 private:
  App& app_;
};

}  // namespace tw::ui
