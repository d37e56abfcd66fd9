#pragma once
// Names that screen readers announce for controls whose own text is their value (an edit
// shows "1366", not "GPU P7 clock (MHz)"), set through the system's annotation service.

#include <windows.h>

#include <string>

struct IAccPropServices;

namespace tw::ui::win32 {

class AccessibleNames {
 public:
  AccessibleNames();
  ~AccessibleNames();
  AccessibleNames(const AccessibleNames&) = delete;
  AccessibleNames& operator=(const AccessibleNames&) = delete;

  // Best effort: without the service (an old system, wine) the control keeps the name the
  // system derives for it.
  void Set(HWND control, const std::string& name);

 private:
  IAccPropServices* services_ = nullptr;
};

}  // namespace tw::ui::win32
