#include "platform/win32/dialogs_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/wide.h"

namespace tw::win32 {
namespace {

UINT IconFlag(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Error: return MB_ICONERROR;
    case BoxIcon::Information: return MB_ICONINFORMATION;
    case BoxIcon::Warning: return MB_ICONWARNING;
    case BoxIcon::Question: return MB_ICONQUESTION;
    case BoxIcon::None: break;
  }
  return 0;
}

// The input box is built in memory as a dialog template: a prompt, one edit, OK and Cancel,
// in dialog units of the system font, centred on the screen.
constexpr int kEditId = 100;
constexpr int kPromptId = 101;

class TemplateWriter {
 public:
  void Word(uint16_t value) { data_.push_back(value); }
  void Dword(uint32_t value) {
    Word(static_cast<uint16_t>(value & 0xFFFF));
    Word(static_cast<uint16_t>(value >> 16));
  }
  void Text(const std::wstring& text) {
    for (wchar_t c : text) Word(static_cast<uint16_t>(c));
    Word(0);
  }
  void AlignDword() {
    if (data_.size() % 2 != 0) Word(0);
  }
  void Item(uint32_t style, short x, short y, short cx, short cy, uint16_t id, uint16_t classAtom,
            const std::wstring& text) {
    AlignDword();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    for (short v : {x, y, cx, cy}) Word(static_cast<uint16_t>(v));
    Word(id);
    Word(0xFFFF);
    Word(classAtom);
    Text(text);
    Word(0);  // no creation data
  }
  const uint16_t* data() const { return data_.data(); }

 private:
  std::vector<uint16_t> data_;
};

BOOL CALLBACK FindOwner(HWND window, LPARAM found) {
  if (!::IsWindowVisible(window) || !::IsWindowEnabled(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

struct InputBoxState {
  std::wstring text;
};

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const auto* state = reinterpret_cast<const InputBoxState*>(lParam);
      ::SetDlgItemTextW(dialog, kEditId, state->text.c_str());
      ::SendDlgItemMessageW(dialog, kEditId, EM_SETSEL, 0, -1);
      ::SetFocus(::GetDlgItem(dialog, kEditId));
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* state = reinterpret_cast<InputBoxState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        const int length = ::GetWindowTextLengthW(::GetDlgItem(dialog, kEditId));
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const UINT got = ::GetDlgItemTextW(dialog, kEditId, text.data(), length + 1);
        text.resize(std::min<size_t>(got, static_cast<size_t>(length)));
        state->text = std::move(text);
        ::EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default: break;
  }
  return FALSE;
}

}  // namespace

HWND BoxOwner() {
  const HWND active = ::GetActiveWindow();
  if (active && ::IsWindowVisible(active) && ::IsWindowEnabled(active)) return active;
  // Not active (another program has the focus): the thread's topmost window that takes
  // input is the one the user would otherwise reach behind the box.
  HWND found = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindOwner, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool DialogsWin32::AskText(std::string_view caption, std::string_view prompt, std::string& text) {
  constexpr uint16_t kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;
  TemplateWriter t;
  t.Dword(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.Dword(0);
  t.Word(4);  // items
  for (short v : {0, 0, 184, 62}) t.Word(static_cast<uint16_t>(v));
  t.Word(0);  // no menu
  t.Word(0);  // the standard dialog class
  t.Text(Wide(caption));
  t.Word(8);
  t.Text(L"MS Shell Dlg");
  t.Item(SS_LEFT, 7, 7, 170, 9, kPromptId, kStatic, Wide(prompt));
  t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 19, 170, 13, kEditId, kEdit, L"");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 73, 40, 50, 14, IDOK, kButton, L"OK");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, 127, 40, 50, 14, IDCANCEL, kButton, L"Cancel");
  InputBoxState state{Wide(text)};
  const INT_PTR result =
      ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()),
                                BoxOwner(), InputBoxProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return false;
  text = Narrow(state.text);
  return true;
}

void DialogsWin32::ShowMessage(std::string_view text, std::string_view caption, BoxIcon icon, bool topMost) {
  const UINT flags = MB_OK | IconFlag(icon) | (topMost ? MB_TOPMOST : 0u);
  ::MessageBoxW(BoxOwner(), Wide(text).c_str(), Wide(caption).c_str(), flags);
}

bool DialogsWin32::AskYesNo(std::string_view text, std::string_view caption) {
  return ::MessageBoxW(BoxOwner(), Wide(text).c_str(), Wide(caption).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

Choice DialogsWin32::AskYesNoCancel(std::string_view text, std::string_view caption) {
  switch (::MessageBoxW(BoxOwner(), Wide(text).c_str(), Wide(caption).c_str(), MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return Choice::Yes;
    case IDNO: return Choice::No;
    default: return Choice::Cancel;  // Cancel, Escape and the close box
  }
}

}  // namespace tw::win32
