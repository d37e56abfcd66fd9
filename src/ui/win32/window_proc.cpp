#include "ui/win32/window_proc.h"

#include <commctrl.h>

#include <exception>
#include <unordered_map>
#include <utility>

namespace tw::ui::win32 {
namespace {

// The failure a window procedure caught. A C callback has nowhere else to put it: the
// procedure is called by the system, and the loop that will raise it again has no way in.
thread_local std::exception_ptr trappedFailure;

// The wrapper of each native control of this thread. Kept here rather than in a window
// property or a comctl32 subclass: under wine every property read is a round trip to the
// wine server, and a comctl32 subclass reads one on each message, which made the window's
// start several times slower there.
std::unordered_map<HWND, NativeControl*>& Wrappers() {
  static thread_local std::unordered_map<HWND, NativeControl*> wrappers;
  return wrappers;
}

HINSTANCE ThisModule() { return ::GetModuleHandleW(nullptr); }

}  // namespace

void TrapFailure() noexcept {
  if (!trappedFailure) trappedFailure = std::current_exception();
  ::PostQuitMessage(1);
}

int RunMessageLoop(const std::function<bool()>& keepRunning, IdleWork& idleWork) {
  MSG message{};
  int status = 0;
  while (keepRunning()) {
    if (idleWork.pending() && !::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      idleWork.RunStep();
      continue;
    }
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
  Wrappers()[window] = this;
  nativeProcedure_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NativeControl::Subclass)));
  if (!nativeProcedure_) {
    Wrappers().erase(window);
    handle_.reset();
    return false;
  }
  return true;
}

NativeControl* NativeControl::FromHandle(HWND control) {
  // Only this thread's own controls are in the table; any other window is nobody's.
  const auto found = Wrappers().find(control);
  return found == Wrappers().end() ? nullptr : found->second;
}

LRESULT NativeControl::CallNative(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(nativeProcedure_, hwnd(), message, wParam, lParam);
}

LRESULT CALLBACK NativeControl::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  NativeControl* self = FromHandle(window);
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);  // nothing comes after WM_NCDESTROY
  const WNDPROC native = self->nativeProcedure_;
  if (message == WM_NCDESTROY) {
    // The last message: the wrapper lets go of the window (the procedure is left as it is,
    // as another hook, the arrows' on their field, may sit on top of it).
    Wrappers().erase(window);
    self->handle_.release();
    return ::CallWindowProcW(native, window, message, wParam, lParam);
  }
  try {
    LRESULT result = 0;
    if (self->OnControlMessage(message, wParam, lParam, result)) return result;
  } catch (...) {
    TrapFailure();
  }
  return ::CallWindowProcW(native, window, message, wParam, lParam);
}

}  // namespace tw::ui::win32
