#pragma once
// The modal dialog TForm5 "Reorder profiles": the profiles' names in a one-column list,
// moved with "UP" and "Down" or by dragging a row onto another. Each row keeps, hidden,
// the profile's position when the dialog opened; "OK" hands the rows' positions in their
// new order to the caller, "Cancel" and the close box hand over nothing.

#include <functional>
#include <string>
#include <vector>

#include "ui/form/backend.h"
#include "ui/form/form.h"

namespace tw::ui {

class ReorderForm {
 public:
  using Confirm = std::function<void(const std::vector<int>& positions)>;

  // `names` in the profile list's order; the dialog is centred on `owner`.
  ReorderForm(std::vector<std::string> names, const Form& owner, Confirm onOk);
  ReorderForm(const ReorderForm&) = delete;
  ReorderForm& operator=(const ReorderForm&) = delete;

  Form& form() { return form_; }
  const std::vector<int>& positions() const { return positions_; }

  // Shows the dialog and returns when it has closed.
  void RunModal(UiBackend& backend);

  void Up();
  void Down();
  // The selected row dropped on row `onto` (-1: below the last row): a copy is inserted
  // there and the original removed, so the row lands just before the one it was dropped
  // on, or last.
  void Drop(int onto);

 private:
  void Swap(int a, int b);
  void Show(int selected);

  Form form_;
  std::vector<std::string> names_;
  std::vector<int> positions_;
  Confirm onOk_;
  ControlId list_ = kNoControl;
};

}  // namespace tw::ui
