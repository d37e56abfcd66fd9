// Opens the display devices as the program does, with the library search left as Windows
// has it by default or restricted as the release exe restricts it ("restricted"); or, to
// show that a planted library would be taken at all, loads setupapi.dll by its bare name as
// a careless program would ("plain").
// Exit status: 0 when the devices (or the library) could be opened, 1 otherwise.

#include <windows.h>

#include <cwchar>

#include "platform/win32/display_devices_win32.h"
#include "platform/win32/library_loader_win32.h"

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"plain") return ::LoadLibraryW(L"setupapi.dll") ? 0 : 1;
  if (mode == L"restricted") tw::win32::RestrictLibrarySearchToSystemFolder();
  tw::win32::DisplayDevicesWin32 devices;
  uint32_t error = 0;
  return devices.OpenPresent(error) ? 0 : 1;
}
