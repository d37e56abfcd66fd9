#include "ui/win32/gdi_cache.h"

#include <utility>

#include "platform/win32/wide.h"

namespace tw::ui::win32 {

COLORREF ToColorRef(const Colour& colour) {
  if (!colour.isSystem()) return static_cast<COLORREF>(colour.colorRef());
  switch (colour.system()) {
    case SystemColour::Window: return ::GetSysColor(COLOR_WINDOW);
    case SystemColour::ButtonFace: return ::GetSysColor(COLOR_BTNFACE);
    case SystemColour::InactiveCaption: return ::GetSysColor(COLOR_INACTIVECAPTION);
    case SystemColour::WindowText: return ::GetSysColor(COLOR_WINDOWTEXT);
    case SystemColour::GrayText: return ::GetSysColor(COLOR_GRAYTEXT);
  }
  return ::GetSysColor(COLOR_WINDOW);
}

HFONT GdiCache::Font(const ui::Font& font, int height) {
  const auto key = std::make_tuple(font.face, font.pointSize, font.pixelHeight);
  auto found = fonts_.find(key);
  if (found == fonts_.end()) {
    HFONT made = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               tw::win32::Wide(font.face).c_str());
    found = fonts_.emplace(key, FontHandle(made)).first;
  }
  return found->second.get();
}

GdiCache::Fonts GdiCache::TakeFonts() { return std::exchange(fonts_, {}); }

HBRUSH GdiCache::Brush(COLORREF colour) {
  auto found = brushes_.find(colour);
  if (found == brushes_.end()) found = brushes_.emplace(colour, BrushHandle(::CreateSolidBrush(colour))).first;
  return found->second.get();
}

}  // namespace tw::ui::win32
