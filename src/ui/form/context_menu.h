#pragma once
// A control's context menu as data: the entries a right-click (or Shift+F10, or the menu
// key) on the control offers. The backend builds the menu from the entries that are
// visible at that moment and reports the one chosen through Form::UserContextMenu.

#include <functional>
#include <string>

namespace tw::ui {

struct MenuItem {
  std::string caption{};
  bool visible = true;
  std::function<void()> onSelect{};
};

}  // namespace tw::ui
