#pragma once
// The one window procedure of the backend's own windows and the one subclass procedure of
// the native controls. Both bind a C++ object to its HWND and call into it; neither lets an
// exception cross into the system: the first one caught is kept, the message loop is asked
// to end, and `RunMessageLoop` raises it again on the program's own stack, where the entry's
// guard reports it.

#include <windows.h>

#include <functional>
#include <string>

#include "ui/form/backend.h"
#include "ui/win32/ui_handles.h"

namespace tw::ui::win32 {

// A window of a class registered by the backend. The object is bound at WM_NCCREATE, so it
// sees every message from then on, and is unbound at WM_NCDESTROY, after which the handle
// it owned is gone.
class OwnWindow {
 public:
  OwnWindow() = default;
  OwnWindow(const OwnWindow&) = delete;
  OwnWindow& operator=(const OwnWindow&) = delete;
  virtual ~OwnWindow() = default;

  HWND hwnd() const { return handle_.get(); }
  void Destroy() { handle_.reset(); }

 protected:
  // Registers the class on first use (with this module's window procedure and `classStyle`)
  // and creates the window bound to this object. False when either fails.
  bool CreateOwnWindow(const std::wstring& className, UINT classStyle, DWORD style, DWORD exStyle,
                       const std::wstring& caption, const RECT& outer, HWND owner);

  // Everything the window receives. The default is DefWindowProcW.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  WindowHandle handle_;
};

// A native control (BUTTON, STATIC, EDIT, ...) whose window procedure is replaced by the
// wrapper's, which passes on what it does not handle. The wrapper
// owns the HWND; the parent finds the wrapper of a control that sent it WM_COMMAND,
// WM_NOTIFY or WM_CTLCOLOR* with `FromHandle` and hands the message on (reflection).
class NativeControl {
 public:
  NativeControl() = default;
  NativeControl(const NativeControl&) = delete;
  NativeControl& operator=(const NativeControl&) = delete;
  virtual ~NativeControl() = default;

  HWND hwnd() const { return handle_.get(); }

  // The wrapper of a control created by this backend, or nullptr.
  static NativeControl* FromHandle(HWND control);

  // Reflected from the parent: the notification code of WM_COMMAND, and WM_NOTIFY. True
  // when the control acted on it (`result` is then the parent's answer).
  virtual void OnCommand(WORD /*code*/) {}
  virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  // Enter (or Escape) pressed while the keyboard focus is in a window of the control's own
  // (an in-place editor): true when the control took the key, so the dialog does not.
  virtual bool OnDialogKey(bool /*enter*/) { return false; }

 protected:
  // Creates the native window as a child of `parent` and subclasses it.
  bool CreateNative(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, int id,
                    const std::wstring& text = {});

  // Messages to the control itself, before its own procedure. True when handled, with
  // `result` as the answer; false passes the message on to the native procedure.
  virtual bool OnControlMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
    return false;
  }
  // The native procedure's answer, for a handler that adds to it.
  LRESULT CallNative(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  WindowHandle handle_;
  WNDPROC nativeProcedure_ = nullptr;  // the control class's own procedure
};

// Keeps the first exception a window or subclass procedure caught and ends the loop.
void TrapFailure() noexcept;

// Runs the thread's message loop while `keepRunning` holds (and until WM_QUIT). Keys go through IsDialogMessage of the
// message's top-level window first, which gives Tab and the arrow keys their dialog meaning
// (Escape and Enter then arrive as the commands IDCANCEL and IDOK, which the windows ignore).
// While no message waits, steps `idleWork` when it has work.
// Raises the trapped failure, if any, once the loop has ended.
int RunMessageLoop(const std::function<bool()>& keepRunning, IdleWork& idleWork);

}  // namespace tw::ui::win32
