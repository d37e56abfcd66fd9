#pragma once
// The Win32 backend of the portable forms: real top-level windows with common controls.

#include <memory>

#include "ui/form/backend.h"

namespace tw::ui::win32 {

class Win32Backend final : public UiBackend {
 public:
  // `dialogs`: the program's message boxes, shared with the command line.
  explicit Win32Backend(Dialogs& dialogs);
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  std::unique_ptr<FormView> CreateView(Form& form) override;
  void RunUntilClosed(Form& form) override;
  void RunWhenIdle(std::function<bool()> step) override { idleWork_.Set(std::move(step)); }
  int MonitorDpi() const override;
  bool CtrlHeld() const override;
  std::string DecimalSeparator() const override;
  Dialogs& dialogs() override { return dialogs_; }
  std::optional<std::string> AskFileName(const FileDialogRequest& request) override;

 private:
  Dialogs& dialogs_;
  IdleWork idleWork_;
  bool comStarted_ = false;
};

}  // namespace tw::ui::win32
