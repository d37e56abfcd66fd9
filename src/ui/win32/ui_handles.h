#pragma once
// Owners of the window-system objects the backend creates. Every HWND, HFONT and HBRUSH
// it makes has exactly one of these; a moved-from owner holds nothing.

#include <windows.h>

#include "base/unique_handle.h"

namespace tw::ui::win32 {

struct WindowTraits {
  using pointer = HWND;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { ::DestroyWindow(h); }
};
using WindowHandle = unique_handle<WindowTraits>;

struct MenuTraits {
  using pointer = HMENU;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { ::DestroyMenu(h); }
};
using MenuHandle = unique_handle<MenuTraits>;

// Fonts, brushes and bitmaps all go back through DeleteObject; the traits are separate so
// that an owner's type says which kind it holds.
template <typename Handle>
struct GdiObjectTraits {
  using pointer = Handle;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { ::DeleteObject(h); }
};
using FontHandle = unique_handle<GdiObjectTraits<HFONT>>;
using BrushHandle = unique_handle<GdiObjectTraits<HBRUSH>>;

}  // namespace tw::ui::win32
