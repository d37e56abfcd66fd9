// A second floor of the window benchmark: the empty window of tw_floor_window with the
// main window's native controls in it, of the same classes and numbers (edits with their
// arrows, labels, buttons, groups, drop-down lists, a check box), the same manifest (common
// controls 6, per-monitor dpi awareness) and font, and nothing else: no settings, no cards,
// no handlers. What any program pays under wine for a window of this many controls, so
// that what Tunewright takes beyond it is its own work.

#include <windows.h>
#include <commctrl.h>

namespace {

LRESULT CALLBACK FloorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int x, int y, int w,
           int h, HFONT font) {
  HWND child = ::CreateWindowExW(exStyle, className, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
  ::InitCommonControlsEx(&classes);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = FloorProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"TwFloorControls";
  if (!::RegisterClassExW(&windowClass)) return 1;
  HWND window = ::CreateWindowExW(0, L"TwFloorControls", L"Floor", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 604, 456, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  HFONT font = ::CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
  // The main window's counts: 6 groups, 35 labels, 51 spin edits, 10 buttons, 3 drop-down
  // lists, 1 check box.
  for (int i = 0; i < 35; ++i) Child(window, WC_STATICW, L"P0", SS_LEFT, 0, 10 + 80 * (i % 7), 60 + 28 * (i / 7), 15, 13, font);
  for (int i = 0; i < 51; ++i) {
    HWND edit = Child(window, WC_EDITW, L"1000", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                      30 + 80 * (i % 7), 55 + 28 * (i / 7), 65, 23, font);
    HWND arrows = Child(window, UPDOWN_CLASSW, L"", UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0, 0, font);
    ::SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  }
  for (int i = 0; i < 10; ++i) Child(window, WC_BUTTONW, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 0, 8 + 58 * i, 380, 54, 25, font);
  for (int i = 0; i < 3; ++i)
    Child(window, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 8 + 190 * i, 10, 180, 200, font);
  Child(window, WC_BUTTONW, L"OFF", BS_CHECKBOX | WS_TABSTOP, 0, 460, 300, 50, 17, font);
  // Groups last, below the fields, as the main window stacks them.
  for (int i = 0; i < 6; ++i) Child(window, WC_BUTTONW, L"Group", BS_GROUPBOX, 0, 8 + 97 * i, 40, 90, 260, font);
  ::ShowWindow(window, SW_SHOW);
  ::UpdateWindow(window);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (::IsDialogMessageW(window, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  ::DeleteObject(font);
  return 0;
}
