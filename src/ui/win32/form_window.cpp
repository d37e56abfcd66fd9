#include "ui/win32/form_window.h"

#include <commctrl.h>

#include "platform/win32/wide.h"
#include "ui/win32/accessible_names.h"
#include "ui/win32/form_menus.h"
#include "ui/win32/widget_factory.h"

namespace tw::ui::win32 {
namespace {

using tw::win32::Wide;

// Win32 ids of the controls: the form's index plus this, clear of IDOK and IDCANCEL, which
// the dialog keys (Enter, Escape) send and the window ignores.
constexpr int kFirstControlId = 1000;
// Closing is finished after the message that asked for it has been handled.
constexpr UINT kDestroyLater = WM_APP + 1;

// The property under which each control carries its program name, as a global atom, so
// that automation tools and the GUI test driver find a field by name.
constexpr wchar_t kNameProperty[] = L"Tunewright.Name";

// As the end of a dialog box does: the owner takes input again before the dialog goes, so
// that the activation returns to it and not to another program's window.
void GiveBackOwner(HWND window) {
  if (HWND owner = ::GetWindow(window, GW_OWNER)) ::EnableWindow(owner, TRUE);
}

// A themed group box draws its caption in the theme's colour whatever WM_CTLCOLORSTATIC
// sets, and greys it only when the box itself is disabled. So a group whose caption is to
// look disabled is disabled natively: its fields are the form's children, not the box's, and
// a disabled box passes the mouse to the form just as an enabled one does.
bool NativeEnabled(const Form& form, ControlId id) {
  const ui::Control& c = form.control(id);
  if (c.kind == ControlKind::Group && c.textColour.isSystem() && c.textColour.system() == SystemColour::GrayText)
    return false;
  for (ControlId at = id; at != kNoControl; at = form.control(at).parent)
    if (!form.control(at).enabled) return false;
  return true;
}

}  // namespace

FormWindow::FormWindow(Form& form)
    : form_(form), geometry_(form, [this](ControlId id) { return NativeOf(id) ? NativeOf(id)->hwnd() : nullptr; }) {
  dpi_ = DpiScale::OfFactor(form_.scale()).dpi();
  const WindowFrame& frame = form_.window();
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | (frame.minimizeBox ? WS_MINIMIZEBOX : 0) |
                      (frame.fixedSize ? 0 : WS_THICKFRAME | WS_MAXIMIZEBOX);
  // A dialog's owner is the window the user opened it from, the active one.
  const DWORD exStyle = WS_EX_CONTROLPARENT | (frame.dialog ? WS_EX_DLGMODALFRAME : 0);
  if (!CreateOwnWindow(Wide(frame.className), CS_DBLCLKS, style, exStyle, Wide(frame.caption), RECT{0, 0, 100, 100},
                       frame.dialog ? ::GetActiveWindow() : nullptr))
    return;
  if (frame.dialog) {
    // The class's icon would still be drawn in the title bar (wine does so); a dialog has none.
    ::SetClassLongPtrW(hwnd(), GCLP_HICON, 0);
    ::SetClassLongPtrW(hwnd(), GCLP_HICONSM, 0);
  }
  // Before the controls, which take their tips as they are made; a window without its tips
  // still works.
  tips_.Create(hwnd());
  if (!CreateControls()) {
    tips_.Destroy();
    Destroy();
    return;
  }
  AddSystemMenuEntries(hwnd(), form_);
  PlaceWindow(false);
  form_.Attach(this);
}

FormWindow::~FormWindow() {
  if (form_.view() == this) form_.Attach(nullptr);
  for (ControlId id = 0; id < static_cast<ControlId>(slots_.size()); ++id) {
    if (Widget* native = NativeOf(id); native && native->hwnd()) ::RemovePropW(native->hwnd(), kNameProperty);
  }
  nameAtoms_.clear();
  tips_.Destroy();
  slots_.clear();  // the controls go before the window that holds them
  Destroy();
}

bool FormWindow::CreateControls() {
  slots_.resize(static_cast<size_t>(form_.controlCount()));
  AccessibleNames names;
  for (ControlId id : CreationOrder(form_)) {
    const ui::Control& c = form_.control(id);
    std::unique_ptr<Widget> made = MakeWidget(form_, id, hwnd(), kFirstControlId + id);
    if (!made || !made->hwnd()) return false;
    if (!c.name.empty()) {
      if (GlobalAtom atom(::GlobalAddAtomW(Wide(c.name).c_str())); atom) {
        ::SetPropW(made->hwnd(), kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom.get())));
        nameAtoms_.push_back(std::move(atom));
      }
    }
    if (!c.accessibleName.empty()) names.Set(made->hwnd(), c.accessibleName);
    slots_[static_cast<size_t>(id)].native = std::move(made);
    SetUpControl(id);
  }
  return true;
}

void FormWindow::SetUpControl(ControlId id) {
  // Each control is brought to the form's state as it is made, while the window is still
  // hidden: nothing is drawn, and nothing is sent twice.
  const ui::Control& c = form_.control(id);
  Widget* native = NativeOf(id);
  native->SetFont(FontFor(c), false);
  native->ShowItems(c);
  native->Place(geometry_.PixelRect(id));  // after the font and items: a drop-down's height depends on both
  native->ShowCaption(c.caption);  // once placed: a read-only edit scrolls to its end within its width
  native->ShowChecked(c.checked);
  native->ShowColumnWidth(form_.Scaled(c.columnWidth));
  if (!NativeEnabled(form_, id)) native->Enable(false);
  if (form_.IsShowing(id)) native->Show(true);
  if (!c.tooltip.empty()) SyncTip(id);
}

Widget* FormWindow::NativeOf(ControlId id) const {
  if (id < 0 || id >= static_cast<ControlId>(slots_.size())) return nullptr;
  return slots_[static_cast<size_t>(id)].native.get();
}

ControlId FormWindow::IdOf(HWND control) const {
  // The parts of a combo box (its edit, its list) speak for the combo box.
  for (HWND at = control; at && at != hwnd(); at = ::GetParent(at)) {
    const int nativeId = ::GetDlgCtrlID(at);
    const ControlId id = nativeId - kFirstControlId;
    if (::GetParent(at) == hwnd() && NativeOf(id) && NativeOf(id)->hwnd() == at) return id;
  }
  return kNoControl;
}

void FormWindow::PlaceControl(ControlId id) {
  Widget* native = NativeOf(id);
  if (!native) return;
  native->Place(geometry_.PixelRect(id));
  SyncTipArea(id);
  native->ShowColumnWidth(form_.Scaled(form_.control(id).columnWidth));
  // A group carries its fields along.
  if (form_.control(id).kind == ControlKind::Group) {
    for (ControlId inner = 0; inner < form_.controlCount(); ++inner)
      if (IsAncestor(form_, id, inner)) PlaceControl(inner);
  }
}

void FormWindow::PlaceWindow(bool keepPosition) {
  const WindowFrame& frame = form_.window();
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd(), GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE));
  const SIZE size = geometry_.FrameSize(style, exStyle, dpi_);
  const int width = size.cx;
  const int height = size.cy;
  RECT now{};
  bool positioned = ::GetWindowRect(hwnd(), &now) != FALSE;
  int left = now.left;
  int top = now.top;
  if (!keepPosition) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    HWND owner = ::GetWindow(hwnd(), GW_OWNER);
    Point wanted{};
    bool onMonitor = false;
    if (frame.position) {
      // On the monitor nearest to where it was, wholly on its work area.
      wanted = *frame.position;
      const RECT stored{wanted.x, wanted.y, wanted.x + width, wanted.y + height};
      onMonitor = ::GetMonitorInfoW(::MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &monitor) != FALSE;
    } else {
      // Centred on the work area of the monitor the window is on, a dialog on its owner
      // (both whole windows, frames included) but never off that work area.
      onMonitor =
          ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor) != FALSE;
      RECT around = monitor.rcWork;
      if (owner && !::GetWindowRect(owner, &around)) around = monitor.rcWork;
      wanted = {(around.left + around.right - width) / 2, (around.top + around.bottom - height) / 2};
    }
    if (onMonitor) {
      const RECT& work = monitor.rcWork;
      const Point placed =
          KeepWithin(wanted, width, height, {work.left, work.top, work.right - work.left, work.bottom - work.top});
      left = placed.x;
      top = placed.y;
      positioned = true;
    } else if (frame.position) {
      // No monitor to keep it on: the stored place as it is.
      left = wanted.x;
      top = wanted.y;
      positioned = true;
    }
  }
  // A rectangle that no call filled in is no position: the window then keeps its place.
  ::SetWindowPos(hwnd(), nullptr, left, top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | (positioned ? 0u : static_cast<UINT>(SWP_NOMOVE)));
}

HFONT FormWindow::FontFor(const ui::Control& control) {
  const Font& font = control.useFormFont ? form_.window().font : control.font;
  const int height = font.pixelHeight ? -form_.Scaled(font.pixelHeight) : DpiScale(dpi_).FontHeight(font.pointSize);
  return gdi_.Font(font, height);
}

void FormWindow::ApplyFonts() {
  // New fonts are made and set before the old ones go: a control never holds a deleted font.
  const GdiCache::Fonts old = gdi_.TakeFonts();
  for (ControlId id = 0; id < static_cast<ControlId>(slots_.size()); ++id)
    if (Widget* native = NativeOf(id)) native->SetFont(FontFor(form_.control(id)), true);
}

void FormWindow::SyncVisibility(ControlId changed) {
  // A group's visibility is its fields' too. Only what changed is touched: under wine each
  // call is a round trip to the server, and creation changes many controls one by one.
  for (ControlId id = 0; id < static_cast<ControlId>(slots_.size()); ++id) {
    if (changed != kNoControl && id != changed && !IsAncestor(form_, changed, id)) continue;
    if (Widget* native = NativeOf(id)) {
      const bool shown = form_.IsShowing(id);
      const bool showing = (::GetWindowLongPtrW(native->hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
      if (shown != showing) {
        native->Show(shown);
        SyncTipArea(id);
      }
    }
  }
}

void FormWindow::SyncTip(ControlId id) {
  if (Widget* native = NativeOf(id)) tips_.SetText(id, native->hwnd(), form_.control(id).tooltip);
  SyncTipArea(id);
}

// The area tool stands for the control only while it shows: a hidden field's tip must not
// appear over the empty space it left.
void FormWindow::SyncTipArea(ControlId id) {
  if (tips_.Has(id)) tips_.SetArea(id, form_.IsShowing(id) ? geometry_.PixelRect(id) : RECT{});
}

void FormWindow::SyncEnabled(ControlId changed) {
  for (ControlId id = 0; id < static_cast<ControlId>(slots_.size()); ++id) {
    if (changed != kNoControl && id != changed && !IsAncestor(form_, changed, id)) continue;
    Widget* native = NativeOf(id);
    if (!native) continue;
    const bool enabled = NativeEnabled(form_, id);
    if (enabled != (::IsWindowEnabled(native->hwnd()) != FALSE)) native->Enable(enabled);
  }
}

void FormWindow::SyncControl(ControlId id, ControlAspect aspect) {
  Widget* native = NativeOf(id);
  if (!native) return;
  const ui::Control& c = form_.control(id);
  switch (aspect) {
    case ControlAspect::Caption:
      native->ShowCaption(c.caption);
      if (c.bounds.width == 0 || c.bounds.height == 0) PlaceControl(id);
      break;
    case ControlAspect::Bounds:
      PlaceControl(id);
      break;
    case ControlAspect::Enabled:
      SyncEnabled(id);
      break;
    case ControlAspect::Visible:
      SyncVisibility(id);
      break;
    case ControlAspect::Colours:
      if (c.kind == ControlKind::Group && NativeEnabled(form_, id) != (::IsWindowEnabled(native->hwnd()) != FALSE))
        native->Enable(!::IsWindowEnabled(native->hwnd()));
      ::InvalidateRect(native->hwnd(), nullptr, TRUE);
      break;
    case ControlAspect::Items:
      native->ShowItems(c);
      if (c.kind == ControlKind::DropDown) PlaceControl(id);  // its open list's height follows the items
      break;
    case ControlAspect::Selection:
      native->ShowSelection(c.selected);
      break;
    case ControlAspect::Checked:
      native->ShowChecked(c.checked);
      break;
    case ControlAspect::Font:
      native->SetFont(FontFor(c), true);
      PlaceControl(id);
      break;
    case ControlAspect::Tooltip:
      SyncTip(id);
      break;
  }
}

// ---- FormView -----------------------------------------------------------------------------

void FormWindow::ControlChanged(ControlId id, ControlAspect aspect) {
  if (created()) SyncControl(id, aspect);
}

void FormWindow::WindowChanged(WindowAspect aspect) {
  if (!created()) return;
  switch (aspect) {
    case WindowAspect::Caption:
      ::SetWindowTextW(hwnd(), Wide(form_.window().caption).c_str());
      break;
    case WindowAspect::Size:
      PlaceWindow(true);
      break;
    case WindowAspect::Position:
      PlaceWindow(false);
      break;
  }
}

void FormWindow::ScaleChanged() {
  if (!created()) return;
  dpi_ = DpiScale::OfFactor(form_.scale()).dpi();
  ApplyFonts();
  PlaceWindow(true);
  for (ControlId id = 0; id < static_cast<ControlId>(slots_.size()); ++id) PlaceControl(id);
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void FormWindow::Repaint() {
  if (created())
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void FormWindow::Focus(ControlId id) {
  Widget* native = NativeOf(id);
  if (!created() || !native || !native->hwnd()) return;
  ::SetFocus(native->hwnd());
  // As a click into a field does for a user about to retype it: the whole text selected.
  if (form_.control(id).kind == ControlKind::SpinEdit) ::SendMessageW(native->hwnd(), EM_SETSEL, 0, -1);
}

void FormWindow::Show() {
  if (!created()) return;
  ::ShowWindow(hwnd(), SW_SHOW);
  ::UpdateWindow(hwnd());
  Widget* initial = NativeOf(form_.initialFocus());
  if (initial && ::IsWindowVisible(initial->hwnd())) {
    ::SetFocus(initial->hwnd());
  } else if (HWND first = ::GetNextDlgTabItem(hwnd(), nullptr, FALSE)) {
    ::SetFocus(first);
  }
}

void FormWindow::Close() {
  // The form ran its onClose already. The window goes once the message that asked for it
  // (a click on a button of this window, say) has been handled.
  if (created()) ::PostMessageW(hwnd(), kDestroyLater, 0, 0);
}

Point FormWindow::Position() const {
  if (!created()) return form_.window().position.value_or(Point{});
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  RECT rect{};
  if (::IsIconic(hwnd()) && ::GetWindowPlacement(hwnd(), &placement)) {
    rect = placement.rcNormalPosition;
  } else if (!::GetWindowRect(hwnd(), &rect)) {
    // Not the screen's corner: a position that could not be read is the last one the form knew.
    return form_.window().position.value_or(Point{});
  }
  return Point{rect.left, rect.top};
}

// ---- messages -----------------------------------------------------------------------------

LRESULT FormWindow::OnControlColour(HDC dc, HWND control) {
  const ControlId id = IdOf(control);
  if (id == kNoControl) return ::DefWindowProcW(hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                reinterpret_cast<LPARAM>(control));
  const ui::Control& c = form_.control(id);
  // Fields carry their own background; texts, groups and buttons sit on the window's.
  const bool field = c.kind == ControlKind::SpinEdit || c.kind == ControlKind::DropDown ||
                     c.kind == ControlKind::CheckBox || c.kind == ControlKind::TextEdit;
  const COLORREF background = field ? ToColorRef(c.background) : ::GetSysColor(COLOR_BTNFACE);
  ::SetTextColor(dc, ToColorRef(c.textColour));
  ::SetBkColor(dc, background);
  return reinterpret_cast<LRESULT>(gdi_.Brush(background));
}

bool FormWindow::OnDoubleClickInGroup(POINT client) {
  const ControlId innermost = geometry_.GroupAt(client);
  if (innermost == kNoControl) return false;
  form_.UserDoubleClicked(innermost);
  return true;
}

bool FormWindow::OnContextMenu(HWND clicked, LPARAM at) {
  // A right-click on a group reaches the window (a group box lets the mouse through), as
  // does one on a label; fields that have their own menu (an edit's) keep it.
  POINT screen{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  ControlId target = kNoControl;
  if (at == -1) {  // Shift+F10 or the menu key: the focused control's group
    HWND focus = ::GetFocus();
    target = focus ? IdOf(focus) : kNoControl;
    RECT rect{};
    if (!::GetWindowRect(focus ? focus : hwnd(), &rect)) return false;  // nowhere to show the menu
    screen = {rect.left, rect.bottom};
  } else if (clicked != hwnd()) {
    target = IdOf(clicked);
  } else {
    POINT client = screen;
    ::ScreenToClient(hwnd(), &client);
    target = geometry_.GroupAt(client);
  }
  // The nearest control up the groups that carries a menu.
  while (target != kNoControl && form_.control(target).popupMenu < 0) target = form_.control(target).parent;
  if (target == kNoControl) return false;
  const int menu = form_.UserPoppedUp(target);
  if (menu >= 0) ShowPopupMenu(form_, menu, hwnd(), screen);
  return true;
}

// Enter and Escape, as IsDialogMessage turns them into IDOK and IDCANCEL. An in-place
// editor takes them first (keep or drop the edit); then the form's default and cancel
// buttons. A dialog without a cancel button closes on Escape, as with its close box; a
// window without them ignores both, so nothing closes by accident.
void FormWindow::OnDialogKey(bool enter) {
  if (HWND focus = ::GetFocus(); focus && ::IsChild(hwnd(), focus))
    if (NativeControl* owner = NativeControl::FromHandle(::GetParent(focus)); owner && owner->OnDialogKey(enter))
      return;
  if (enter) return form_.UserPressedEnter();
  if (!form_.UserPressedEscape() && form_.window().dialog) ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void FormWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  form_.SetScale(DpiScale(dpi).factor());  // lays the window out again through ScaleChanged
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT FormWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // The mouse reaches the window itself over a disabled control: its tip is the area tool's.
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) tips_.Relay(message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      if (lParam) {
        if (NativeControl* control = NativeControl::FromHandle(reinterpret_cast<HWND>(lParam)))
          control->OnCommand(HIWORD(wParam));
      }
      if (!lParam && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) OnDialogKey(LOWORD(wParam) == IDOK);
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      LRESULT result = 0;
      if (NativeControl* control = NativeControl::FromHandle(header->hwndFrom))
        if (control->OnNotify(*header, result)) return result;
      break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_LBUTTONDBLCLK:
      if (OnDoubleClickInGroup(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))})) return 0;
      break;
    case WM_CONTEXTMENU:
      if (OnContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
      break;
    case WM_SIZE:
      if (RECT outer{}; wParam != SIZE_MINIMIZED && ::GetWindowRect(hwnd(), &outer))
        form_.UserResized(outer.right - outer.left, LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_SYSCOMMAND:
      OnSystemMenuCommand(form_, wParam);
      break;  // the standard handling runs as well
    case WM_ACTIVATE:
      // Keep the focused field across a message box or a switch to another program.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd(), focus)) lastFocus_ = focus;
      } else if (lastFocus_ && ::IsWindow(lastFocus_) && ::IsWindowVisible(lastFocus_)) {
        ::SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (!form_.UserClosed()) return 0;
      GiveBackOwner(hwnd());
      tips_.Destroy();
      Destroy();
      return 0;
    case kDestroyLater:
      GiveBackOwner(hwnd());
      tips_.Destroy();
      Destroy();
      return 0;
    case WM_SYSCOLORCHANGE:
      ::InvalidateRect(hwnd(), nullptr, TRUE);
      break;
    default:
      if (message == kWmDpiChanged) {
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
      }
      break;
  }
  return OwnWindow::OnMessage(message, wParam, lParam);
}

}  // namespace tw::ui::win32
