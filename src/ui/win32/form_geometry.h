#pragma once
// Where a form's controls and frame go on the screen, in device pixels at the form's scale.
// Positions and sizes come from the form; what the form leaves open (the size of a label or
// check box that fits its text, where a box's text ends) is measured in the control's own
// font, which is why the native windows are asked for.

#include <windows.h>

#include <functional>

#include "ui/form/form.h"

namespace tw::ui::win32 {

// True when `id` sits inside the group `ancestor`, at any depth.
bool IsAncestor(const Form& form, ControlId ancestor, ControlId id);

class FormGeometry {
 public:
  // `controlWindow` gives the native window of a control; null for one not (or not yet) made.
  FormGeometry(const Form& form, std::function<HWND(ControlId)> controlWindow)
      : form_(form), controlWindow_(std::move(controlWindow)) {}

  // The control in the window's client area.
  RECT PixelRect(ControlId id) const;
  // The innermost showing group at `client` (a point in the client area); kNoControl when
  // none is there.
  ControlId GroupAt(POINT client) const;
  // The whole window's size, frame included, for the form's client size with these window
  // styles at `dpi`; the form's outer height when it sets one.
  SIZE FrameSize(DWORD style, DWORD exStyle, int dpi) const;

 private:
  int CaptionTextEnd(ControlId box) const;  // from the box's left edge

  const Form& form_;
  std::function<HWND(ControlId)> controlWindow_;
};

}  // namespace tw::ui::win32
