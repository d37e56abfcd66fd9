// Runs beside Tunewright.exe under wine and records every message box the exe shows, one
// line per box in the host program's form:  BOX <kind> "<caption>" <text>
// (kinds error, information, warning, question, plain; line breaks as \r and \n), then
// answers it with the next answer given on the command line (OK, Yes or No; OK when the
// answers have run out, No for a Yes/No box). It ends when the stop file appears.
//
//   box_watcher.exe RECORD_FILE STOP_FILE [ANSWER...]
//   box_watcher.exe RECORD_FILE STOP_FILE --sentinel
//       records every dialog box of any process (the loader's and the debugger's included)
//       as  BOX "<caption>" <text> (shown by <program>)  and answers none: the harness ends
//       the run at the first line, so that an unexpected box fails at once, not at a timeout
//   box_watcher.exe --windows
//       prints every visible top-level window (class, caption, program), for a report on a
//       run that did not end in time
//
// The icon is told by its picture: the box's icon control is captured from the screen and
// compared with the system's four icons drawn here (a handle from another process cannot
// be asked), so the watcher needs a display (the suite gives it an Xvfb).

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kTextIds[] = {100, 0xFFFF};  // wine's template, Windows' template
constexpr int kIconIds[] = {1088, 0x14};

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length), '\0');
  const int written = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                                            length, nullptr, nullptr);
  text.resize(static_cast<size_t>(written > 0 ? written : 0));
  return text;
}

std::string WindowText(HWND window) {
  if (!window) return {};
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return Narrow(text);
}

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

HWND FirstChild(HWND box, const int* ids, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (HWND child = ::GetDlgItem(box, ids[i])) return child;
  return nullptr;
}

// The 32x32 picture of the icon control, from the screen.
std::vector<COLORREF> Capture(HWND control, int size) {
  std::vector<COLORREF> pixels;
  RECT rect{};
  if (!::GetWindowRect(control, &rect)) return pixels;  // the box has gone
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, size, size, screen, rect.left, rect.top, SRCCOPY);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) pixels.push_back(::GetPixel(memory, x, y));
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

std::vector<COLORREF> Render(LPCWSTR icon, COLORREF background, int size) {
  std::vector<COLORREF> pixels;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  HBRUSH brush = ::CreateSolidBrush(background);
  RECT all{0, 0, size, size};
  ::FillRect(memory, &all, brush);
  ::DeleteObject(brush);
  ::DrawIconEx(memory, 0, 0, ::LoadIconW(nullptr, icon), size, size, 0, nullptr, DI_NORMAL);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) pixels.push_back(::GetPixel(memory, x, y));
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

long long Distance(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  long long sum = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    sum += std::abs(GetRValue(a[i]) - GetRValue(b[i])) + std::abs(GetGValue(a[i]) - GetGValue(b[i])) +
           std::abs(GetBValue(a[i]) - GetBValue(b[i]));
  }
  return sum;
}

bool Uniform(const std::vector<COLORREF>& pixels) {
  for (COLORREF pixel : pixels)
    if (pixel != pixels.front()) return false;
  return true;
}

// The icon as painted: on a loaded machine the box can be visible well before its icon
// reaches the screen, and a picture of the bare background matches any icon somewhat.
// Two equal captures in a row that are not one colour are the painted icon.
std::vector<COLORREF> PaintedIcon(HWND icon, int size) {
  std::vector<COLORREF> previous = Capture(icon, size);
  if (previous.empty()) return previous;
  const DWORD deadline = ::GetTickCount() + 15 * 1000;
  while (::GetTickCount() < deadline) {
    ::Sleep(100);
    std::vector<COLORREF> current = Capture(icon, size);
    if (current.empty()) return current;
    if (current == previous && !Uniform(current)) return current;
    previous = std::move(current);
  }
  return previous;
}

std::string IconKind(HWND box) {
  HWND icon = FirstChild(box, kIconIds, 2);
  if (!icon || !::IsWindowVisible(icon)) return "plain";
  const int size = ::GetSystemMetrics(SM_CXICON);
  const std::vector<COLORREF> seen = PaintedIcon(icon, size);
  if (seen.empty()) return "plain";  // gone before its icon could be seen
  struct Candidate {
    LPCWSTR id;
    const char* kind;
  } candidates[] = {{IDI_HAND, "error"}, {IDI_ASTERISK, "information"}, {IDI_EXCLAMATION, "warning"},
                    {IDI_QUESTION, "question"}};
  const char* best = "plain";
  long long bestDistance = -1;
  for (const Candidate& candidate : candidates) {
    const long long distance = Distance(seen, Render(candidate.id, seen.front(), size));
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = candidate.kind;
    }
  }
  return best;
}

void Answer(HWND box, const std::string& answer) {
  const int id = answer == "Yes" ? IDYES : answer == "No" ? IDNO : IDOK;
  HWND button = ::GetDlgItem(box, id);
  if (!button && id == IDOK) button = ::GetDlgItem(box, IDNO);  // a Yes/No box answered "OK": No
  if (button) {
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
  } else {
    ::PostMessageW(box, WM_CLOSE, 0, 0);
  }
}

struct Watch {
  std::set<HWND> seen;
  std::vector<HWND> fresh;
};

BOOL CALLBACK Collect(HWND window, LPARAM param) {
  auto* watch = reinterpret_cast<Watch*>(param);
  wchar_t className[16] = {};
  ::GetClassNameW(window, className, 16);
  if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window) && !watch->seen.count(window))
    watch->fresh.push_back(window);
  return TRUE;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The file name of the program that made the window, or "?" when it cannot be asked.
std::string ProgramOf(HWND window) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (processId == 0) return "?";
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return "?";
  wchar_t path[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  const BOOL named = ::QueryFullProcessImageNameW(process, 0, path, &length);
  ::CloseHandle(process);
  if (!named) return "?";
  const std::wstring full(path, length);
  const size_t slash = full.find_last_of(L"\\/");
  return Narrow(slash == std::wstring::npos ? full : full.substr(slash + 1));
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  const int length = ::GetClassNameW(window, name, 64);
  return Narrow(std::wstring(name, static_cast<size_t>(length > 0 ? length : 0)));
}

BOOL CALLBACK PrintVisible(HWND window, LPARAM) {
  if (!::IsWindowVisible(window)) return TRUE;
  std::printf("WINDOW %s \"%s\" (%s)\n", ClassOf(window).c_str(), Escape(WindowText(window)).c_str(),
              ProgramOf(window).c_str());
  return TRUE;
}

void Append(const std::wstring& record, const std::string& line) {
  if (FILE* file = _wfopen(record.c_str(), L"ab")) {
    std::fputs(line.c_str(), file);
    std::fclose(file);
  }
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

// A box's line without its icon: the icon is read off the screen, which can take seconds,
// and a sentinel must report at once.
std::string SentinelLine(HWND box) {
  std::string text = WindowText(FirstChild(box, kTextIds, 2));
  // Dialogs other than message boxes (a debugger's crash report) carry their text elsewhere.
  if (text.empty()) {
    std::vector<HWND> children;
    ::EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children)
      if (ClassOf(child) == "Static" && !WindowText(child).empty()) text += (text.empty() ? "" : " ") + WindowText(child);
  }
  return "BOX \"" + Escape(WindowText(box)) + "\" " + Escape(text) + " (shown by " + ProgramOf(box) + ")\n";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--windows") {
    ::EnumWindows(PrintVisible, 0);
    return 0;
  }
  if (argc < 3) {
    std::fputs("usage: box_watcher RECORD_FILE STOP_FILE [OK|Yes|No ...|--sentinel] | --windows\n", stderr);
    return 2;
  }
  const std::wstring record = argv[1];
  const std::wstring stop = argv[2];
  std::vector<std::string> answers;
  for (int i = 3; i < argc; ++i) answers.push_back(Narrow(argv[i]));
  const bool sentinel = answers.size() == 1 && answers[0] == "--sentinel";
  size_t next = 0;
  Watch watch;
  // The watcher is ready once the record file exists.
  if (FILE* file = _wfopen(record.c_str(), L"ab")) std::fclose(file);
  const DWORD deadline = ::GetTickCount() + 10 * 60 * 1000;
  while (!Exists(stop) && ::GetTickCount() < deadline) {
    watch.fresh.clear();
    ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&watch));
    for (HWND box : watch.fresh) {
      watch.seen.insert(box);
      if (sentinel) {
        Append(record, SentinelLine(box));
        continue;
      }
      HWND text = FirstChild(box, kTextIds, 2);
      const std::string line = "BOX " + IconKind(box) + " \"" + Escape(WindowText(box)) + "\" " + Escape(WindowText(text)) + "\n";
      Append(record, line);
      Answer(box, next < answers.size() ? answers[next] : "OK");
      ++next;
    }
    ::Sleep(50);
  }
  return 0;
}
