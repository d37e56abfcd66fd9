// Time from process start to the window's first paint, measured inside Windows (under wine
// in bench/window.sh): starts a program, waits until its window of the given class is
// visible and the program has painted it and gone idle, closes the window, and prints the
// milliseconds. The runs of the two programs alternate, so that a busy moment of the
// machine hits both.
//
//   tw_first_paint.exe RUNS CLASS_A PROGRAM_A CLASS_B PROGRAM_B
//
// prints "PAINT <program> <ms until visible> <ms until painted>" per run.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Search {
  DWORD process;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (process == search->process && ::IsWindowVisible(window) && std::wstring(name) == search->className) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The performance counter in milliseconds; -1 (as for a window that never came) when it
// cannot be read.
double CounterMilliseconds() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER now{};
  if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart == 0 || !::QueryPerformanceCounter(&now))
    return -1;
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Since(double start) {
  const double now = CounterMilliseconds();
  return start < 0 || now < 0 ? -1 : now - start;
}

struct Times {
  double visible = -1;  // the window is shown
  double painted = -1;  // and the program has painted it and waits for input
};

// -1 when the window did not come within a minute.
Times TimeToFirstPaint(const wchar_t* className, const wchar_t* program) {
  std::wstring commandLine = std::wstring(L"\"") + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  const double start = CounterMilliseconds();
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return {};
  Search search{started.dwProcessId, className, nullptr};
  Times times;
  const DWORD deadline = ::GetTickCount() + 60000;
  while (::GetTickCount() < deadline) {
    // Idle comes once the queue is empty, which is after the pending paints have run.
    const DWORD idle = ::WaitForInputIdle(started.hProcess, 10);
    search.found = nullptr;
    ::EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found && times.visible < 0) {
      times.visible = Since(start);
    }
    if (search.found && idle == 0) {
      DWORD_PTR ignored = 0;
      ::SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
      times.painted = Since(start);
      break;
    }
    ::Sleep(1);
  }
  if (search.found) ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(started.hProcess, 30000) != WAIT_OBJECT_0) ::TerminateProcess(started.hProcess, 1);
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  return times;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::fputs("usage: tw_first_paint RUNS CLASS_A PROGRAM_A CLASS_B PROGRAM_B\n", stderr);
    return 2;
  }
  const int runs = ::_wtoi(argv[1]);
  for (int run = 0; run < runs; ++run) {
    for (int which = 0; which < 2; ++which) {
      const wchar_t* className = argv[2 + 2 * which];
      const wchar_t* program = argv[3 + 2 * which];
      const Times times = TimeToFirstPaint(className, program);
      std::wprintf(L"PAINT %ls %.1f %.1f\n", program, times.visible, times.painted);
      std::fflush(stdout);
    }
  }
  return 0;
}
