#pragma once
// One window as data: its own properties, its controls (control.h) and its system-menu
// entries. A portable form (e.g. MainForm) owns a Form, fills it, and changes it only
// through the setters below; every setter tells the attached FormView what changed, so a
// backend never has to poll. The backend reports the user's input back through the
// User* calls, which apply the same rules on every platform (spin-edit clamping, which
// handlers run) before the form's handlers see anything.
//
// Who implements what:
//   Form        - here (src/ui/form/form.cpp), portable.
//   FormView    - each backend: src/ui/win32 (real windows), src/ui/headless (tests).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/form/control.h"

namespace tw::ui {

// Forms are designed at 96 dots per inch; a monitor of `dpi` scales every design length
// by s = 1 + (dpi - 96) / 96 (1 for an unknown dpi, 0 or less). The one rule: the window
// layer turns dpi into s and back through it too.
inline constexpr int kDesignDpi = 96;
double ScaleOfDpi(int dpi);

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// Where a window of `width` x `height` pixels asked for at `wanted` goes so that it lies
// wholly on `area` (a monitor's work area): a stored position from another desktop layout
// never leaves it out of sight. A window larger than the area keeps its top left on it.
Point KeepWithin(Point wanted, int width, int height, const Rect& area);

// A window's own properties. Sizes are design units (96 dots per inch); the position is
// in screen pixels, as stored in the settings.
struct WindowFrame {
  std::string className{};  // registered under this name: scripts find windows by class
  std::string caption{};
  int clientWidth = 0;
  int clientHeight = 0;
  std::optional<int> outerHeight{};  // when set, overrides clientHeight: the whole window's height
  bool fixedSize = true;           // single border, no maximise box
  bool minimizeBox = true;
  Font font{};
  std::optional<Point> position{};   // none: centred on the screen (a dialog: on its owner)
  // A dialog belongs to the window that opens it: it stays above it, has no taskbar entry
  // of its own, opens centred on it and shows no icon in its title bar.
  bool dialog = false;
};

// An entry the form appends to the window's system menu; `separator` entries have no
// caption and no handler. After an entry's handler ran, the standard handling runs too.
struct SystemMenuEntry {
  bool separator = false;
  std::string caption{};
  std::function<void()> onSelect{};
};

enum class ControlAspect { Caption, Bounds, Enabled, Visible, Colours, Items, Selection, Checked, Font, Tooltip };
enum class WindowAspect { Caption, Size, Position };

// The backend's side of one window. Created by UiBackend::CreateView for a filled Form.
class FormView {
 public:
  virtual ~FormView() = default;
  virtual void ControlChanged(ControlId id, ControlAspect aspect) = 0;
  virtual void WindowChanged(WindowAspect aspect) = 0;
  virtual void ScaleChanged() = 0;  // every position and font again at form.scale()
  virtual void Repaint() = 0;       // paint now, not at the next idle moment
  virtual void Focus(ControlId id) = 0;
  virtual void Show() = 0;
  virtual void Close() = 0;         // the form's onClose runs before the window goes
  virtual Point Position() const = 0;  // where the window is now (the user may have moved it)
};

class Form {
 public:
  explicit Form(WindowFrame window);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // --- building (before a view is attached) ---
  ControlId Add(Control control);
  void AddSystemMenuEntry(SystemMenuEntry entry);
  void OnChange(ControlId id, std::function<void()> handler);
  void OnClick(ControlId id, std::function<void()> handler);
  void OnDoubleClick(ControlId id, std::function<void()> handler);
  void SetInitialFocus(ControlId id) { initialFocus_ = id; }  // focused when first shown
  void SetCaptionContinuation(ControlId label, ControlId checkBox) { At(label).continuesCaptionOf = checkBox; }
  // The buttons Enter and Escape click, as Windows users expect of a dialog.
  void SetDefaultButton(ControlId id) { defaultButton_ = id; }
  void SetCancelButton(ControlId id) { cancelButton_ = id; }
  // Pop-up menus may be added and attached at any time: a backend builds the menu from the
  // form's data each time it opens. Returns the menu's index.
  int AddPopupMenu(PopupMenu menu);
  void AttachPopupMenu(ControlId id, int menu);  // -1 detaches
  std::function<void()> onClose{};  // the window is closing (close box, Close(), end of session)
  // Asked before a close the user or another program requested; false keeps the window
  // open (a command in progress, which closes it itself when it has stopped).
  std::function<bool()> onCloseQuery{};
  // The user resized the window (pixels: the whole window's width, the client area's size).
  std::function<void(int outerWidth, int clientWidth, int clientHeight)> onResize{};

  // --- reading ---
  const WindowFrame& window() const { return window_; }
  const std::vector<SystemMenuEntry>& systemMenu() const { return systemMenu_; }
  ControlId initialFocus() const { return initialFocus_; }
  ControlId defaultButton() const { return defaultButton_; }
  int popupMenuCount() const { return static_cast<int>(popupMenus_.size()); }
  const PopupMenu& popupMenu(int menu) const;
  int FindMenuItem(int menu, std::string_view name) const;  // -1 when absent
  int controlCount() const { return static_cast<int>(controls_.size()); }
  const Control& control(ControlId id) const;
  ControlId Find(std::string_view name) const;  // kNoControl when absent
  // The dots-per-inch factor s: 1 + (dpi - 96) / 96.
  double scale() const { return scale_; }
  int Scaled(int design) const;  // design * s, truncated
  Rect PixelBounds(ControlId id) const;  // bounds * s relative to the parent, truncated
  int SpinValue(ControlId id) const;  // the spin-edit rule applied to its text (spin_edit.h)
  // Its value when its text is a whole number; nothing for a typing slip.
  std::optional<int> WholeSpinValue(ControlId id) const;
  // True when the control and every group it sits in are visible.
  bool IsShowing(ControlId id) const;

  // --- changing (each tells the view) ---
  void SetCaption(ControlId id, std::string caption);
  void SetBounds(ControlId id, Rect bounds);
  void SetTop(ControlId id, int top);
  void SetLeft(ControlId id, int left);
  void SetEnabled(ControlId id, bool enabled);
  void SetVisible(ControlId id, bool visible);
  void SetBackground(ControlId id, Colour colour);
  void SetTextColour(ControlId id, Colour colour);
  void SetFont(ControlId id, Font font);
  void SetTooltip(ControlId id, std::string text);
  // Brings the value into the range, shows it and runs onChange when the text changed.
  void SetSpinValue(ControlId id, int value);
  void SetItems(ControlId id, std::vector<std::string> items);  // selection becomes -1
  void SetSelected(ControlId id, int index);  // runs onChange when it changed; -1 clears
  // Runs onChange when it changed. A radio button that becomes checked unchecks the other
  // radio buttons of its parent, whose onChange does not run.
  void SetChecked(ControlId id, bool checked);
  void SetValues(ControlId id, std::vector<std::string> values);  // a value list's texts
  void SetColumnWidth(ControlId id, int designWidth);              // a value list's first column
  void SetMenuItemCaption(int menu, int item, std::string caption);
  void SetMenuItemChecked(int menu, int item, bool checked);
  void SetMenuItemVisible(int menu, int item, bool visible);

  void SetWindowCaption(std::string caption);
  void SetOuterHeight(int designHeight);
  void SetPosition(std::optional<Point> position);
  void SetScale(double scale);  // at creation from the monitor, and when the window changes monitor
  void CentreOn(const Form& owner);  // a dialog opened from `owner`: its scale, over its middle
  void Repaint();
  void Focus(ControlId id);  // the keyboard focus, as a click into the control gives it
  void Close();
  Point WindowPosition() const;  // from the view when there is one

  // --- the backend ---
  // nullptr detaches; a form attached to a new view (a dialog shown again) may close again.
  void Attach(FormView* view);
  FormView* view() const { return view_; }

  // --- user input, reported by the backend ---
  void UserTyped(ControlId id, std::string_view text);  // a spin edit's whole new text
  void UserLeft(ControlId id);          // focus left the control: a spin edit shows its value
  void UserStepped(ControlId id, int delta);  // spin-edit arrows
  void UserClicked(ControlId id);       // buttons, labels (mouse or Space), check boxes (toggle), radio buttons (check)
  void UserDoubleClicked(ControlId id);
  void UserSelected(ControlId id, int index);  // drop-down lists and list views
  void UserDropped(ControlId id, int onto);    // list views: the selected row dropped on a row, -1 below them
  void UserSystemMenu(int entryIndex);  // index into systemMenu()
  void UserEdited(ControlId id, int row, std::string_view text);  // a value list's row
  void UserResized(int outerWidth, int clientWidth, int clientHeight);
  // A right-click on the control: the menu to open (onPopup has run), -1 when it has none
  // or cannot take input now.
  int UserPoppedUp(ControlId id);
  void UserPickedMenuItem(int menu, int item);  // a shown, non-separator entry of an open menu
  // The close box, Alt+F4 or another program's request: onClose, then the window goes;
  // false when onCloseQuery kept it open.
  bool UserClosed();
  void UserPressedEnter();              // clicks the default button, when there is one to click
  // Clicks the cancel button; false when the form has none (a dialog then closes, as with
  // its close box).
  bool UserPressedEscape();

 private:
  Control& At(ControlId id);
  void Notify(ControlId id, ControlAspect aspect);
  void NotifyWindow(WindowAspect aspect);
  void SetSpinText(ControlId id, std::string text);
  PopupMenuItem& MenuItem(int menu, int item);

  WindowFrame window_;
  std::vector<Control> controls_;
  std::vector<SystemMenuEntry> systemMenu_;
  std::vector<PopupMenu> popupMenus_;
  double scale_ = 1.0;
  FormView* view_ = nullptr;
  ControlId initialFocus_ = kNoControl;
  ControlId defaultButton_ = kNoControl;
  ControlId cancelButton_ = kNoControl;
  bool closing_ = false;
};

}  // namespace tw::ui
