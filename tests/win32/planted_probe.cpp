// Opens the display devices through the delay-loaded setupapi.dll, with the library search
// restricted as the release exe restricts it ("restricted") or as Windows has it by default.

#include <cwchar>

#include "platform/win32/display_devices_win32.h"
#include "platform/win32/library_loader_win32.h"

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wcscmp(argv[1], L"restricted") == 0) tw::win32::RestrictLibrarySearchToSystemFolder();
  tw::win32::DisplayDevicesWin32 devices;
  uint32_t error = 0;
  return devices.OpenPresent(error) ? 0 : 1;
}
