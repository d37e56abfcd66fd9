// A stand-in for a library someone planted beside a program: when any process loads it,
// it leaves "planted.marker" (holding its own path) in its folder. Copied under the name
// of a library the program looks for, it shows whether the program took it. Under the name
// setupapi.dll it answers the first call a program makes there with a failure, not a crash.

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  DWORD folderEnd = length;
  while (folderEnd > 0 && path[folderEnd - 1] != L'\\') --folderEnd;
  wchar_t marker[MAX_PATH + 16];
  ::lstrcpynW(marker, path, static_cast<int>(folderEnd) + 1);
  ::lstrcatW(marker, L"planted.marker");
  const HANDLE file = ::CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  DWORD written = 0;
  ::WriteFile(file, path, length * sizeof(wchar_t), &written, nullptr);
  ::CloseHandle(file);
  return TRUE;
}

extern "C" __declspec(dllexport) HANDLE WINAPI SetupDiGetClassDevsW(const GUID*, PCWSTR, HWND, DWORD) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}
