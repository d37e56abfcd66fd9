#include "ui/headless/headless_backend.h"

#include <stdexcept>

namespace tw::ui {

HeadlessView::HeadlessView(Form& form, int screenWidth, int screenHeight)
    : form_(form), screenWidth_(screenWidth), screenHeight_(screenHeight) {
  form_.Attach(this);
  Place();
}

HeadlessView::~HeadlessView() {
  if (form_.view() == this) form_.Attach(nullptr);
}

void HeadlessView::ControlChanged(ControlId, ControlAspect) {}

void HeadlessView::WindowChanged(WindowAspect aspect) {
  if (aspect == WindowAspect::Position) Place();
}

void HeadlessView::Place() {
  const WindowFrame& w = form_.window();
  if (w.position) {
    position_ = *w.position;
    return;
  }
  const int width = form_.Scaled(w.clientWidth);
  const int height = form_.Scaled(w.outerHeight.value_or(w.clientHeight));
  position_ = {(screenWidth_ - width) / 2, (screenHeight_ - height) / 2};
}

HeadlessBackend::HeadlessBackend(Dialogs& dialogs, int dpi) : dialogs_(dialogs), dpi_(dpi) {}

std::unique_ptr<FormView> HeadlessBackend::CreateView(Form& form) {
  return std::make_unique<HeadlessView>(form, 1920, 1080);
}

std::optional<std::string> HeadlessBackend::AskFileName(const FileDialogRequest& request) {
  fileRequests.push_back(request);
  if (fileAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(fileAnswers.front());
  fileAnswers.pop_front();
  return answer;
}

void HeadlessBackend::RunUntilClosed(Form& form) {
  if (!userActsWhileIdleWorkRuns)
    while (RunIdleStep()) {
    }
  if (whileOpen) whileOpen(form);
  if (form.UserClosed() && form.view()) form.view()->Close();
}

bool HeadlessBackend::RunIdleStep() {
  if (idleWork_.pending()) idleWork_.RunStep();
  return idleWork_.pending();
}

ControlId HeadlessUser::Id(std::string_view name) const {
  const ControlId id = form_.Find(name);
  if (id == kNoControl) throw std::out_of_range("no control named " + std::string(name));
  return id;
}

void HeadlessUser::Click(std::string_view name) { form_.UserClicked(Id(name)); }
void HeadlessUser::DoubleClick(std::string_view name) { form_.UserDoubleClicked(Id(name)); }

void HeadlessUser::Type(std::string_view name, std::string_view text, bool leave) {
  form_.UserTyped(Id(name), text);
  if (leave) Leave(name);
}

void HeadlessUser::Leave(std::string_view name) { form_.UserLeft(Id(name)); }
void HeadlessUser::Select(std::string_view name, int index) { form_.UserSelected(Id(name), index); }
void HeadlessUser::Drop(std::string_view name, int onto) { form_.UserDropped(Id(name), onto); }

void HeadlessUser::SystemMenu(std::string_view caption) {
  const auto& entries = form_.systemMenu();
  for (size_t i = 0; i < entries.size(); ++i)
    if (!entries[i].separator && entries[i].caption == caption) return form_.UserSystemMenu(static_cast<int>(i));
  throw std::out_of_range("no system menu entry " + std::string(caption));
}

bool HeadlessUser::ContextMenu(std::string_view name, std::string_view caption) {
  const int menu = form_.UserPoppedUp(Id(name));
  if (menu < 0) return false;
  const std::vector<PopupMenuItem>& items = form_.popupMenu(menu).items;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].separator || items[i].caption != caption || !items[i].visible) continue;
    form_.UserPickedMenuItem(menu, static_cast<int>(i));
    return true;
  }
  return false;
}

void HeadlessUser::Edit(std::string_view name, int row, std::string_view text) { form_.UserEdited(Id(name), row, text); }

bool HeadlessUser::PopUp(std::string_view name) { return form_.UserPoppedUp(Id(name)) >= 0; }

void HeadlessUser::PickMenuItem(std::string_view name, std::string_view item) {
  const int menu = form_.UserPoppedUp(Id(name));
  if (menu < 0) throw std::out_of_range("no menu opens on " + std::string(name));
  const int index = form_.FindMenuItem(menu, item);
  if (index < 0) throw std::out_of_range("no menu entry " + std::string(item));
  form_.UserPickedMenuItem(menu, index);
}

const PopupMenuItem& HeadlessUser::MenuItem(std::string_view name, std::string_view item) const {
  const int menu = Get(name).popupMenu;
  if (menu < 0) throw std::out_of_range(std::string(name) + " has no menu");
  const int index = form_.FindMenuItem(menu, item);
  if (index < 0) throw std::out_of_range("no menu entry " + std::string(item));
  return form_.popupMenu(menu).items[static_cast<size_t>(index)];
}

const Control& HeadlessUser::Get(std::string_view name) const { return form_.control(Id(name)); }
int HeadlessUser::Value(std::string_view name) const { return form_.SpinValue(Id(name)); }
bool HeadlessUser::Showing(std::string_view name) const { return form_.IsShowing(Id(name)); }
Rect HeadlessUser::PixelBounds(std::string_view name) const { return form_.PixelBounds(Id(name)); }

}  // namespace tw::ui
