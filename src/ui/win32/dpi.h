#pragma once
// Dots per inch of the monitor a window is on, and the factor s that turns design pixels
// (96 dots per inch) into device pixels.
//
// Lengths are scaled by one rule only, the form's: Form::Scaled (design * s, truncated),
// which its own layout uses. The window scales its margins, sizes and fonts through it too,
// so that what it adds lines up with the form's positions at every scale. This header only
// turns a dpi into s and back, and font points into pixels.

#include <windows.h>

#include "ui/form/form.h"

namespace tw::ui::win32 {

class DpiScale {
 public:
  explicit DpiScale(int dpi = kDesignDpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}
  // The dpi that a form's factor s stands for.
  static DpiScale OfFactor(double factor);

  int dpi() const { return dpi_; }
  // s = 1 + (dpi - 96) / 96, a floating-point factor.
  double factor() const { return ScaleOfDpi(dpi_); }
  // A font's height in device pixels (negative: character height) for a point size.
  int FontHeight(int pointSize) const { return -::MulDiv(pointSize, dpi_, 72); }

 private:
  int dpi_;
};

// The monitor's dots per inch for a window, through the newest interface the system has:
// GetDpiForWindow (Windows 10), else the monitor's effective dpi (Windows 8.1), else the
// screen's logical dpi. The newer ones are looked up at run time so that the exe still
// starts on systems without them.
int DpiOfWindow(HWND window);
// The same for a monitor, where no window exists yet: its effective dpi (Windows 8.1), else
// the screen's logical dpi.
int DpiOfMonitor(HMONITOR monitor);

// WM_DPICHANGED where the SDK headers of the Windows 7 target leave it out.
inline constexpr UINT kWmDpiChanged = 0x02E0;

}  // namespace tw::ui::win32
