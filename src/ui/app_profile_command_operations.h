#pragma once
// The main window's profile commands' operations carried out on the real program state.

#include "ui/profile_command_operations.h"

namespace tw {
class App;
}

namespace tw::ui {

class AppProfileCommandOperations final : public ProfileCommandOperations {
 public:
  explicit AppProfileCommandOperations(App& app) : app_(app) {}

  ProfileList& profiles() override;
  const GpuList& gpus() const override;
  const OptionSet& options() const override;
  const ProfileItem& currentValues() const override;
  MessageWriter& messages() override;
  Clock& clock() override;

  bool SaveProfiles() override;
  RefusedParts ApplyWindowValues(int gpuId, const WindowValues& values) override;
  void ResetGpu(int gpuId) override;
  std::unique_ptr<CardReader> OpenCardReader(int gpuId) override;

 private:
  App& app_;
};

}  // namespace tw::ui
