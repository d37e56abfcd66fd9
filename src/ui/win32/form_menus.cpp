#include "ui/win32/form_menus.h"

#include <algorithm>

#include "platform/win32/wide.h"
#include "ui/win32/ui_handles.h"

namespace tw::ui::win32 {
namespace {

using tw::win32::Wide;

// System menu commands of the form's entries: entry i is kFirstMenuCommand + 16 i (the
// system keeps the low four bits of a system command for itself).
constexpr UINT kFirstMenuCommand = 0x0100;
constexpr UINT kMenuCommandStep = 0x10;
// Commands of a pop-up menu's entries: entry i is kFirstPopupCommand + i (0 means none
// was picked).
constexpr UINT kFirstPopupCommand = 1;

}  // namespace

void AddSystemMenuEntries(HWND window, const Form& form) {
  HMENU systemMenu = ::GetSystemMenu(window, FALSE);
  const auto& entries = form.systemMenu();
  for (size_t i = 0; i < entries.size() && systemMenu; ++i) {
    if (entries[i].separator) {
      ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    } else {
      ::AppendMenuW(systemMenu, MF_STRING, kFirstMenuCommand + kMenuCommandStep * i, Wide(entries[i].caption).c_str());
    }
  }
}

void OnSystemMenuCommand(Form& form, WPARAM command) {
  const UINT code = static_cast<UINT>(command) & 0xFFF0;
  if (code < kFirstMenuCommand) return;
  const UINT index = (code - kFirstMenuCommand) / kMenuCommandStep;
  if (index < form.systemMenu().size()) form.UserSystemMenu(static_cast<int>(index));
}

void ShowPopupMenu(Form& form, int menu, HWND window, POINT screen) {
  const std::vector<PopupMenuItem>& items = form.popupMenu(menu).items;
  const auto offered = [](const PopupMenuItem& item) { return item.visible && !item.separator; };
  if (std::none_of(items.begin(), items.end(), offered)) return;
  MenuHandle popup(::CreatePopupMenu());
  if (!popup) return;
  for (size_t i = 0; i < items.size(); ++i) {
    if (!items[i].visible) continue;
    if (items[i].separator) {
      ::AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      ::AppendMenuW(popup.get(), MF_STRING | (items[i].checked ? MF_CHECKED : MF_UNCHECKED),
                    kFirstPopupCommand + i, Wide(items[i].caption).c_str());
    }
  }
  const UINT picked = static_cast<UINT>(
      ::TrackPopupMenu(popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, window, nullptr));
  if (picked >= kFirstPopupCommand) form.UserPickedMenuItem(menu, static_cast<int>(picked - kFirstPopupCommand));
}

}  // namespace tw::ui::win32
