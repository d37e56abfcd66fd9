// Drives Tunewright's main window under wine the way a user would, and prints what a user
// would see, one line per fact, for the end-to-end tests to check.
//
//   gui_driver.exe COMMAND...
//
// Controls are named by their program name (the window property "Tunewright.Name" that the
// backend sets on each control) or, failing that, by their text. Commands, in order:
//   wait                 wait for the visible TForm1; prints WINDOW "caption" x y w h
//   until:NAME=TEXT      waits up to 30 s until the control shows TEXT (work done while idle)
//   dump                 prints DUMP, then CONTROL name class "text" visible enabled checked x y w h
//                        for every child (client coordinates of TForm1), then CLIENT w h
//   click:NAME           a left click at the control's centre
//   dblclick:NAME:DX:DY  a double click at DX, DY inside the control
//   move:NAME:DX:DY      moves the pointer to DX, DY inside the control
//   rclick:NAME[:DX:DY]  a right click at the control's centre, or at DX, DY inside it (a
//                        context menu opens; its entries are reached with key:DOWN, key:RETURN)
//   focus:NAME           clicks into a field and selects its text
//   type:TEXT            types the text into the focused control
//   key:NAME             TAB, SPACE, ESCAPE, RETURN, UP, DOWN
//   items:NAME           prints ITEM NAME "text" per entry of a drop-down list
//   ctrl:down|up         holds or releases Ctrl
//   pixel:NAME:DX:DY     prints PIXEL NAME DX DY RRGGBB as painted on the screen
//   shot:FILE            saves the window as painted, with its frame, as a 24-bit BMP
//   sysmenu              opens the window's system menu as Alt+Space does (wine answers no
//                        other process's menu handles, so the entries are reached with keys)
//   menushot:FILE        saves the open menu as a BMP
//   box[:yes|:no]        waits for a message box; prints BOX "caption" "text"; answers OK (or Yes, No)
//   window:CLASS         waits for a visible window of that class (TForm3, ...) and drives it from
//                        then on; prints WINDOW as wait does
//   file:PATH            waits for a file dialog, enters the path and presses its OK button
//   setbinary:KEY:NAME:HEX  writes a REG_BINARY value under HKEY_LOCAL_MACHINE\KEY (wine rebuilds the
//                        display class keys when its desktop starts: a value goes there afterwards)
//   getbinary:KEY:NAME   prints BINARY NAME hex (lower case; "-" when missing)
//   regedit[:FILE]       waits for the registry editor's window, prints REGEDIT "caption" and
//                        LASTKEY "its LastKey value", saves a shot, closes it, waits until it is gone
//                        and prints SHOWNKEY "LastKey", where the editor keeps the key it showed
//   close                closes the window as its close box does, and waits until it is gone
//   wmclose              posts WM_CLOSE as another program does (taskkill without /F), and waits
//                        until the window is gone
//   clickat:NAME:DX:DY   a left click at DX, DY inside the control
//   cells:NAME           prints ROW NAME "key" "value" per row of a two-column list view
//   sleep:MS
//   dialog:CAPTION       waits for another top-level window of that caption (a dialog, an
//                        input or question box) and makes it the target of the commands that
//                        follow; prints DIALOG class "caption" x y w h
//   main                 waits until that window has gone and makes TForm1 the target again
//   rows:NAME            prints ROW NAME "text" selected per row of a list view
//   clickrow:NAME:ROW    a click on a list view's row
//   dragrow:NAME:FROM:TO drags a list view's row onto another (TO -1: below the last row) with
//                        the left button held, the pointer moving there in small steps
//   shot:FILE:NAME       saves only the control's part of the window
//   copy:FROM:TO         copies a file, e.g. the ini as it stands after a step
//   tip                  waits up to 5 s for the window's tip to show; prints TIP "text", or TIP -
// Every command that gives input waits until the window has handled it. A command that
// cannot be carried out prints FAIL and a reason and ends the run with status 1.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

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

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  const int written = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  wide.resize(static_cast<size_t>(written > 0 ? written : 0));
  return wide;
}

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '"') out += "\\\"";
    else out += c;
  }
  return out;
}

void Print(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

[[noreturn]] void Fail(const std::string& why) {
  Print("FAIL " + why);
  std::exit(1);
}

// A window that is gone has no rectangle: a failed call's zeros would be clicked or printed.
RECT WindowRect(HWND window) {
  RECT rect{};
  if (!::GetWindowRect(window, &rect)) Fail("no window rectangle (error " + std::to_string(::GetLastError()) + ")");
  return rect;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

std::string WindowText(HWND window) {
  // WM_GETTEXT rather than GetWindowText: the latter does not read other processes' controls.
  const LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return Narrow(text);
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return Narrow(name);
}

std::string ProgramName(HWND window) {
  const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(::GetPropW(window, L"Tunewright.Name")));
  if (!atom) return {};
  wchar_t name[128] = {};
  ::GlobalGetAtomNameW(atom, name, 128);
  return Narrow(name);
}

HWND FindForm(int seconds, const wchar_t* className = L"TForm1") {
  const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  do {
    HWND form = ::FindWindowW(className, nullptr);
    if (form && ::IsWindowVisible(form)) return form;
    ::Sleep(100);
  } while (::GetTickCount() < deadline);
  return nullptr;
}

void Settle(HWND form);

// Waits for the window, prints WINDOW "caption" x y w h, and drives it from then on.
HWND TakeForm(int seconds, const wchar_t* className) {
  HWND form = FindForm(seconds, className);
  if (!form) Fail("no visible " + Narrow(className));
  Settle(form);
  const RECT rect = WindowRect(form);
  Print("WINDOW \"" + Escape(WindowText(form)) + "\" " + std::to_string(rect.left) + " " + std::to_string(rect.top) +
        " " + std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top));
  return form;
}

// Waits until the window's thread has taken everything queued before this call.
void Settle(HWND form) {
  for (int i = 0; i < 3; ++i) {
    ::Sleep(150);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
  }
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> Children(HWND form) {
  std::vector<HWND> children;
  ::EnumChildWindows(form, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND FindControl(HWND form, const std::string& name) {
  for (HWND child : Children(form))
    if (ProgramName(child) == name) return child;
  for (HWND child : Children(form))
    if (WindowText(child) == name && ::IsWindowVisible(child)) return child;
  Fail("no control " + name);
}

RECT ClientRectOf(HWND form, HWND child) {
  RECT rect = WindowRect(child);
  // 0 is also the answer of a form at the screen's corner: only the last error tells a failure.
  ::SetLastError(ERROR_SUCCESS);
  if (!::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2) && ::GetLastError() != ERROR_SUCCESS)
    Fail("cannot map a control's rectangle");
  return rect;
}

void Dump(HWND form) {
  Print("DUMP");
  for (HWND child : Children(form)) {
    if (::GetParent(child) != form) continue;  // the parts of a combo box
    const RECT r = ClientRectOf(form, child);
    const std::string name = ProgramName(child);
    const LRESULT check = ::SendMessageW(child, BM_GETCHECK, 0, 0);
    Print("CONTROL " + (name.empty() ? std::string("-") : name) + " " + ClassOf(child) + " \"" +
          Escape(WindowText(child)) + "\" visible=" + (::IsWindowVisible(child) ? "1" : "0") +
          " enabled=" + (::IsWindowEnabled(child) ? "1" : "0") +
          " checked=" + (ClassOf(child) == "Button" && check == BST_CHECKED ? "1" : "0") + " " +
          std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
          std::to_string(r.bottom - r.top));
  }
  RECT client{};
  ::GetClientRect(form, &client);
  Print("CLIENT " + std::to_string(client.right) + " " + std::to_string(client.bottom));
}

void SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ::SendInput(1, &input, sizeof input);
}

void Press(WORD key) {
  SendKey(key, false);
  SendKey(key, true);
}

void TypeText(const std::string& text) {
  for (wchar_t c : Wide(text)) {
    INPUT input[2] = {};
    for (int i = 0; i < 2; ++i) {
      input[i].type = INPUT_KEYBOARD;
      input[i].ki.wScan = c;
      input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
    }
    ::SendInput(2, input, sizeof input[0]);
  }
}

// Moves the pointer there first if it is elsewhere. Under wine, a pointer that crosses into
// a window makes the X driver take the modifier keys from the X server again, which knows
// nothing of a Ctrl held through SendInput: a Ctrl+click moves first (`move`), then holds
// Ctrl, then clicks.
void MoveTo(HWND form, POINT screen) {
  POINT now{};
  const bool known = ::GetCursorPos(&now) != FALSE;
  if (::GetForegroundWindow() != form) ::SetForegroundWindow(form);
  if (known && now.x == screen.x && now.y == screen.y) return;
  ::SetCursorPos(screen.x, screen.y);
  Settle(form);
}

void ClickAt(HWND form, POINT screen, int clicks, bool right = false) {
  MoveTo(form, screen);
  for (int i = 0; i < clicks; ++i) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof input[0]);
  }
  Settle(form);
}

POINT ScreenPoint(HWND control, int dx, int dy, bool centre) {
  const RECT rect = WindowRect(control);
  if (centre) return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  return {rect.left + dx, rect.top + dy};
}

COLORREF ScreenPixel(POINT at) {
  HDC screen = ::GetDC(nullptr);
  const COLORREF colour = ::GetPixel(screen, at.x, at.y);
  ::ReleaseDC(nullptr, screen);
  return colour;
}

std::string Hex(COLORREF colour) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  return text;
}

void SaveShot(HWND window, const std::string& path) {
  const RECT rect = WindowRect(window);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ::SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as BMP files store it
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
  const int copied = ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                 reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  if (copied == 0) Fail("cannot read the pixels of " + path);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = _wfopen(Wide(path).c_str(), L"wb");
  if (!out) Fail("cannot write " + path);
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(pixels.data(), 1, pixels.size(), out);
  std::fclose(out);
  Print("SHOT " + path);
}

void OpenSystemMenu(HWND form) {
  ::SetForegroundWindow(form);
  ::PostMessageW(form, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
  Settle(form);
}

BOOL CALLBACK FindVisibleMenu(HWND window, LPARAM found) {
  if (::IsWindowVisible(window) && ClassOf(window) == "#32768") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindVisibleBox(HWND window, LPARAM found) {
  if (::IsWindowVisible(window) && ClassOf(window) == "#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindBox(int seconds) {
  const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  do {
    HWND box = nullptr;
    ::EnumWindows(FindVisibleBox, reinterpret_cast<LPARAM>(&box));
    if (box) return box;
    ::Sleep(100);
  } while (::GetTickCount() < deadline);
  return nullptr;
}

void AnswerBox(int answer) {
  HWND box = FindBox(30);
  if (!box) Fail("no message box");
  ::Sleep(300);  // drawn before it is read, as a user would
  HWND text = nullptr;
  for (int id : {0xFFFF, 100})
    if (!text) text = ::GetDlgItem(box, id);
  Print("BOX \"" + Escape(WindowText(box)) + "\" \"" + Escape(text ? WindowText(text) : "") + "\"");
  HWND button = ::GetDlgItem(box, answer);
  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  const DWORD deadline = ::GetTickCount() + 10000;
  while (::IsWindow(box) && ::GetTickCount() < deadline) ::Sleep(50);
}

// The file name field of the common file dialogs: edt1, or the combo box cmb13.
HWND FileNameField(HWND dialog) {
  for (int id : {0x480, 0x47C})
    if (HWND field = ::GetDlgItem(dialog, id)) return field;
  return nullptr;
}

void AnswerFileDialog(const std::string& path) {
  const DWORD deadline = ::GetTickCount() + 30000;
  HWND dialog = nullptr;
  while (!dialog && ::GetTickCount() < deadline) {
    HWND box = FindBox(1);
    if (box && FileNameField(box)) dialog = box;
  }
  if (!dialog) Fail("no file dialog");
  ::Sleep(300);
  ::SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(path).c_str()));
  HWND ok = ::GetDlgItem(dialog, IDOK);
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  const DWORD gone = ::GetTickCount() + 10000;
  while (::IsWindow(dialog) && ::GetTickCount() < gone) ::Sleep(50);
  if (::IsWindow(dialog)) Fail("the file dialog stayed open");
  Print("FILE " + path);
}

void SaveShot(HWND window, const std::string& path);

void SetBinary(const std::string& key, const std::string& name, const std::string& hex) {
  std::vector<BYTE> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<BYTE>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  if (::RegSetKeyValueW(HKEY_LOCAL_MACHINE, Wide(key).c_str(), Wide(name).c_str(), REG_BINARY, bytes.data(),
                        static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS)
    Fail("cannot write " + name);
}

void PrintBinary(const std::string& key, const std::string& name) {
  std::vector<BYTE> bytes(65536);
  DWORD size = static_cast<DWORD>(bytes.size());
  std::string hex;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, Wide(key).c_str(), Wide(name).c_str(), RRF_RT_REG_BINARY, nullptr,
                     bytes.data(), &size) != ERROR_SUCCESS)
    hex = "-";
  for (DWORD i = 0; hex != "-" && i < size; ++i) {
    char byte[3];
    std::snprintf(byte, sizeof byte, "%02x", bytes[i]);
    hex += byte;
  }
  Print("BINARY " + name + " " + hex);
}

// The registry editor's "LastKey" setting, or "-".
std::string RegeditLastKey() {
  wchar_t value[1024] = {};
  DWORD size = sizeof value;
  const wchar_t* settings = L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";
  const LSTATUS read = ::RegGetValueW(HKEY_CURRENT_USER, settings, L"LastKey", RRF_RT_REG_SZ, nullptr, value, &size);
  return read == ERROR_SUCCESS ? Escape(Narrow(value)) : "-";
}

void CheckRegistryEditor(const std::string& shot) {
  HWND editor = FindForm(30, L"RegEdit_RegEdit");
  if (!editor) Fail("no registry editor window");
  Settle(editor);
  Print("REGEDIT \"" + Escape(WindowText(editor)) + "\"");
  Print("LASTKEY \"" + RegeditLastKey() + "\"");
  if (!shot.empty()) SaveShot(editor, shot);
  ::PostMessageW(editor, WM_CLOSE, 0, 0);
  const DWORD deadline = ::GetTickCount() + 10000;
  while (::IsWindow(editor) && ::GetTickCount() < deadline) ::Sleep(50);
  if (::IsWindow(editor)) Fail("the registry editor did not close");
  // The editor keeps the key it showed last in the same value.
  Print("SHOWNKEY \"" + RegeditLastKey() + "\"");
}

void PrintItems(HWND list, const std::string& name) {
  const LRESULT count = ::SendMessageW(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT got = ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    Print("ITEM " + name + " \"" + Escape(Narrow(text)) + "\"");
  }
}

// Reads a two-column list view of another process through memory allocated in that process.
void PrintCells(HWND list, const std::string& name) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(list, &process);
  HANDLE owner = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
  if (!owner) Fail("cannot open the window's process");
  constexpr SIZE_T kChars = 1024;
  auto* remote = static_cast<char*>(
      ::VirtualAllocEx(owner, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) Fail("cannot reach into the window's process");
  const LRESULT count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    std::string line = "ROW " + name;
    for (int column = 0; column < 2; ++column) {
      LVITEMW item{};
      item.iSubItem = column;
      item.cchTextMax = kChars;
      item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
      if (!::WriteProcessMemory(owner, remote, &item, sizeof item, nullptr)) Fail("cannot write into the window's process");
      const LRESULT got = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
      std::wstring text(static_cast<size_t>(got > 0 ? got : 0), L'\0');
      if (!::ReadProcessMemory(owner, remote + sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t), nullptr))
        Fail("cannot read from the window's process");
      line += " \"" + Escape(Narrow(text)) + "\"";
    }
    Print(line);
  }
  ::VirtualFreeEx(owner, remote, 0, MEM_RELEASE);
  ::CloseHandle(owner);
}

struct DialogSearch {
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK FindCaptioned(HWND window, LPARAM search) {
  auto* s = reinterpret_cast<DialogSearch*>(search);
  if (::IsWindowVisible(window) && ClassOf(window) != "TForm1" && Wide(WindowText(window)) == s->caption) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindDialog(const std::string& caption, int seconds) {
  const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  do {
    DialogSearch search{Wide(caption)};
    ::EnumWindows(FindCaptioned, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    ::Sleep(100);
  } while (::GetTickCount() < deadline);
  return nullptr;
}

// A list view answers with pointers into its own process: requests and answers go through
// a buffer there.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (process_) address_ = static_cast<char*>(::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!address_) Fail("cannot reach into the list's process");
  }
  ~RemoteBuffer() {
    ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    ::CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  char* at(size_t offset) const { return address_ + offset; }
  void Write(size_t offset, const void* data, size_t size) {
    if (!::WriteProcessMemory(process_, at(offset), data, size, nullptr)) Fail("cannot write into the list's process");
  }
  void Read(size_t offset, void* data, size_t size) {
    if (!::ReadProcessMemory(process_, at(offset), data, size, nullptr)) Fail("cannot read from the list's process");
  }

 private:
  HANDLE process_ = nullptr;
  char* address_ = nullptr;
};

void PrintRows(HWND list, const std::string& name) {
  constexpr int kChars = 512;
  RemoteBuffer remote(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
  const LRESULT count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LVITEMW item{};
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<LPWSTR>(remote.at(sizeof(LVITEMW)));
    remote.Write(0, &item, sizeof item);
    const LRESULT length =
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.at(0)));
    std::wstring text(static_cast<size_t>(kChars), L'\0');
    remote.Read(sizeof(LVITEMW), text.data(), kChars * sizeof(wchar_t));
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min<LRESULT>(length, kChars))));
    const bool selected = ::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED) & LVIS_SELECTED;
    Print("ROW " + name + " \"" + Escape(Narrow(text)) + "\" " + (selected ? "1" : "0"));
  }
}

// A point on a list view's row, in the list's window coordinates; row -1: below the last row.
POINT RowPoint(HWND list, int row) {
  const LRESULT count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  if (row >= count || count == 0) Fail("no row " + std::to_string(row));
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  RemoteBuffer remote(list, sizeof rect);
  remote.Write(0, &rect, sizeof rect);
  const WPARAM index = static_cast<WPARAM>(row < 0 ? count - 1 : row);
  if (!::SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote.at(0)))) Fail("no row rectangle");
  remote.Read(0, &rect, sizeof rect);
  const int height = rect.bottom - rect.top;
  POINT at{rect.left + 12, row < 0 ? rect.bottom + height : (rect.top + rect.bottom) / 2};
  // Client to window coordinates: the list's border.
  POINT origin{0, 0};
  if (!::ClientToScreen(list, &origin)) Fail("no client origin");
  const RECT window = WindowRect(list);
  return {at.x + origin.x - window.left, at.y + origin.y - window.top};
}

// The pointer as a hand moves it: absolute moves that the window sees as WM_MOUSEMOVE
// with the button held, in steps small enough for the drag threshold to be crossed on the way.
void MoveMouse(POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((screen.x * 65536 + 65535) / ::GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = static_cast<LONG>((screen.y * 65536 + 65535) / ::GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &input, sizeof input);
}

void MouseButton(DWORD flag) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  ::SendInput(1, &input, sizeof input);
}

void Drag(HWND form, POINT from, POINT to) {
  MoveTo(form, from);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  ::Sleep(100);
  constexpr int kSteps = 10;
  for (int step = 1; step <= kSteps; ++step) {
    MoveMouse({from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps});
    ::Sleep(30);
  }
  ::Sleep(100);
  MouseButton(MOUSEEVENTF_LEFTUP);
  Settle(form);
}

void Close(HWND form, bool fromOutside) {
  if (fromOutside) ::PostMessageW(form, WM_CLOSE, 0, 0);
  else ::PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
  const DWORD deadline = ::GetTickCount() + 30000;
  while (::IsWindow(form) && ::GetTickCount() < deadline) ::Sleep(50);
  if (::IsWindow(form)) Fail("the window did not close");
  Print("CLOSED");
}

WORD KeyCode(const std::string& name) {
  if (name == "TAB") return VK_TAB;
  if (name == "SPACE") return VK_SPACE;
  if (name == "ESCAPE") return VK_ESCAPE;
  if (name == "RETURN") return VK_RETURN;
  if (name == "UP") return VK_UP;
  if (name == "DOWN") return VK_DOWN;
  Fail("unknown key " + name);
}

// "until:NAME=TEXT": waits up to 30 s for the control's text, for work the window does
// while it is idle.
void WaitForText(HWND form, const std::string& argument) {
  const size_t equals = argument.find('=');
  if (equals == std::string::npos) Fail("until needs NAME=TEXT");
  const HWND control = FindControl(form, argument.substr(0, equals));
  const std::string wanted = argument.substr(equals + 1);
  for (int waited = 0; WindowText(control) != wanted; waited += 100) {
    if (waited >= 30000) Fail("\"" + wanted + "\" never came; the text is \"" + WindowText(control) + "\"");
    ::Sleep(100);
  }
  Settle(form);
}

void PrintTip(HWND form) {
  const DWORD deadline = ::GetTickCount() + 5000;
  do {
    for (HWND tip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip;
         tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) {
      if (::GetWindow(tip, GW_OWNER) != form || !::IsWindowVisible(tip)) continue;
      Print("TIP \"" + Escape(WindowText(tip)) + "\"");
      return;
    }
    ::Sleep(100);
  } while (::GetTickCount() < deadline);
  Print("TIP -");
}

int Number(const std::vector<std::string>& parts, size_t index) {
  return index < parts.size() ? std::atoi(parts[index].c_str()) : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HWND form = nullptr;
  HWND mainForm = nullptr;  // TForm1 while a dialog is the target
  const auto needForm = [&] {
    if (!form) Fail("no window: run wait first");
    return form;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string command = Narrow(argv[i]);
    const std::vector<std::string> parts = Split(command, ':');
    const std::string& verb = parts[0];
    const std::string argument = command.size() > verb.size() ? command.substr(verb.size() + 1) : "";
    if (verb == "wait") {
      form = TakeForm(90, L"TForm1");
    } else if (verb == "until") {
      WaitForText(needForm(), argument);
    } else if (verb == "clickat") {
      ClickAt(needForm(), ScreenPoint(FindControl(form, parts.at(1)), Number(parts, 2), Number(parts, 3), false), 1);
    } else if (verb == "cells") {
      PrintCells(FindControl(needForm(), argument), argument);
    } else if (verb == "dump") {
      Dump(needForm());
    } else if (verb == "tip") {
      PrintTip(needForm());
    } else if (verb == "click") {
      ClickAt(needForm(), ScreenPoint(FindControl(form, argument), 0, 0, true), 1);
    } else if (verb == "dblclick") {
      ClickAt(needForm(), ScreenPoint(FindControl(form, parts.at(1)), Number(parts, 2), Number(parts, 3), false), 2);
    } else if (verb == "rclick") {
      const bool centre = parts.size() < 4;
      ClickAt(needForm(),
              ScreenPoint(FindControl(form, parts.at(1)), centre ? 0 : Number(parts, 2), centre ? 0 : Number(parts, 3), centre),
              1, true);
    } else if (verb == "move") {
      MoveTo(needForm(), ScreenPoint(FindControl(form, parts.at(1)), Number(parts, 2), Number(parts, 3), false));
    } else if (verb == "focus") {
      HWND field = FindControl(needForm(), argument);
      ClickAt(form, ScreenPoint(field, 0, 0, true), 1);
      ::PostMessageW(field, EM_SETSEL, 0, -1);
      Settle(form);
    } else if (verb == "type") {
      TypeText(argument);
      Settle(needForm());
    } else if (verb == "key") {
      Press(KeyCode(argument));
      Settle(needForm());
    } else if (verb == "ctrl") {
      SendKey(VK_CONTROL, argument == "up");
      Settle(needForm());
    } else if (verb == "pixel") {
      HWND control = FindControl(needForm(), parts.at(1));
      Print("PIXEL " + parts.at(1) + " " + parts.at(2) + " " + parts.at(3) + " " +
            Hex(ScreenPixel(ScreenPoint(control, Number(parts, 2), Number(parts, 3), false))));
    } else if (verb == "items") {
      PrintItems(FindControl(needForm(), argument), argument);
    } else if (verb == "shot") {
      if (parts.size() > 2) SaveShot(FindControl(needForm(), parts[2]), parts[1]);
      else SaveShot(needForm(), argument);
    } else if (verb == "sysmenu") {
      OpenSystemMenu(needForm());
    } else if (verb == "menushot") {
      HWND menu = nullptr;
      ::EnumWindows(FindVisibleMenu, reinterpret_cast<LPARAM>(&menu));
      if (!menu) Fail("no open menu");
      SaveShot(menu, argument);
    } else if (verb == "box") {
      AnswerBox(argument == "yes" ? IDYES : argument == "no" ? IDNO : IDOK);
    } else if (verb == "window") {
      form = TakeForm(30, Wide(argument).c_str());
    } else if (verb == "file") {
      AnswerFileDialog(argument);
    } else if (verb == "setbinary") {
      SetBinary(parts.at(1), parts.at(2), parts.at(3));
    } else if (verb == "getbinary") {
      PrintBinary(parts.at(1), parts.at(2));
    } else if (verb == "regedit") {
      CheckRegistryEditor(argument);
    } else if (verb == "close" || verb == "wmclose") {
      Close(needForm(), verb == "wmclose");
    } else if (verb == "dialog") {
      if (!mainForm) mainForm = needForm();
      form = FindDialog(argument, 30);
      if (!form) Fail("no window \"" + argument + "\"");
      Settle(form);
      const RECT rect = WindowRect(form);
      Print("DIALOG " + ClassOf(form) + " \"" + Escape(WindowText(form)) + "\" " + std::to_string(rect.left) + " " +
            std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) + " " +
            std::to_string(rect.bottom - rect.top));
    } else if (verb == "main") {
      const DWORD deadline = ::GetTickCount() + 10000;
      while (form && form != mainForm && ::IsWindow(form) && ::GetTickCount() < deadline) ::Sleep(50);
      if (form && form != mainForm && ::IsWindow(form)) Fail("the dialog is still open");
      if (mainForm) form = mainForm;
      Settle(needForm());
    } else if (verb == "rows") {
      PrintRows(FindControl(needForm(), argument), argument);
    } else if (verb == "clickrow") {
      HWND list = FindControl(needForm(), parts.at(1));
      const POINT at = RowPoint(list, Number(parts, 2));
      ClickAt(form, ScreenPoint(list, at.x, at.y, false), 1);
    } else if (verb == "dragrow") {
      HWND list = FindControl(needForm(), parts.at(1));
      const POINT from = RowPoint(list, Number(parts, 2));
      const POINT to = RowPoint(list, Number(parts, 3));
      Drag(form, ScreenPoint(list, from.x, from.y, false), ScreenPoint(list, to.x, to.y, false));
    } else if (verb == "copy") {
      if (!::CopyFileW(Wide(parts.at(1)).c_str(), Wide(parts.at(2)).c_str(), FALSE)) Fail("cannot copy " + parts[1]);
    } else if (verb == "sleep") {
      ::Sleep(static_cast<DWORD>(Number(parts, 1)));
    } else {
      Fail("unknown command " + command);
    }
  }
  return 0;
}
