// A program that never ends by itself, for the harness's own tests: "box" shows a message
// box and waits for its answer; "crash" dies at a null pointer (the debugger's box then
// waits); "window" shows a plain window and waits for nothing.

#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"box") return ::MessageBoxW(nullptr, L"Nobody answers this box", L"Stuck probe", MB_OK | MB_ICONERROR);
  if (mode == L"crash") return *static_cast<volatile int*>(nullptr);
  if (mode != L"window") return 2;
  const HWND window = ::CreateWindowExW(0, L"STATIC", L"Stuck probe window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                        200, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!window) return 3;
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  return 0;
}
