#include "ui/win32/dpi.h"

#include <cmath>

#include "platform/win32/library_loader_win32.h"
#include "ui/win32/ui_handles.h"

namespace tw::ui::win32 {
namespace {

template <typename Function>
Function Lookup(const wchar_t* module, const char* name) {
  HMODULE library = ::GetModuleHandleW(module);
  if (!library) library = tw::win32::LoadSystemFolderOnly(module);  // shcore stays loaded: it is looked up once
  if (!library) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

int ScreenDpi() {
  const WindowDc screen(nullptr);
  return screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : kDesignDpi;
}

}  // namespace

DpiScale DpiScale::OfFactor(double factor) { return DpiScale(static_cast<int>(std::lround(factor * kDesignDpi))); }

int DpiOfWindow(HWND window) {
  static const auto forWindow = Lookup<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
  if (forWindow && window) {
    if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
  }
  return window ? DpiOfMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)) : ScreenDpi();
}

int DpiOfMonitor(HMONITOR monitor) {
  static const auto forMonitor = Lookup<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
  if (forMonitor && monitor) {
    UINT x = 0, y = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &x, &y)) && y) return static_cast<int>(y);
  }
  return ScreenDpi();
}

}  // namespace tw::ui::win32
