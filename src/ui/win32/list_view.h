#pragma once
// A one-column report list view with whole-row selection whose rows the user drags within
// the list: the selection goes to `onSelect`, a drop to `onDrop` with the row under the
// mouse (-1 below the rows). Drops from outside never happen: the drag is the list's own
// mouse capture, started by LVN_BEGINDRAG.

#include <functional>
#include <string>
#include <vector>

#include "ui/win32/controls.h"

namespace tw::ui::win32 {

class ListView : public Widget {
 public:
  bool Create(HWND parent, int id);
  void SetItems(const std::vector<std::string>& items);
  void Select(int index);  // -1 selects nothing
  int Selected() const;
  void Place(const RECT& bounds) override;
  // The rows are its text; it has no caption.
  void ShowCaption(const std::string& /*caption*/) override {}
  void ShowItems(const ui::Control& control) override;
  void ShowSelection(int index) override { Select(index); }
  std::function<void()> onSelect;
  std::function<void(int onto)> onDrop;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;

 protected:
  bool OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  int RowAt(LPARAM clientPoint) const;
  bool dragging_ = false;
};

}  // namespace tw::ui::win32
