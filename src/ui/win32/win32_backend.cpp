#include "ui/win32/win32_backend.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <stdexcept>
#include <vector>

#include "platform/win32/wide.h"
#include "ui/win32/dpi.h"
#include "ui/win32/form_window.h"
#include "ui/win32/window_proc.h"

namespace tw::ui::win32 {
namespace {

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list) {
  if (::IsWindowVisible(window) && ::IsWindowEnabled(window))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

}  // namespace

Win32Backend::Win32Backend(Dialogs& dialogs) : dialogs_(dialogs) {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof classes;
  classes.dwICC = ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES;
  ::InitCommonControlsEx(&classes);
  // The window thread is a single-threaded apartment: the accessibility annotations (and
  // the shell's dialogs) need one.
  comStarted_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

Win32Backend::~Win32Backend() {
  if (comStarted_) ::CoUninitialize();
}

std::unique_ptr<FormView> Win32Backend::CreateView(Form& form) {
  auto window = std::make_unique<FormWindow>(form);
  if (!window->created())
    throw std::runtime_error("The window \"" + form.window().className + "\" could not be created (error " +
                             std::to_string(::GetLastError()) + ")");
  return window;
}

void Win32Backend::RunUntilClosed(Form& form) {
  auto* window = dynamic_cast<FormWindow*>(form.view());
  if (!window) return;
  // A window opened while another is open (a dialog) is modal: the others take no input
  // until it has closed.
  std::vector<HWND> disabled;
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
  std::erase(disabled, window->hwnd());
  for (HWND other : disabled) ::EnableWindow(other, FALSE);
  RunMessageLoop([window] { return window->created(); });
  for (HWND other : disabled)
    if (::IsWindow(other)) ::EnableWindow(other, TRUE);
  if (!disabled.empty()) ::SetActiveWindow(disabled.front());
}

int Win32Backend::MonitorDpi() const {
  // The window opens on the primary monitor unless a stored position puts it elsewhere (it
  // then follows WM_DPICHANGED). Asked of the monitor itself: a window made just to ask
  // costs more than the rest of the start under wine.
  return DpiOfMonitor(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

bool Win32Backend::CtrlHeld() const { return ::GetKeyState(VK_CONTROL) < 0; }

std::string Win32Backend::DecimalSeparator() const {
  wchar_t separator[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 0) return ".";
  return tw::win32::Narrow(separator);
}

}  // namespace tw::ui::win32
