#include "ui/win32/controls.h"

#include <commctrl.h>

#include "platform/win32/wide.h"

namespace tw::ui::win32 {

using tw::win32::Narrow;
using tw::win32::Wide;

// ---- Widget ------------------------------------------------------------------------------

void Widget::Place(const RECT& bounds) {
  ::SetWindowPos(hwnd(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Widget::Show(bool visible) { ::ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE); }

void Widget::Enable(bool enabled) { ::EnableWindow(hwnd(), enabled ? TRUE : FALSE); }

void Widget::SetFont(HFONT font, bool redraw) {
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

void Widget::SetText(const std::string& text) {
  if (Text() == text) return;  // an unchanged text would still send EN_CHANGE and repaint
  Updating guard(*this);
  ::SetWindowTextW(hwnd(), Wide(text).c_str());
}

std::string Widget::Text() const {
  const int length = ::GetWindowTextLengthW(hwnd());
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(hwnd(), text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return Narrow(text);
}

// ---- Button -------------------------------------------------------------------------------

bool Button::Create(HWND parent, int id, bool tabStop) {
  return CreateNative(WC_BUTTONW, BS_PUSHBUTTON | WS_CLIPSIBLINGS | (tabStop ? WS_TABSTOP : 0), 0, parent, id);
}

void Button::OnCommand(WORD code) {
  if (code == BN_CLICKED && onClick) onClick();
}

// ---- GroupBox -----------------------------------------------------------------------------

bool GroupBox::Create(HWND parent, int id) {
  return CreateNative(WC_BUTTONW, BS_GROUPBOX | WS_CLIPSIBLINGS, 0, parent, id);
}

// ---- Label --------------------------------------------------------------------------------

bool Label::Create(HWND parent, int id, bool clickable, bool tabStop) {
  const DWORD style = SS_LEFT | SS_NOPREFIX | WS_CLIPSIBLINGS | (clickable ? SS_NOTIFY : 0) | (tabStop ? WS_TABSTOP : 0);
  return CreateNative(WC_STATICW, style, 0, parent, id);
}

void Label::OnCommand(WORD code) {
  if (updating()) return;
  if (code == STN_CLICKED && onClick) onClick();
  if (code == STN_DBLCLK && onDoubleClick) onDoubleClick();
}

void Label::DrawFocus() {
  if (!HasFocus()) return;
  RECT client{};
  if (!::GetClientRect(hwnd(), &client)) return;
  const WindowDc dc(hwnd());
  if (dc.get()) ::DrawFocusRect(dc.get(), &client);
}

bool Label::OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_GETDLGCODE:
      // Space is the label's own key; Tab and the arrows stay the dialog's.
      result = CallNative(message, wParam, lParam) | DLGC_WANTCHARS;
      return true;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        if (onClick) onClick();
        result = 0;
        return true;
      }
      return false;
    case WM_CHAR:
      return wParam == L' ';  // handled as WM_KEYDOWN; no beep
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      ::InvalidateRect(hwnd(), nullptr, TRUE);
      return false;
    case WM_PAINT:
      result = CallNative(message, wParam, lParam);
      DrawFocus();
      return true;
    default:
      return false;
  }
}

// ---- SpinEdit -----------------------------------------------------------------------------

bool UpDown::Create(HWND parent, int id) {
  if (!CreateNative(UPDOWN_CLASSW, UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | WS_CLIPSIBLINGS, 0, parent, id))
    return false;
  // The position stays in the middle of a range it never reaches, so both arrows always
  // report a step.
  ::SendMessageW(hwnd(), UDM_SETRANGE32, static_cast<WPARAM>(-1000), 1000);
  ::SendMessageW(hwnd(), UDM_SETPOS32, 0, 0);
  return true;
}

bool UpDown::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.code != UDN_DELTAPOS) return false;
  const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
  if (onStep && change.iDelta != 0) onStep(change.iDelta > 0 ? 1 : -1);
  result = 1;  // the position does not move
  return true;
}

bool SpinEdit::Create(HWND parent, int id, int maxLength) {
  if (!CreateNative(WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS, WS_EX_CLIENTEDGE, parent, id))
    return false;
  // The arrows join the field when it is placed (Place).
  if (!arrows_.Create(parent, 0)) return false;
  arrows_.onStep = [this](int delta) {
    if (onStep) onStep(delta);
  };
  // Pasted text longer than this is cut by the edit; the form cuts what it is told anyway.
  if (maxLength > 0) ::SendMessageW(hwnd(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
  return true;
}

void SpinEdit::Place(const RECT& bounds) {
  // The arrows take their width from the edit's right edge each time the buddy is set.
  Widget::Place(bounds);
  ::SendMessageW(arrows_.hwnd(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd()), 0);
}

void SpinEdit::Show(bool visible) {
  Widget::Show(visible);
  ::ShowWindow(arrows_.hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

void SpinEdit::Enable(bool enabled) {
  Widget::Enable(enabled);
  ::EnableWindow(arrows_.hwnd(), enabled ? TRUE : FALSE);
}

void SpinEdit::OnCommand(WORD code) {
  if (updating()) return;
  if (code == EN_CHANGE && onText) onText();
  if (code == EN_KILLFOCUS && onLeave) onLeave();
}

// ---- TextEdit -----------------------------------------------------------------------------

bool TextEdit::Create(HWND parent, int id, int maxLength, std::string accepted, bool upperCase) {
  accepted_ = std::move(accepted);
  const DWORD style = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS | (upperCase ? ES_UPPERCASE : 0);
  if (!CreateNative(WC_EDITW, style, WS_EX_CLIENTEDGE, parent, id)) return false;
  if (maxLength > 0) ::SendMessageW(hwnd(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
  return true;
}

bool TextEdit::OnControlMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/, LRESULT& result) {
  // Control characters (backspace, Ctrl+C, Ctrl+V) pass; a refused key never reaches the
  // field, so the caret stays where it was.
  if (message != WM_CHAR || accepted_.empty() || wParam < 0x20) return false;
  if (wParam < 0x80 && accepted_.find(static_cast<char>(wParam)) != std::string::npos) return false;
  result = 0;
  return true;
}

void TextEdit::OnCommand(WORD code) {
  if (!updating() && code == EN_CHANGE && onText) onText();
}

// ---- CheckBox -----------------------------------------------------------------------------

bool CheckBox::Create(HWND parent, int id) {
  return CreateNative(WC_BUTTONW, BS_CHECKBOX | WS_TABSTOP | WS_CLIPSIBLINGS, 0, parent, id);
}

void CheckBox::SetChecked(bool checked) {
  Updating guard(*this);
  ::SendMessageW(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::Checked() const { return ::SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::OnCommand(WORD code) {
  if (!updating() && code == BN_CLICKED && onClick) onClick();
}

// ---- RadioButton -------------------------------------------------------------------------

bool RadioButton::Create(HWND parent, int id) {
  return CreateNative(WC_BUTTONW, BS_RADIOBUTTON | WS_TABSTOP | WS_CLIPSIBLINGS, 0, parent, id);
}

// ---- ReadOnlyEdit -------------------------------------------------------------------------

bool ReadOnlyEdit::Create(HWND parent, int id) {
  return CreateNative(WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP | WS_CLIPSIBLINGS,
                      WS_EX_CLIENTEDGE, parent, id);
}

void ReadOnlyEdit::ShowEnd() {
  const int length = ::GetWindowTextLengthW(hwnd());
  ::SendMessageW(hwnd(), EM_SETSEL, static_cast<WPARAM>(length), length);
  ::SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
}

void ReadOnlyEdit::ShowCaption(const std::string& caption) {
  SetText(caption);
  ShowEnd();
}

// ---- DropDown -----------------------------------------------------------------------------

bool DropDown::Create(HWND parent, int id) {
  return CreateNative(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS, 0, parent, id);
}

void DropDown::SetItems(const std::vector<std::string>& items, int rows) {
  Updating guard(*this);
  rows_ = rows > 0 ? rows : 1;
  const int selected = Selected();
  ::SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    ::SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  if (selected >= 0 && selected < static_cast<int>(items.size())) Select(selected);
}

void DropDown::Select(int index) {
  Updating guard(*this);
  ::SendMessageW(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DropDown::ShowItems(const ui::Control& control) {
  SetItems(control.items, control.dropDownRows);
  Select(control.selected);
}

int DropDown::Selected() const { return static_cast<int>(::SendMessageW(hwnd(), CB_GETCURSEL, 0, 0)); }

void DropDown::Place(const RECT& bounds) {
  // A combo box's window height includes its open list; the closed field keeps the height
  // its font gives it.
  const int itemHeight = static_cast<int>(::SendMessageW(hwnd(), CB_GETITEMHEIGHT, 0, 0));
  RECT withList = bounds;
  withList.bottom += rows_ * (itemHeight > 0 ? itemHeight : bounds.bottom - bounds.top) + 2;
  Widget::Place(withList);
}

void DropDown::OnCommand(WORD code) {
  if (!updating() && code == CBN_SELCHANGE && onChange) onChange();
}

}  // namespace tw::ui::win32
