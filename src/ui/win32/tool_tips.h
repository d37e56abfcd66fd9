#pragma once
// The tips of one window's controls: one tooltip control, owned by the window, with two
// tools for each control that has a tip. The control's own tool (the tooltip subclasses the
// control to see the mouse) serves while the control takes input; a disabled control gets
// no mouse messages at all, they go to the window, so its area in the window is a second
// tool, fed by the window relaying the mouse messages it receives.

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>

#include "ui/win32/ui_handles.h"

namespace tw::ui::win32 {

class ToolTips {
 public:
  // False when the system made no tooltip; every other call then does nothing.
  bool Create(HWND window);
  // Goes before the window: the tooltip lets go of the controls it subclassed. The system
  // destroys an owned tooltip with its owner, so one already gone is only forgotten.
  void Destroy();

  bool Has(int id) const { return tools_.count(id) != 0; }
  // Sets the tip of the form's control `id`, whose native window is `control`; the first
  // text adds its tools. An empty text shows no tip.
  void SetText(int id, HWND control, const std::string& text);
  // The control's area in the window's client area; an empty one while it is hidden.
  void SetArea(int id, const RECT& area);
  // A mouse message the window itself received.
  void Relay(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  TOOLINFOW Tool(UINT flags, UINT_PTR uId) const;

  WindowHandle tip_;
  HWND window_ = nullptr;
  std::set<int> tools_;
};

}  // namespace tw::ui::win32
