#include "ui/win32/value_list.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/wide.h"

namespace tw::ui::win32 {

using tw::win32::Narrow;
using tw::win32::Wide;

namespace {

constexpr int kEditId = 1;
constexpr int kMinimumSecondColumn = 60;

std::wstring WindowTextOf(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

bool ValueList::Create(HWND parent, int id) {
  const DWORD style =
      LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (!CreateNative(WC_LISTVIEWW, style, 0, parent, id)) return false;
  // A key cut short by its column shows whole in a tip when the pointer rests on it.
  constexpr DWORD kExtended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP;
  ::SendMessageW(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, kExtended, kExtended);
  for (int column = 0; column < 2; ++column) {
    LVCOLUMNW c{};
    c.mask = LVCF_WIDTH;
    c.cx = 100;
    ::SendMessageW(hwnd(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
  }
  edit_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 10, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), ::GetModuleHandleW(nullptr), nullptr);
  return edit_ != nullptr;
}

void ValueList::SetColumns(const std::vector<std::string>& titles) {
  for (size_t column = 0; column < titles.size() && column < 2; ++column) {
    std::wstring text = Wide(titles[column]);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT;
    c.pszText = text.data();
    ::SendMessageW(hwnd(), LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&c));
  }
}

void ValueList::ShowItems(const ui::Control& control) {
  SetColumns(control.columns);
  SetRows(control.items, control.values);
}

void ValueList::SetRows(const std::vector<std::string>& keys, const std::vector<std::string>& values) {
  Updating guard(*this);
  EndEdit();
  values_ = values;
  values_.resize(keys.size());
  ::SendMessageW(hwnd(), LVM_DELETEALLITEMS, 0, 0);
  for (size_t row = 0; row < keys.size(); ++row) {
    std::wstring key = Wide(keys[row]);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = key.data();
    ::SendMessageW(hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    std::wstring value = Wide(values_[row]);
    item.iSubItem = 1;
    item.pszText = value.data();
    ::SendMessageW(hwnd(), LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  }
}

void ValueList::SetFirstColumnWidth(int width) {
  firstColumn_ = std::max(0, width);
  FitColumns();
}

void ValueList::Place(const RECT& bounds) {
  EndEdit();
  Widget::Place(bounds);
  FitColumns();
}

void ValueList::SetFont(HFONT font, bool redraw) {
  Widget::SetFont(font, redraw);
  ::SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

void ValueList::FitColumns() {
  RECT client{};
  ::SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, 0, firstColumn_);
  if (!::GetClientRect(hwnd(), &client)) return;  // the second column keeps its width
  ::SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, 1,
                 std::max(kMinimumSecondColumn, static_cast<int>(client.right - client.left) - firstColumn_));
}

void ValueList::BeginEdit(int row) {
  if (row < 0 || row >= static_cast<int>(values_.size())) return;
  RECT cell{};
  cell.top = 1;  // the subitem
  cell.left = LVIR_BOUNDS;
  if (!::SendMessageW(hwnd(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell))) return;
  editRow_ = -1;  // the text set below is not the user's
  editOriginal_ = Wide(values_[static_cast<size_t>(row)]);
  ::SetWindowTextW(edit_, editOriginal_.c_str());
  editRow_ = row;
  ::SetWindowPos(edit_, HWND_TOP, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, SWP_SHOWWINDOW);
  ::SetFocus(edit_);
  ::SendMessageW(edit_, EM_SETSEL, 0, -1);
}

void ValueList::EndEdit() {
  if (editRow_ < 0) return;
  editRow_ = -1;
  ::ShowWindow(edit_, SW_HIDE);
}

bool ValueList::OnDialogKey(bool enter) {
  if (editRow_ < 0 || ::GetFocus() != edit_) return false;
  if (!enter) ::SetWindowTextW(edit_, editOriginal_.c_str());  // reported as an edit back to it
  EndEdit();
  ::SetFocus(hwnd());
  return true;
}

bool ValueList::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.code == NM_CLICK) {
    const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
    if (click.iItem >= 0 && click.iSubItem == 1) BeginEdit(click.iItem);
    result = 0;
    return true;
  }
  if (header.code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_F2) {
    BeginEdit(static_cast<int>(::SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
    result = 0;
    return true;
  }
  return false;
}

bool ValueList::OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) != edit_ || editRow_ < 0) return false;
      if (HIWORD(wParam) == EN_CHANGE) {
        const std::wstring text = WindowTextOf(edit_);
        values_[static_cast<size_t>(editRow_)] = Narrow(text);
        LVITEMW item{};
        item.iSubItem = 1;
        std::wstring shown = text;
        item.pszText = shown.data();
        ::SendMessageW(hwnd(), LVM_SETITEMTEXTW, static_cast<WPARAM>(editRow_), reinterpret_cast<LPARAM>(&item));
        if (onEdited) onEdited(editRow_, values_[static_cast<size_t>(editRow_)]);
      } else if (HIWORD(wParam) == EN_KILLFOCUS) {
        EndEdit();
      }
      result = 0;
      return true;
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
      EndEdit();
      return false;
    default: return false;
  }
}

}  // namespace tw::ui::win32
