#include "ui/win32/window_proc.h"

#include <commctrl.h>

#include <exception>
#include <utility>

namespace tw::ui::win32 {
namespace {

// The failure a window procedure caught. A C callback has nowhere else to put it: the
// procedure is called by the system, and the loop that will raise it again has no way in.
thread_local std::exception_ptr trappedFailure;

constexpr UINT_PTR kSubclassId = 0x7477;  // "tw"
// The wrapper of a native control, for the parent's reflection. (GetWindowSubclass would
// answer the same, but it is missing from the toolchain's comctl32 import library.)
constexpr wchar_t kWrapperProperty[] = L"Tunewright.Wrapper";

HINSTANCE ThisModule() { return ::GetModuleHandleW(nullptr); }

}  // namespace

void TrapFailure() noexcept {
  if (!trappedFailure) trappedFailure = std::current_exception();
  ::PostQuitMessage(1);
}

int RunMessageLoop(const std::function<bool()>& keepRunning) {
  MSG message{};
  int status = 0;
  while (keepRunning()) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      status = static_cast<int>(message.wParam);
      // An outer loop, if any, must end too.
      if (!trappedFailure) ::PostQuitMessage(status);
      break;
    }
    if (got < 0) {
      status = -1;
      break;
    }
    HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && ::IsDialogMessageW(root, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  if (trappedFailure) std::rethrow_exception(std::exchange(trappedFailure, nullptr));
  return status;
}

// ---- OwnWindow ----------------------------------------------------------------------------

bool OwnWindow::CreateOwnWindow(const std::wstring& className, UINT classStyle, DWORD style, DWORD exStyle,
                                const std::wstring& caption, const RECT& outer, HWND owner) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!::GetClassInfoExW(ThisModule(), className.c_str(), &existing)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = &OwnWindow::Procedure;
    windowClass.hInstance = ThisModule();
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className.c_str();
    if (!::RegisterClassExW(&windowClass)) return false;
  }
  // The handle is stored at WM_NCCREATE, so a failure later in creation (which destroys
  // the window) finds the owner already holding it and releasing it at WM_NCDESTROY.
  ::CreateWindowExW(exStyle, className.c_str(), caption.c_str(), style, outer.left, outer.top,
                    outer.right - outer.left, outer.bottom - outer.top, owner, nullptr, ThisModule(), this);
  return static_cast<bool>(handle_);
}

LRESULT OwnWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd(), message, wParam, lParam);
}

LRESULT CALLBACK OwnWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<OwnWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<OwnWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->handle_.reset(window);
  }
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->OnMessage(message, wParam, lParam);
  } catch (...) {
    TrapFailure();
    result = ::DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    // The system destroyed the window (or Destroy did): the owner must not destroy it again.
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->handle_.release();
  }
  return result;
}

// ---- NativeControl ------------------------------------------------------------------------

bool NativeControl::CreateNative(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, int id,
                                 const std::wstring& text) {
  HWND window = ::CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  if (!window) return false;
  handle_.reset(window);
  if (!::SetWindowSubclass(window, &NativeControl::Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) ||
      !::SetPropW(window, kWrapperProperty, static_cast<HANDLE>(this))) {
    handle_.reset();
    return false;
  }
  return true;
}

NativeControl* NativeControl::FromHandle(HWND control) {
  // Only windows of this process: another one's property would be a pointer into it.
  DWORD process = 0;
  if (!control || !::GetWindowThreadProcessId(control, &process) || process != ::GetCurrentProcessId()) return nullptr;
  return static_cast<NativeControl*>(::GetPropW(control, kWrapperProperty));
}

LRESULT NativeControl::CallNative(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefSubclassProc(hwnd(), message, wParam, lParam);
}

LRESULT CALLBACK NativeControl::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR selfData) {
  auto* self = reinterpret_cast<NativeControl*>(selfData);
  if (message == WM_NCDESTROY) {
    // Destroyed with its parent: unhook and let the owner forget the handle.
    ::RemoveWindowSubclass(window, &NativeControl::Subclass, kSubclassId);
    ::RemovePropW(window, kWrapperProperty);
    self->handle_.release();
    return ::DefSubclassProc(window, message, wParam, lParam);
  }
  try {
    LRESULT result = 0;
    if (self->OnControlMessage(message, wParam, lParam, result)) return result;
  } catch (...) {
    TrapFailure();
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace tw::ui::win32
