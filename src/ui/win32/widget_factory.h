#pragma once
// Makes the native control for each kind of form control, with the user's input on it wired
// to the form's User* calls. The form decides what the input does; the control then shows
// what the form decided.

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/form/form.h"
#include "ui/win32/controls.h"

namespace tw::ui::win32 {

// The order in which the controls of `form` are made: Win32 takes the tab order and the
// stacking from it.
std::vector<ControlId> CreationOrder(const Form& form);

// The native control for the form's control `id`, a child of `parent` with the Win32 id
// `nativeId`, hidden and unplaced. Its window is null when the system refused it.
std::unique_ptr<Widget> MakeWidget(Form& form, ControlId id, HWND parent, int nativeId);

}  // namespace tw::ui::win32
