#pragma once
// The friendly name command's and dialog's operations carried out on the real program
// state.

#include "ui/friendly_name_form.h"

namespace tw {
class App;
}

namespace tw::ui {

class AppFriendlyNameOperations final : public FriendlyNameOperations {
 public:
  explicit AppFriendlyNameOperations(App& app) : app_(app) {}

  GpuList& gpus() override;
  bool IsUserAdmin() override;
  bool SetFriendlyName(const GPUItem& gpu, std::string_view name) override;
  void ShowError(std::string_view text) override;

 private:
  App& app_;
};

}  // namespace tw::ui
