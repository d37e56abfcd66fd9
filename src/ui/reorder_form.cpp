#include "ui/reorder_form.h"

#include <utility>

#include "ui/form/form_builder.h"

namespace tw::ui {
namespace {

constexpr int kClientWidth = 262;
constexpr int kClientHeight = 281;

WindowFrame ReorderWindowFrame(const Form& owner) {
  WindowFrame w;
  w.className = "TForm5";
  w.caption = "Reorder profiles";
  w.clientWidth = kClientWidth;
  w.clientHeight = kClientHeight;
  w.fixedSize = true;
  w.minimizeBox = false;
  w.dialog = true;  // centred on the main window
  w.font = owner.window().font;
  return w;
}

}  // namespace

ReorderForm::ReorderForm(std::vector<std::string> names, const Form& owner, Confirm onOk)
    : form_(ReorderWindowFrame(owner)), names_(std::move(names)), onOk_(std::move(onOk)) {
  form_.SetScale(owner.scale());  // a dialog takes its owner's scale (the window centres it)
  for (size_t i = 0; i < names_.size(); ++i) positions_.push_back(static_cast<int>(i));
  FormBuilder b(form_);
  Control list{.kind = ControlKind::ListView, .name = "ListView1", .bounds = {8, 8, 161, 265},
               .accessibleName = "Profiles", .tabStop = true};
  list.items = names_;
  list.onDrop = [this](int onto) { Drop(onto); };
  list_ = b.Add(std::move(list));
  auto button = [&](const char* name, const char* caption, int top, std::function<void()> onClick) {
    const ControlId id = b.Button(name, caption, {178, top, 75, 25});
    form_.OnClick(id, std::move(onClick));
    return id;
  };
  button("Button1", "UP", 8, [this] { Up(); });
  button("Button2", "Down", 39, [this] { Down(); });
  form_.SetDefaultButton(button("Button3", "OK", 217, [this] {
    if (onOk_) onOk_(positions_);
    form_.Close();
  }));
  form_.SetCancelButton(button("Button4", "Cancel", 248, [this] { form_.Close(); }));
  form_.SetInitialFocus(list_);
}

void ReorderForm::RunModal(UiBackend& backend) {
  const std::unique_ptr<FormView> view = backend.CreateView(form_);
  view->Show();
  backend.RunUntilClosed(form_);
}

void ReorderForm::Show(int selected) {
  form_.SetItems(list_, names_);
  form_.SetSelected(list_, selected);
}

void ReorderForm::Swap(int a, int b) {
  std::swap(names_[static_cast<size_t>(a)], names_[static_cast<size_t>(b)]);
  std::swap(positions_[static_cast<size_t>(a)], positions_[static_cast<size_t>(b)]);
  Show(b);
}

void ReorderForm::Up() {
  const int selected = form_.control(list_).selected;
  if (selected > 0) Swap(selected, selected - 1);
}

void ReorderForm::Down() {
  const int selected = form_.control(list_).selected;
  if (selected >= 0 && selected + 1 < static_cast<int>(names_.size())) Swap(selected, selected + 1);
}

void ReorderForm::Drop(int onto) {
  const int from = form_.control(list_).selected;
  const int count = static_cast<int>(names_.size());
  if (from < 0 || from >= count) return;
  if (onto < 0 || onto > count) onto = count;
  // Insert the copy, then remove the original behind or before it.
  names_.insert(names_.begin() + onto, names_[static_cast<size_t>(from)]);
  positions_.insert(positions_.begin() + onto, positions_[static_cast<size_t>(from)]);
  const int original = onto <= from ? from + 1 : from;
  names_.erase(names_.begin() + original);
  positions_.erase(positions_.begin() + original);
  Show(onto <= from ? onto : onto - 1);
}

}  // namespace tw::ui
