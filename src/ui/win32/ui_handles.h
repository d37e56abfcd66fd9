#pragma once
// Owners of the window-system objects the backend creates or borrows: windows, menus, GDI
// objects, device contexts and global atoms. Every one of them has exactly one of these, so
// that each goes back the way the system wants it to (DestroyWindow, DeleteObject,
// ReleaseDC, ...) on every path; a moved-from owner holds nothing.

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

// A device context the program made itself (CreateCompatibleDC) goes through DeleteDC.
struct MemoryDcTraits {
  using pointer = HDC;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { ::DeleteDC(h); }
};
using MemoryDc = unique_handle<MemoryDcTraits>;

// A memory context like `dc`, to draw off screen; empty when the system made none.
inline MemoryDc CompatibleDc(HDC dc) { return MemoryDc(::CreateCompatibleDC(dc)); }

// An atom added to the global table is shared with other programs by count: each reference
// this program took goes back once.
struct GlobalAtomTraits {
  using pointer = ATOM;
  static pointer invalid() noexcept { return 0; }
  static void close(pointer atom) noexcept { ::GlobalDeleteAtom(atom); }
};
using GlobalAtom = unique_handle<GlobalAtomTraits>;

// A window's device context goes back through ReleaseDC together with the window it came
// from, so its owner holds both.
struct WindowDcTraits {
  struct pointer {
    HWND window;
    HDC dc;
    bool operator==(const pointer&) const = default;
  };
  static pointer invalid() noexcept { return {nullptr, nullptr}; }
  static void close(pointer h) noexcept { ::ReleaseDC(h.window, h.dc); }
};

// The device context of a window (of the screen for a null window), given back when done;
// get() is null when the system gave none.
class WindowDc {
 public:
  explicit WindowDc(HWND window) {
    if (HDC dc = ::GetDC(window)) handle_.reset({window, dc});
  }
  HDC get() const { return handle_.get().dc; }

 private:
  unique_handle<WindowDcTraits> handle_;
};

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
