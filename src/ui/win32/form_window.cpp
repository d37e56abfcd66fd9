#include "ui/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/win32/wide.h"
#include "ui/win32/accessible_names.h"
#include "ui/win32/list_view.h"
#include "ui/win32/value_list.h"

namespace tw::ui::win32 {
namespace {

using tw::win32::Wide;

// Win32 ids of the controls: the form's index plus this, clear of IDOK and IDCANCEL, which
// the dialog keys (Enter, Escape) send and the window ignores.
constexpr int kFirstControlId = 1000;
// System menu commands of the form's entries: entry i is kFirstMenuCommand + 16 i (the
// system keeps the low four bits of a system command for itself).
constexpr UINT kFirstMenuCommand = 0x0100;
constexpr UINT kMenuCommandStep = 0x10;
// Commands of a pop-up menu's entries: entry i is kFirstPopupCommand + i (0 means none
// was picked).
constexpr UINT kFirstPopupCommand = 1;
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

COLORREF ToColorRef(const Colour& colour) {
  if (!colour.isSystem()) return static_cast<COLORREF>(colour.colorRef());
  switch (colour.system()) {
    case SystemColour::Window: return ::GetSysColor(COLOR_WINDOW);
    case SystemColour::ButtonFace: return ::GetSysColor(COLOR_BTNFACE);
    case SystemColour::InactiveCaption: return ::GetSysColor(COLOR_INACTIVECAPTION);
    case SystemColour::WindowText: return ::GetSysColor(COLOR_WINDOWTEXT);
    case SystemColour::GrayText: return ::GetSysColor(COLOR_GRAYTEXT);
  }
  return ::GetSysColor(COLOR_WINDOW);
}

// Themed group boxes draw their caption in the theme's colour, whatever the parent asks
// for; the "Fan" caption must turn grey, so group boxes are drawn the classic way.
// uxtheme is looked up at run time: the exe imports nothing beyond the base system DLLs.
void DrawClassic(HWND control) {
  using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const auto setWindowTheme = [] {
    HMODULE uxtheme = ::LoadLibraryW(L"uxtheme.dll");
    return uxtheme ? reinterpret_cast<SetWindowThemeFunction>(
                         reinterpret_cast<void*>(::GetProcAddress(uxtheme, "SetWindowTheme")))
                   : nullptr;
  }();
  if (setWindowTheme) setWindowTheme(control, L"", L"");
}

using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

RECT OuterFromClient(int width, int height, DWORD style, DWORD exStyle, int dpi) {
  static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFunction>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  RECT rect{0, 0, width, height};
  if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return rect;
}

bool IsAncestor(const Form& form, ControlId ancestor, ControlId id) {
  for (ControlId at = form.control(id).parent; at != kNoControl; at = form.control(at).parent)
    if (at == ancestor) return true;
  return false;
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

FormWindow::FormWindow(Form& form) : form_(form) {
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
  HMENU systemMenu = ::GetSystemMenu(hwnd(), FALSE);
  const auto& entries = form_.systemMenu();
  for (size_t i = 0; i < entries.size() && systemMenu; ++i) {
    if (entries[i].separator) {
      ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    } else {
      ::AppendMenuW(systemMenu, MF_STRING, kFirstMenuCommand + kMenuCommandStep * i, Wide(entries[i].caption).c_str());
    }
  }
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

// A click ticks the box in the form, which decides (a radio button unticks its neighbours);
// the native box then shows the form's state.
std::unique_ptr<Widget> FormWindow::WireTickBox(std::unique_ptr<CheckBox> box, ControlId id) {
  CheckBox* shown = box.get();
  box->onClick = [this, id, shown] {
    form_.UserClicked(id);
    shown->SetChecked(form_.control(id).checked);
  };
  return box;
}

bool FormWindow::CreateControls() {
  // Win32 takes the tab order from the order of creation, and stacks later controls below
  // earlier ones. So the controls in the tab order come first; then the plain labels, below
  // them, as labels that are painted on the window would be (a label whose text runs long on
  // another system's font never covers a field); the groups last, below everything, so that
  // a group box never paints over its fields and a click inside it reaches the field there.
  const auto layer = [&](ControlId id) {
    const ui::Control& c = form_.control(id);
    if (c.kind == ControlKind::Group) return 2;
    if (c.kind == ControlKind::Label && !c.tabStop) return 1;
    return 0;
  };
  std::vector<ControlId> order;
  for (ControlId id = 0; id < form_.controlCount(); ++id) order.push_back(id);
  std::stable_sort(order.begin(), order.end(), [&](ControlId a, ControlId b) {
    if (layer(a) != layer(b)) return layer(a) < layer(b);
    return form_.control(a).tabOrder < form_.control(b).tabOrder;
  });
  slots_.resize(static_cast<size_t>(form_.controlCount()));
  AccessibleNames names;
  for (ControlId id : order) {
    const ui::Control& c = form_.control(id);
    const int nativeId = kFirstControlId + id;
    std::unique_ptr<Widget> made;
    switch (c.kind) {
      case ControlKind::Group: {
        auto group = std::make_unique<GroupBox>();
        if (group->Create(hwnd(), nativeId)) DrawClassic(group->hwnd());
        made = std::move(group);
        break;
      }
      case ControlKind::Label: {
        auto label = std::make_unique<Label>();
        label->Create(hwnd(), nativeId, c.onClick || c.onDoubleClick || c.tabStop, c.tabStop);
        label->onClick = [this, id] { form_.UserClicked(id); };
        label->onDoubleClick = [this, id] { form_.UserDoubleClicked(id); };
        made = std::move(label);
        break;
      }
      case ControlKind::Button: {
        auto button = std::make_unique<Button>();
        button->Create(hwnd(), nativeId, c.tabStop);
        button->onClick = [this, id] { form_.UserClicked(id); };
        made = std::move(button);
        break;
      }
      case ControlKind::SpinEdit: {
        auto spin = std::make_unique<SpinEdit>();
        SpinEdit* field = spin.get();
        spin->Create(hwnd(), nativeId, c.maxLength);
        spin->onText = [this, id, field] { form_.UserTyped(id, field->Text()); };
        spin->onLeave = [this, id] { form_.UserLeft(id); };
        spin->onStep = [this, id](int delta) { form_.UserStepped(id, delta); };
        made = std::move(spin);
        break;
      }
      case ControlKind::DropDown: {
        auto list = std::make_unique<DropDown>();
        DropDown* box = list.get();
        list->Create(hwnd(), nativeId);
        list->onChange = [this, id, box] {
          form_.UserSelected(id, box->Selected());
          box->Select(form_.control(id).selected);  // the form may have refused
        };
        made = std::move(list);
        break;
      }
      case ControlKind::ListView: {
        auto list = std::make_unique<ListView>();
        ListView* rows = list.get();
        list->Create(hwnd(), nativeId);
        list->onSelect = [this, id, rows] { form_.UserSelected(id, rows->Selected()); };
        list->onDrop = [this, id](int onto) { form_.UserDropped(id, onto); };
        made = std::move(list);
        break;
      }
      case ControlKind::ValueList: {
        auto list = std::make_unique<ValueList>();
        list->Create(hwnd(), nativeId);
        list->onEdited = [this, id](int row, const std::string& text) { form_.UserEdited(id, row, text); };
        made = std::move(list);
        break;
      }
      case ControlKind::TextEdit: {
        auto edit = std::make_unique<TextEdit>();
        TextEdit* field = edit.get();
        edit->Create(hwnd(), nativeId, c.maxLength, c.acceptedChars, c.upperCase);
        edit->onText = [this, id, field] { form_.UserTyped(id, field->Text()); };
        made = std::move(edit);
        break;
      }
      case ControlKind::CheckBox: {
        auto check = std::make_unique<CheckBox>();
        check->Create(hwnd(), nativeId);
        made = WireTickBox(std::move(check), id);
        break;
      }
      case ControlKind::RadioButton: {
        auto radio = std::make_unique<RadioButton>();
        radio->Create(hwnd(), nativeId);
        made = WireTickBox(std::move(radio), id);
        break;
      }
      case ControlKind::Edit: {
        auto edit = std::make_unique<ReadOnlyEdit>();
        edit->Create(hwnd(), nativeId);
        made = std::move(edit);
        break;
      }
    }
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
  native->Place(PixelRect(id));  // after the font and items: a drop-down's height depends on both
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

// ---- layout -------------------------------------------------------------------------------

// Design pixels between a continued box's end and its continuation: a space's width.
constexpr int kCaptionContinuationGap = 3;

namespace {

// How far the ink of `text`, drawn in the font of `dc` on a sheet of the size `extent`
// (and a little more), reaches; nullopt when it cannot be drawn.
std::optional<int> InkWidth(HDC dc, const std::wstring& text, SIZE extent) {
  const MemoryDc paper = CompatibleDc(dc);
  RECT all{0, 0, extent.cx + 8, extent.cy + 2};
  const BitmapHandle sheet(paper ? ::CreateCompatibleBitmap(dc, all.right, all.bottom) : nullptr);
  if (!sheet) return std::nullopt;
  const Selection onSheet(paper.get(), sheet.get());
  const Selection font(paper.get(), ::GetCurrentObject(dc, OBJ_FONT));
  ::FillRect(paper.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::SetTextColor(paper.get(), RGB(0, 0, 0));
  ::SetBkMode(paper.get(), TRANSPARENT);
  ::DrawTextW(paper.get(), text.c_str(), static_cast<int>(text.size()), &all, DT_SINGLELINE | DT_NOPREFIX);
  for (int x = all.right - 1; x >= 0; --x)
    for (int y = 0; y < all.bottom; ++y)
      if (::GetPixel(paper.get(), x, y) != RGB(255, 255, 255)) return x + 1;
  return std::nullopt;
}

}  // namespace

int FormWindow::CaptionTextEnd(ControlId box) const {
  Widget* native = NativeOf(box);
  if (!native) return std::numeric_limits<int>::max();  // nothing drawn: no end to keep to
  const ControlDc dc(native->hwnd());
  const std::wstring caption = Wide(form_.control(box).caption);
  SIZE extent{0, 0};
  if (!::GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent)) extent = {0, 0};
  // Where the text ends as the system draws it: under wine the drawn glyphs advance less
  // than the extent the text functions report.
  const int width = InkWidth(dc.get(), caption, extent).value_or(extent.cx);
  // A native box draws its text after the glyph and half a digit's width, give or take a
  // pixel: two more keep its last letter whole.
  INT digit = 0;
  if (!::GetCharWidth32W(dc.get(), L'0', L'0', &digit)) digit = 0;
  return ::GetSystemMetrics(SM_CXMENUCHECK) + digit / 2 + width + form_.Scaled(2);
}

RECT FormWindow::PixelRect(ControlId id) const {
  // Each control's design position is scaled on its own and added to its group's, as the
  // controls of a group sit in the group's own coordinates.
  const Rect own = form_.PixelBounds(id);
  int left = own.left;
  int top = own.top;
  for (ControlId at = form_.control(id).parent; at != kNoControl; at = form_.control(at).parent) {
    const Rect group = form_.PixelBounds(at);
    left += group.left;
    top += group.top;
  }
  int width = own.width;
  int height = own.height;
  const ui::Control& c = form_.control(id);
  Widget* native = NativeOf(id);
  if ((width == 0 || height == 0) && native) {
    // Labels and check boxes take the size of their text.
    RECT text{0, 0, 0, 0};
    const std::wstring caption = Wide(c.caption.empty() ? std::string(" ") : c.caption);
    if (const ControlDc dc(native->hwnd());
        !::DrawTextW(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &text,
                     DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX))
      text = RECT{0, 0, 0, 0};
    // Wine's static control draws a hinted glyph or two wider than DrawText measures at
    // 144 dpi (the last letter of "(ADL_ERR_NOT_SUPPORTED)" was cut): a scaled margin
    // keeps the last letter whole at every scale.
    int needWidth = text.right + form_.Scaled(3);
    int needHeight = text.bottom;
    if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton) {
      needWidth += ::GetSystemMetrics(SM_CXMENUCHECK) + form_.Scaled(6);
      needHeight = std::max(needHeight, static_cast<int>(::GetSystemMetrics(SM_CYMENUCHECK)));
    }
    if (width == 0) width = needWidth;
    if (height == 0) height = needHeight;
  }
  // A continued box ends with its text, so that it does not paint over its continuation.
  for (ControlId at = 0; at < form_.controlCount(); ++at)
    if (form_.control(at).continuesCaptionOf == id) {
      width = std::min(width, CaptionTextEnd(id));
      break;
    }
  if (c.continuesCaptionOf != kNoControl) {
    const RECT box = PixelRect(c.continuesCaptionOf);
    left = box.right + form_.Scaled(kCaptionContinuationGap);
  }
  return RECT{left, top, left + width, top + height};
}

void FormWindow::PlaceControl(ControlId id) {
  Widget* native = NativeOf(id);
  if (!native) return;
  native->Place(PixelRect(id));
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
  const RECT outer =
      OuterFromClient(form_.Scaled(frame.clientWidth), form_.Scaled(frame.clientHeight), style, exStyle, dpi_);
  const int width = outer.right - outer.left;
  const int height = frame.outerHeight ? form_.Scaled(*frame.outerHeight) : outer.bottom - outer.top;
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
  const auto key = std::make_tuple(font.face, font.pointSize, font.pixelHeight);
  auto found = fonts_.find(key);
  if (found == fonts_.end()) {
    const int height = font.pixelHeight ? -form_.Scaled(font.pixelHeight) : DpiScale(dpi_).FontHeight(font.pointSize);
    HFONT made = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(font.face).c_str());
    found = fonts_.emplace(key, FontHandle(made)).first;
  }
  return found->second.get();
}

void FormWindow::ApplyFonts() {
  // New fonts are made and set before the old ones go: a control never holds a deleted font.
  std::map<std::tuple<std::string, int, int>, FontHandle> old;
  old.swap(fonts_);
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
  if (tips_.Has(id)) tips_.SetArea(id, form_.IsShowing(id) ? PixelRect(id) : RECT{});
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

HBRUSH FormWindow::BrushFor(COLORREF colour) {
  auto found = brushes_.find(colour);
  if (found == brushes_.end()) found = brushes_.emplace(colour, BrushHandle(::CreateSolidBrush(colour))).first;
  return found->second.get();
}

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
  return reinterpret_cast<LRESULT>(BrushFor(background));
}

bool FormWindow::OnDoubleClickInGroup(POINT client) {
  ControlId innermost = kNoControl;
  for (ControlId id = 0; id < form_.controlCount(); ++id) {
    if (form_.control(id).kind != ControlKind::Group || !form_.IsShowing(id)) continue;
    const RECT rect = PixelRect(id);
    if (!::PtInRect(&rect, client)) continue;
    if (innermost == kNoControl || IsAncestor(form_, innermost, id)) innermost = id;
  }
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
    for (ControlId id = 0; id < form_.controlCount(); ++id) {
      if (form_.control(id).kind != ControlKind::Group || !form_.IsShowing(id)) continue;
      const RECT rect = PixelRect(id);
      if (::PtInRect(&rect, client) && (target == kNoControl || IsAncestor(form_, target, id))) target = id;
    }
  }
  // The nearest control up the groups that carries a menu.
  while (target != kNoControl && form_.control(target).popupMenu < 0) target = form_.control(target).parent;
  if (target == kNoControl) return false;
  const int menu = form_.UserPoppedUp(target);
  if (menu < 0) return true;
  const auto offered = [](const PopupMenuItem& item) { return item.visible && !item.separator; };
  if (std::none_of(form_.popupMenu(menu).items.begin(), form_.popupMenu(menu).items.end(), offered)) return true;
  MenuHandle popup(::CreatePopupMenu());
  if (!popup) return true;
  const std::vector<PopupMenuItem>& items = form_.popupMenu(menu).items;
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
      ::TrackPopupMenu(popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd(), nullptr));
  if (picked >= kFirstPopupCommand) form_.UserPickedMenuItem(menu, static_cast<int>(picked - kFirstPopupCommand));
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

void FormWindow::OnSystemCommand(WPARAM command) {
  const UINT code = static_cast<UINT>(command) & 0xFFF0;
  if (code < kFirstMenuCommand) return;
  const UINT index = (code - kFirstMenuCommand) / kMenuCommandStep;
  if (index < form_.systemMenu().size()) form_.UserSystemMenu(static_cast<int>(index));
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
      OnSystemCommand(wParam);
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
