#include "ui/win32/context_menu.h"

#include "platform/win32/wide.h"

namespace tw::ui::win32 {

bool ShowContextMenu(Form& form, ControlId id, HWND owner, HWND control, LPARAM request) {
  const std::vector<MenuItem>& items = form.control(id).contextMenu;
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return false;
  int shown = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (!items[i].visible) continue;
    ::AppendMenuW(menu, MF_STRING, i + 1, tw::win32::Wide(items[i].caption).c_str());
    ++shown;
  }
  POINT at{static_cast<short>(LOWORD(request)), static_cast<short>(HIWORD(request))};
  if (request == -1) {  // from the keyboard
    RECT rect{};
    ::GetWindowRect(control, &rect);
    at = {rect.left + 4, rect.bottom};
  }
  const int chosen = shown == 0 ? 0
                                : static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                                    at.x, at.y, 0, owner, nullptr));
  ::DestroyMenu(menu);
  // The entries may have changed while the menu was open; the form checks the index again.
  if (chosen > 0) form.UserContextMenu(id, chosen - 1);
  return shown > 0;
}

}  // namespace tw::ui::win32
