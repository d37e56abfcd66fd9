#pragma once
// The form's menus on a window: its entries in the window's system menu, and its pop-up
// menus where the user right-clicks. The form decides what each entry does; these only show
// the entries and report the one picked.

#include <windows.h>

#include "ui/form/form.h"

namespace tw::ui::win32 {

// Appends the form's system menu entries to the system menu of `window`.
void AddSystemMenuEntries(HWND window, const Form& form);

// WM_SYSCOMMAND: reports `command` to the form when it is one of the form's entries.
void OnSystemMenuCommand(Form& form, WPARAM command);

// Opens the form's pop-up menu `menu` at `screen`, owned by `window`, and reports the entry
// picked. A menu without a shown entry does not open.
void ShowPopupMenu(Form& form, int menu, HWND window, POINT screen);

}  // namespace tw::ui::win32
