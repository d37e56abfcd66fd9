#pragma once
// A form control's context menu as a popup menu: built from the entries visible at the
// moment, shown at the mouse (or below the control's top-left corner when the keyboard
// asked), and the chosen entry handed to the form.

#include <windows.h>

#include "ui/form/form.h"

namespace tw::ui::win32 {

// `request` is WM_CONTEXTMENU's lParam. False when the control offers no entry now.
bool ShowContextMenu(Form& form, ControlId id, HWND owner, HWND control, LPARAM request);

}  // namespace tw::ui::win32
