#pragma once
// Changing the cards' device friendly names from the window: the card selector's context
// menu entry "Change friendly name" (ChangeFriendlyNameCommand), which asks in an input
// box for a single card, and otherwise opens the dialog TForm4 "Change friendly name": one
// row per card, the card described on the left, its friendly name edited on the right.
// The dialog is created the first time it is needed and kept; it is not modal.

#include <memory>
#include <string>
#include <string_view>

#include "gpu/gpu_item.h"
#include "ui/form/backend.h"
#include "ui/form/form.h"

namespace tw::ui {

class MainForm;

// What the command and the dialog ask of the program. Implemented by
// AppFriendlyNameOperations (app_friendly_name_operations.h) on the real program state.
class FriendlyNameOperations {
 public:
  virtual ~FriendlyNameOperations() = default;
  // The rows come from here, and a name the device took goes back into its card.
  virtual GpuList& gpus() = 0;
  virtual bool IsUserAdmin() = 0;
  // As tw::SetFriendlyName; false when the device's property was not changed.
  virtual bool SetFriendlyName(const GPUItem& gpu, std::string_view name) = 0;
  virtual void ShowError(std::string_view text) = 0;
};

// The text of a card's row: its name, friendly name and where it sits, e.g.
// "0: Radeon RX 580  (Left) | Bus:Device:Function: 1:0:0 | PNP string: PCI\\VEN_1002...
// | Adapter index: 0 | Registry key: 0000".
std::string FriendlyNameRowKey(const GPUItem& gpu);

class FriendlyNameForm {
 public:
  FriendlyNameForm(FriendlyNameOperations& ops, UiBackend& backend, MainForm& window);
  FriendlyNameForm(const FriendlyNameForm&) = delete;
  FriendlyNameForm& operator=(const FriendlyNameForm&) = delete;

  Form& form() { return form_; }

  // Fills the rows from the cards anew and shows the dialog centred on the main window.
  void Show();
  // "OK": writes every row whose trimmed text differs from the card's friendly name.
  void Ok();

 private:
  void Resized(int outerWidth, int clientWidth, int clientHeight);

  FriendlyNameOperations& ops_;
  UiBackend& backend_;
  MainForm& window_;
  Form form_;
  std::unique_ptr<FormView> view_;
  bool open_ = false;
  ControlId list_ = kNoControl, ok_ = kNoControl, cancel_ = kNoControl;
};

// The main window's "Change friendly name" entry.
class ChangeFriendlyNameCommand {
 public:
  ChangeFriendlyNameCommand(FriendlyNameOperations& ops, UiBackend& backend, MainForm& window)
      : ops_(ops), backend_(backend), window_(window) {}

  void Run();
  FriendlyNameForm* dialog() { return dialog_.get(); }

 private:
  void AskForOneCard(int gpuId);

  FriendlyNameOperations& ops_;
  UiBackend& backend_;
  MainForm& window_;
  std::unique_ptr<FriendlyNameForm> dialog_;
};

}  // namespace tw::ui
