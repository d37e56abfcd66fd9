#pragma once
// A portable Form as a real top-level window: one native control per form control, kept in
// step with the form through FormView, and the user's input reported back through the
// form's User* calls. The controls come from widget_factory, their places from
// form_geometry, their fonts and brushes from gdi_cache, the menus from form_menus; this
// is what ties them to the form's changes and to the window's messages.

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/form/form.h"
#include "ui/win32/controls.h"
#include "ui/win32/dpi.h"
#include "ui/win32/form_geometry.h"
#include "ui/win32/gdi_cache.h"
#include "ui/win32/tool_tips.h"
#include "ui/win32/ui_handles.h"
#include "ui/win32/window_proc.h"

namespace tw::ui::win32 {

class FormWindow final : public OwnWindow, public FormView {
 public:
  // Creates the window (hidden) and its controls and attaches itself to `form`. `created`
  // is false when the window system refused; the view is then inert.
  explicit FormWindow(Form& form);
  ~FormWindow() override;

  bool created() const { return hwnd() != nullptr; }

  // FormView
  void ControlChanged(ControlId id, ControlAspect aspect) override;
  void WindowChanged(WindowAspect aspect) override;
  void ScaleChanged() override;
  void Repaint() override;
  void Focus(ControlId id) override;
  void Show() override;
  void Close() override;
  Point Position() const override;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Slot {
    std::unique_ptr<Widget> native;  // null for a control the window system refused
  };

  bool CreateControls();
  void SetUpControl(ControlId id);
  Widget* NativeOf(ControlId id) const;
  ControlId IdOf(HWND control) const;

  void PlaceControl(ControlId id);
  void PlaceWindow(bool keepPosition);
  void ApplyFonts();
  HFONT FontFor(const ui::Control& control);
  void SyncControl(ControlId id, ControlAspect aspect);
  void SyncVisibility(ControlId id);
  void SyncEnabled(ControlId id);
  void SyncTip(ControlId id);
  void SyncTipArea(ControlId id);

  LRESULT OnControlColour(HDC dc, HWND control);
  bool OnDoubleClickInGroup(POINT client);
  void OnDialogKey(bool enter);
  bool OnContextMenu(HWND clicked, LPARAM at);  // true when a menu of the form's was in charge
  void OnDpiChanged(int dpi, const RECT& suggested);

  Form& form_;
  std::vector<Slot> slots_;
  FormGeometry geometry_;
  ToolTips tips_;
  GdiCache gdi_;
  std::vector<GlobalAtom> nameAtoms_;  // one reference each to the controls' name atoms
  HWND lastFocus_ = nullptr;  // the focused control when the window was last deactivated
  int dpi_ = kDesignDpi;
};

}  // namespace tw::ui::win32
