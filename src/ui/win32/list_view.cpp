#include "ui/win32/list_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/wide.h"

namespace tw::ui::win32 {

using tw::win32::Wide;

bool ListView::Create(HWND parent, int id) {
  const DWORD style = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | WS_BORDER | WS_TABSTOP |
                      WS_CLIPSIBLINGS;
  if (!CreateNative(WC_LISTVIEWW, style, 0, parent, id)) return false;
  ::SendMessageW(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = 100;
  ::SendMessageW(hwnd(), LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  return true;
}

void ListView::Place(const RECT& bounds) {
  Widget::Place(bounds);
  // The one column fills the list.
  RECT client{};
  if (::GetClientRect(hwnd(), &client)) ::SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, 0, client.right - client.left);
}

void ListView::SetItems(const std::vector<std::string>& items) {
  Updating guard(*this);
  ::SendMessageW(hwnd(), LVM_DELETEALLITEMS, 0, 0);
  for (size_t i = 0; i < items.size(); ++i) {
    std::wstring text = Wide(items[i]);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = text.data();
    ::SendMessageW(hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void ListView::Select(int index) {
  Updating guard(*this);
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = 0;
  ::SendMessageW(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  if (index < 0) return;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
  ::SendMessageW(hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void ListView::ShowItems(const ui::Control& control) {
  SetItems(control.items);
  Select(control.selected);
}

int ListView::Selected() const {
  return static_cast<int>(::SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int ListView::RowAt(LPARAM clientPoint) const {
  LVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
  const int row = static_cast<int>(::SendMessageW(hwnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return (hit.flags & LVHT_ONITEM) ? row : -1;
}

bool ListView::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (!updating() && (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) && onSelect) onSelect();
    result = 0;
    return true;
  }
  if (header.code == NM_CUSTOMDRAW) {
    // The selected row keeps the selection's colours while a button has the focus: "UP" and
    // "Down" move it, and the user follows it (the standard grey for a list without focus is faint).
    auto& draw = const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(header));
    result = CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
      result = CDRF_NOTIFYITEMDRAW;
    } else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (draw.nmcd.uItemState & CDIS_SELECTED)) {
      draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
      draw.clrText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
      draw.clrTextBk = ::GetSysColor(COLOR_HIGHLIGHT);
    }
    return true;
  }
  if (header.code == LVN_BEGINDRAG) {
    dragging_ = true;
    ::SetCapture(hwnd());
    result = 0;
    return true;
  }
  return false;
}

bool ListView::OnControlMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  if (!dragging_) return false;
  switch (message) {
    case WM_MOUSEMOVE:
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      result = 0;
      return true;
    case WM_LBUTTONUP: {
      dragging_ = false;
      ::ReleaseCapture();
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT client{};
      // Released outside the list: no drop.
      if (::GetClientRect(hwnd(), &client) && ::PtInRect(&client, at) && onDrop) onDrop(RowAt(lParam));
      result = 0;
      return true;
    }
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return false;
    default: return false;
  }
}

}  // namespace tw::ui::win32
