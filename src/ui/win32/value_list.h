#pragma once
// A two-column report list with column titles: read-only keys on the left, a text per row
// on the right that the user edits in place. A click on a row's right cell (or F2 on the
// selected row) opens an edit box over the cell; every change typed there goes to
// `onEdited` at once, so the form holds the text even while the box is still open. The box
// closes when it loses the focus or the list scrolls.

#include <functional>
#include <string>
#include <vector>

#include "ui/win32/controls.h"

namespace tw::ui::win32 {

class ValueList : public Widget {
 public:
  bool Create(HWND parent, int id);
  void SetColumns(const std::vector<std::string>& titles);
  void SetRows(const std::vector<std::string>& keys, const std::vector<std::string>& values);
  // Device pixels; the second column takes the rest of the list's width.
  void SetFirstColumnWidth(int width);
  void Place(const RECT& bounds) override;
  // The keys, values and column titles are its text; it has no caption.
  void ShowCaption(const std::string& /*caption*/) override {}
  void ShowItems(const ui::Control& control) override;
  void ShowColumnWidth(int width) override { SetFirstColumnWidth(width); }
  void SetFont(HFONT font, bool redraw) override;
  std::function<void(int row, const std::string& text)> onEdited;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
  // In the in-place editor, Enter keeps the edit and Escape puts the value back.
  bool OnDialogKey(bool enter) override;

 protected:
  bool OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void BeginEdit(int row);
  void EndEdit();
  void FitColumns();

  HWND edit_ = nullptr;  // a child of the list, destroyed with it
  int editRow_ = -1;
  std::wstring editOriginal_;  // the value as it was when the editor opened
  int firstColumn_ = 100;
  std::vector<std::string> values_;
};

}  // namespace tw::ui::win32
