#pragma once
// A window's controls as plain data. The portable forms (src/ui) build and change them;
// a backend (src/ui/win32 for real windows, src/ui/headless for tests) turns them into
// something on screen. Nothing here knows about any platform.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>


namespace tw::ui {

// Index of a control within its form; also the order in which the controls were added.
using ControlId = int;
inline constexpr ControlId kNoControl = -1;  // as a parent: the form's client area itself

enum class ControlKind {
  Group,     // a group box with a caption; may be double-clicked
  Label,     // static text; `tabStop` labels take the focus and Space clicks them
  Button,    // a push button
  SpinEdit,  // an integer edit with up/down arrows and a range (see spin_edit.h)
  DropDown,  // a drop-down list (no free text): `items`, `selected`
  CheckBox,  // a check box: `checked`
  ListView,  // a one-column list, whole rows selected: `items`, `selected`; rows are dragged within it
  ValueList, // two columns with titles `columns`: read-only keys `items`, edited texts `values`
  TextEdit,  // a one-line free-text field: `caption`, `maxLength`, `acceptedChars`
  RadioButton,  // one choice among the radio buttons of the same parent: `checked`
  Edit,      // a read-only one-line text (`caption`), scrolled so that its end shows
};

// Design units: pixels at 96 dots per inch, relative to the parent's client area.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;   // 0 for labels and check boxes: sized to their text by the backend
  int height = 0;
  bool operator==(const Rect&) const = default;
};

// The platform's system colours a form may ask for; their shades are the platform's.
enum class SystemColour : uint8_t {
  Window,           // backgrounds of edits and lists
  ButtonFace,       // backgrounds of buttons and check boxes
  InactiveCaption,  // fields of a switched-off group
  WindowText,       // normal text
  GrayText,         // disabled-looking text
};

// A colour as a form asks for it: a system colour, or a fixed COLORREF (0x00BBGGRR).
class Colour {
 public:
  static constexpr Colour System(SystemColour colour) { return Colour(true, colour, 0); }
  static constexpr Colour Fixed(uint32_t colorRef) { return Colour(false, SystemColour::Window, colorRef); }

  constexpr bool isSystem() const { return isSystem_; }
  constexpr SystemColour system() const { return system_; }
  constexpr uint32_t colorRef() const { return colorRef_; }
  constexpr bool operator==(const Colour&) const = default;

 private:
  constexpr Colour(bool isSystem, SystemColour system, uint32_t colorRef)
      : isSystem_(isSystem), system_(system), colorRef_(colorRef) {}
  bool isSystem_;
  SystemColour system_;
  uint32_t colorRef_;
};

struct Font {
  std::string face = "Tahoma";
  int pointSize = 8;    // used when pixelHeight is 0
  int pixelHeight = 0;  // design pixels (scaled like positions) when not 0
  bool operator==(const Font&) const = default;
};

struct Control {
  ControlKind kind = ControlKind::Label;
  std::string name{};     // the program's control name, e.g. "GPU_Clock_0"
  ControlId parent = kNoControl;
  Rect bounds{};          // design units
  std::string caption{};  // text of labels, buttons, groups, check boxes; the edit text of a spin edit
  std::string accessibleName{};  // what a screen reader announces for a field, e.g. "GPU P3 clock (MHz)"
  std::string tooltip{};  // shown while the mouse rests on the control, also when it is disabled; empty: none
  bool enabled = true;
  bool visible = true;
  bool tabStop = false;
  int tabOrder = 0;     // among the controls of the same form; lower first
  Colour background = Colour::System(SystemColour::Window);
  Colour textColour = Colour::System(SystemColour::WindowText);
  bool useFormFont = true;  // false: `font` below
  Font font{};

  // SpinEdit: the range and the longest text a user may type (both ends fit).
  int minValue = 0;
  int maxValue = 0;
  int maxLength = 0;
  // TextEdit: the characters a user may type (empty: any), and whether letters are turned
  // to upper case as they are typed.
  std::string acceptedChars{};
  bool upperCase = false;
  // Label: the check box or radio button whose caption this label continues. It is placed
  // right after that box's text as drawn, so the two read as one line at every scale (scaling both
  // positions apart lets the gap grow or shrink with the font); `bounds.left` is then unused.
  ControlId continuesCaptionOf = kNoControl;
  // Any kind: the form's pop-up menu (Form::AddPopupMenu) opened by a right-click; -1: none.
  int popupMenu = -1;
  // DropDown, ListView
  std::vector<std::string> items{};
  int selected = -1;
  int dropDownRows = 8;
  // CheckBox, RadioButton
  bool checked = false;
  // ValueList: one value per key; the first column is `columnWidth` design units wide and
  // the second takes the rest.
  std::vector<std::string> values{};
  std::vector<std::string> columns{};
  int columnWidth = 0;

  // Handlers, run by the form on user input and when the form changes a value itself
  // (a changed spin-edit value, selection or tick runs onChange, as a user edit would).
  std::function<void()> onChange{};       // SpinEdit, TextEdit (text), DropDown (selection), CheckBox (tick),
                                          // RadioButton (only when it becomes the checked one)
  std::function<void()> onClick{};        // Button, Label
  std::function<void()> onDoubleClick{};  // Group, Label
  // SpinEdit: the user left the field. When set, it decides what the field shows then,
  // instead of the spin-edit rule (which reads text that is no number as the minimum).
  std::function<void()> onLeave{};
  // ListView: the selected row was dragged and dropped on row `onto`, or below the last
  // row (-1). Drops from anywhere else never reach the form.
  std::function<void(int onto)> onDrop{};
};

// One entry of a pop-up menu; `separator` entries have no caption and no handler. A hidden
// entry is left out of the menu when it opens.
struct PopupMenuItem {
  std::string name{};  // the program's entry name, e.g. "Chill1"
  std::string caption{};
  bool separator = false;
  bool checked = false;
  bool visible = true;
  std::function<void()> onClick{};
};

// A context menu. `onPopup` runs each time before it opens, so that it can bring its
// entries up to date; the backend shows the entries as they are afterwards.
struct PopupMenu {
  std::vector<PopupMenuItem> items{};
  std::function<void()> onPopup{};
};

}  // namespace tw::ui
