#pragma once
// A backend without a screen: forms run on the host as they would in a window, and tests
// act as the user (click, double-click, type, leave a field, hold Ctrl, pick from a list,
// use the system menu, close) and read what the user would see (texts, states, colours,
// pixel positions). Controls are addressed by their names.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>
#include <string>
#include <string_view>

#include "ui/form/backend.h"

namespace tw::ui {

// The view of one form: counts what the backend was asked to do.
class HeadlessView final : public FormView {
 public:
  HeadlessView(Form& form, int screenWidth, int screenHeight);
  ~HeadlessView() override;

  void ControlChanged(ControlId id, ControlAspect aspect) override;
  void WindowChanged(WindowAspect aspect) override;
  void ScaleChanged() override {}
  void Repaint() override { ++repaints; }
  void Focus(ControlId id) override { focused = id; }
  void Show() override { shown = true; }
  void Close() override { closed = true; }
  Point Position() const override { return position_; }

  void MoveTo(Point position) { position_ = position; }  // as the user dragging the window

  bool shown = false;
  bool closed = false;
  int repaints = 0;
  ControlId focused = kNoControl;  // the last control the form gave the focus

 private:
  void Place();
  Form& form_;
  int screenWidth_;
  int screenHeight_;
  Point position_;
};

class HeadlessBackend final : public UiBackend {
 public:
  // The screen is 1920 x 1080 pixels at `dpi`.
  HeadlessBackend(Dialogs& dialogs, int dpi = 96);

  std::unique_ptr<FormView> CreateView(Form& form) override;
  // Runs the idle work to its end (unless `userActsWhileIdleWorkRuns`), then `whileOpen`
  // (the test acting as the user) once, then closes the window with its close box unless
  // it closed already.
  void RunUntilClosed(Form& form) override;
  void RunWhenIdle(std::function<bool()> step) override { idleWork_.Set(std::move(step)); }
  // One step of the idle work, as when the window has nothing else to do; false when none
  // is left.
  bool RunIdleStep();
  bool userActsWhileIdleWorkRuns = false;
  int MonitorDpi() const override { return dpi_; }
  bool CtrlHeld() const override { return ctrlHeld_; }
  Dialogs& dialogs() override { return dialogs_; }

  std::function<void(Form&)> whileOpen;
  void HoldCtrl(bool held) { ctrlHeld_ = held; }

  // File dialogs answer in order with the path, or nullopt for Cancel; Cancel when none is
  // left. Every request is kept.
  std::optional<std::string> AskFileName(const FileDialogRequest& request) override;
  std::deque<std::optional<std::string>> fileAnswers;
  std::vector<FileDialogRequest> fileRequests;

 private:
  Dialogs& dialogs_;
  IdleWork idleWork_;
  int dpi_;
  bool ctrlHeld_ = false;
};

// The user's side of one form. Every call throws std::out_of_range for an unknown name.
class HeadlessUser {
 public:
  explicit HeadlessUser(Form& form) : form_(form) {}

  void Click(std::string_view name);
  void DoubleClick(std::string_view name);
  // Focuses the field, replaces its text as typed or pasted, and optionally leaves it.
  void Type(std::string_view name, std::string_view text, bool leave = true);
  void Leave(std::string_view name);
  void Select(std::string_view name, int index);
  // A list view: drags the selected row and drops it on row `onto` (-1: below the rows).
  void Drop(std::string_view name, int onto);
  void SystemMenu(std::string_view caption);  // the entry with this caption
  // The control's context menu entry with this caption; false when the menu does not
  // offer it now (no such entry, or hidden).
  bool ContextMenu(std::string_view name, std::string_view caption);
  void Edit(std::string_view name, int row, std::string_view text);  // a value list's row
  // A right-click on the control: true when a menu opened (its entries then read below).
  bool PopUp(std::string_view name);
  // Opens the control's menu and clicks the entry of this name, when it is shown.
  void PickMenuItem(std::string_view name, std::string_view item);
  // An entry of the control's menu as it is now (after the last PopUp).
  const PopupMenuItem& MenuItem(std::string_view name, std::string_view item) const;

  const Control& Get(std::string_view name) const;
  const std::string& Text(std::string_view name) const { return Get(name).caption; }
  int Value(std::string_view name) const;  // a spin edit's value as handlers read it
  bool Showing(std::string_view name) const;  // the control and its groups visible
  bool Enabled(std::string_view name) const { return Get(name).enabled; }
  Colour Background(std::string_view name) const { return Get(name).background; }
  const std::string& Tooltip(std::string_view name) const { return Get(name).tooltip; }
  Colour TextColour(std::string_view name) const { return Get(name).textColour; }
  Rect PixelBounds(std::string_view name) const;

 private:
  ControlId Id(std::string_view name) const;
  Form& form_;
};

}  // namespace tw::ui
