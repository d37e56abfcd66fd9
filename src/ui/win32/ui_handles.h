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
using BitmapHandle = unique_handle<GdiObjectTraits<HBITMAP>>;

struct MemoryDcTraits {
  using pointer = HDC;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { ::DeleteDC(h); }
};
using MemoryDc = unique_handle<MemoryDcTraits>;

// An object selected into a device context for the length of a scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? ::SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (old_) ::SelectObject(dc_, old_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window's device context, given back when done; get() is null when the system gave none.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A control's device context with the control's own font selected, for measuring its text
// (the font is put back before the context is given back).
class ControlDc {
 public:
  explicit ControlDc(HWND control)
      : dc_(control), font_(dc_.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0))) {}
  HDC get() const { return dc_.get(); }

 private:
  WindowDc dc_;
  Selection font_;
};

}  // namespace tw::ui::win32
