#pragma once
// What a form needs from the platform's window system. A portable form talks only to this
// and to its FormView (form.h).
//
// Who implements what:
//   UiBackend - src/ui/win32 (Win32 windows and common controls) and
//               src/ui/headless (in-memory, for host tests).
//   The forms in src/ui create their views through it and never see the platform.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "ui/form/form.h"

namespace tw {
class Dialogs;
}

namespace tw::ui {

// The system's dialog for picking a file to open or naming one to save.
struct FileDialogRequest {
  bool save = false;
  std::string filterName;        // e.g. ".reg"; empty: every file, no filter
  std::string filterPattern;     // e.g. "*.reg"
  std::string defaultExtension;  // without the dot: added to a name typed without one
};

// The one piece of work a backend runs while no input waits (UiBackend::RunWhenIdle).
class IdleWork {
 public:
  void Set(std::function<bool()> step) { step_ = std::move(step); }
  bool pending() const { return static_cast<bool>(step_); }
  // One step. The work is taken out while it runs, so that a message loop the step opens
  // (a box it shows) does not run it again from inside itself.
  void RunStep() {
    std::function<bool()> step = std::exchange(step_, nullptr);
    if (step() && !step_) step_ = std::move(step);
  }

 private:
  std::function<bool()> step_;
};

class UiBackend {
 public:
  virtual ~UiBackend() = default;

  // Creates the window and every control of `form` (hidden until FormView::Show), and
  // attaches the view to the form. The view lives as long as the returned pointer; it
  // detaches itself from the form when destroyed.
  virtual std::unique_ptr<FormView> CreateView(Form& form) = 0;

  // Runs the message loop until `form`'s window has closed.
  virtual void RunUntilClosed(Form& form) = 0;

  // Calls `step` whenever no input waits (also in a dialog's loop), until it returns false:
  // long work done in small steps keeps every window answering. One piece of work at a
  // time: a later call replaces it, an empty `step` drops it.
  virtual void RunWhenIdle(std::function<bool()> step) = 0;

  // Dots per inch of the monitor a new window opens on (96 when unknown).
  virtual int MonitorDpi() const = 0;

  // Whether Ctrl is held now (at the time of the event being handled).
  virtual bool CtrlHeld() const = 0;

  // The user's decimal separator, for numbers a form writes into its labels.
  virtual std::string DecimalSeparator() const { return "."; }

  // Message, question and input boxes: the program's ordinary Dialogs port.
  virtual Dialogs& dialogs() = 0;

  // The chosen file's path (UTF-8); nullopt when the user cancelled.
  virtual std::optional<std::string> AskFileName(const FileDialogRequest& request) = 0;
};

}  // namespace tw::ui
