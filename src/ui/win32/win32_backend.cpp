#include "ui/win32/win32_backend.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>

#include <stdexcept>
#include <vector>

#include "platform/win32/dialogs_win32.h"
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
  RunMessageLoop([window] { return window->created(); }, idleWork_);
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

std::optional<std::string> Win32Backend::AskFileName(const FileDialogRequest& request) {
  // Filter: pairs of name and pattern, each ending in a null, the list ending in another.
  std::wstring filter;
  if (!request.filterName.empty()) {
    filter = tw::win32::Wide(request.filterName) + L'\0' + tw::win32::Wide(request.filterPattern) + L'\0';
    filter += L'\0';
  }
  const std::wstring extension = tw::win32::Wide(request.defaultExtension);
  std::wstring file(32768, L'\0');  // room for a long path
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = tw::win32::BoxOwner();
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = filter.empty() ? 0 : 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                 (request.save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST);
  const BOOL chosen = request.save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  file.resize(::wcslen(file.c_str()));
  return tw::win32::Narrow(file);
}

bool Win32Backend::CtrlHeld() const { return ::GetKeyState(VK_CONTROL) < 0; }

std::string Win32Backend::DecimalSeparator() const {
  wchar_t separator[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 0) return ".";
  return tw::win32::Narrow(separator);
}

}  // namespace tw::ui::win32
