#pragma once
// The fonts and brushes one window makes for its controls, kept for as long as the window
// (a control holds on to the font it was given, and WM_CTLCOLOR* answers with a brush the
// caller does not delete). One object per font or colour, however many controls use it.

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "ui/form/control.h"
#include "ui/win32/ui_handles.h"

namespace tw::ui::win32 {

// A form colour as GDI draws it; a system colour as the system has it now.
COLORREF ToColorRef(const Colour& colour);

class GdiCache {
 public:
  using Fonts = std::map<std::tuple<std::string, int, int>, FontHandle>;  // face, point size, pixel height

  // `font` at `height` device pixels (negative: character height). The height follows from
  // the font and the window's scale, so it is made once per scale.
  HFONT Font(const ui::Font& font, int height);
  // The fonts made so far, handed over when the scale changes: the caller keeps them until
  // every control holds one of the new ones, so that no control holds a deleted font.
  [[nodiscard]] Fonts TakeFonts();

  HBRUSH Brush(COLORREF colour);

 private:
  Fonts fonts_;
  std::map<COLORREF, BrushHandle> brushes_;
};

}  // namespace tw::ui::win32
