#pragma once
// The main window's stored position in [General] of "Tunewright.ini".

#include <cstdint>

namespace tw {

struct IniContext;

struct WindowPosition {
  int32_t left = 0;
  int32_t top = 0;
  bool centred() const { return left == 0 && top == 0; }  // nothing stored: centre on screen
};

WindowPosition LoadWindowPosition(const IniContext& ini);

// Nothing is written for left 0 and top 0, when the main file does not exist, or when it
// is marked read-only (silently). Other failures are shown.
void SaveWindowPosition(const IniContext& ini, const WindowPosition& position);

}  // namespace tw
