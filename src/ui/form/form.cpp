#include "ui/form/form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "ui/form/spin_edit.h"

namespace tw::ui {

Form::Form(WindowFrame window) : window_(std::move(window)) {}

ControlId Form::Add(Control control) {
  if (control.parent != kNoControl) At(control.parent);  // the parent must exist already
  if (control.kind == ControlKind::SpinEdit) {
    if (control.maxLength == 0) control.maxLength = TextLengthForRange(control.minValue, control.maxValue);
    control.caption = std::to_string(SpinValueOf(control.caption, control.minValue, control.maxValue));
  }
  controls_.push_back(std::move(control));
  return static_cast<ControlId>(controls_.size() - 1);
}

void Form::AddSystemMenuEntry(SystemMenuEntry entry) { systemMenu_.push_back(std::move(entry)); }

int Form::AddPopupMenu(PopupMenu menu) {
  popupMenus_.push_back(std::move(menu));
  return popupMenuCount() - 1;
}

void Form::AttachPopupMenu(ControlId id, int menu) {
  if (menu != -1) popupMenu(menu);  // the menu must exist
  At(id).popupMenu = menu;
}

const PopupMenu& Form::popupMenu(int menu) const {
  if (menu < 0 || menu >= popupMenuCount()) throw std::out_of_range("no pop-up menu " + std::to_string(menu));
  return popupMenus_[static_cast<size_t>(menu)];
}

int Form::FindMenuItem(int menu, std::string_view name) const {
  const std::vector<PopupMenuItem>& items = popupMenu(menu).items;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].name == name) return static_cast<int>(i);
  return -1;
}

PopupMenuItem& Form::MenuItem(int menu, int item) {
  popupMenu(menu);  // throws for a menu that does not exist
  std::vector<PopupMenuItem>& items = popupMenus_[static_cast<size_t>(menu)].items;
  if (item < 0 || item >= static_cast<int>(items.size())) throw std::out_of_range("no menu entry " + std::to_string(item));
  return items[static_cast<size_t>(item)];
}

void Form::SetMenuItemCaption(int menu, int item, std::string caption) { MenuItem(menu, item).caption = std::move(caption); }
void Form::SetMenuItemChecked(int menu, int item, bool checked) { MenuItem(menu, item).checked = checked; }
void Form::SetMenuItemVisible(int menu, int item, bool visible) { MenuItem(menu, item).visible = visible; }

void Form::OnChange(ControlId id, std::function<void()> handler) { At(id).onChange = std::move(handler); }
void Form::OnClick(ControlId id, std::function<void()> handler) { At(id).onClick = std::move(handler); }
void Form::OnDoubleClick(ControlId id, std::function<void()> handler) { At(id).onDoubleClick = std::move(handler); }

const Control& Form::control(ControlId id) const {
  if (id < 0 || id >= controlCount()) throw std::out_of_range("no control " + std::to_string(id));
  return controls_[static_cast<size_t>(id)];
}

Control& Form::At(ControlId id) { return const_cast<Control&>(std::as_const(*this).control(id)); }

ControlId Form::Find(std::string_view name) const {
  for (ControlId id = 0; id < controlCount(); ++id)
    if (controls_[static_cast<size_t>(id)].name == name) return id;
  return kNoControl;
}

double ScaleOfDpi(int dpi) {
  return dpi > 0 ? 1.0 + static_cast<double>(dpi - kDesignDpi) / kDesignDpi : 1.0;
}

int Form::Scaled(int design) const { return static_cast<int>(design * scale_); }

Rect Form::PixelBounds(ControlId id) const {
  const Rect& b = control(id).bounds;
  return {Scaled(b.left), Scaled(b.top), Scaled(b.width), Scaled(b.height)};
}

int Form::SpinValue(ControlId id) const {
  const Control& c = control(id);
  return SpinValueOf(c.caption, c.minValue, c.maxValue);
}

Point KeepWithin(Point wanted, int width, int height, const Rect& area) {
  const auto fit = [](int at, int size, int start, int length) {
    return std::max(start, std::min(at, start + length - size));
  };
  return {fit(wanted.x, width, area.left, area.width), fit(wanted.y, height, area.top, area.height)};
}

std::optional<int> Form::WholeSpinValue(ControlId id) const {
  const Control& c = control(id);
  return WholeSpinValueOf(c.caption, c.minValue, c.maxValue);
}

bool Form::IsShowing(ControlId id) const {
  for (ControlId at = id; at != kNoControl; at = control(at).parent)
    if (!control(at).visible) return false;
  return true;
}

void Form::Notify(ControlId id, ControlAspect aspect) {
  if (view_) view_->ControlChanged(id, aspect);
}

void Form::NotifyWindow(WindowAspect aspect) {
  if (view_) view_->WindowChanged(aspect);
}

void Form::SetCaption(ControlId id, std::string caption) {
  Control& c = At(id);
  if (c.kind == ControlKind::SpinEdit) return SetSpinValue(id, SpinValueOf(caption, c.minValue, c.maxValue));
  if (c.caption == caption) return;
  c.caption = std::move(caption);
  Notify(id, ControlAspect::Caption);
  if (c.kind == ControlKind::TextEdit && c.onChange) c.onChange();  // as a user edit would
}

void Form::SetTooltip(ControlId id, std::string text) {
  Control& c = At(id);
  if (c.tooltip == text) return;
  c.tooltip = std::move(text);
  Notify(id, ControlAspect::Tooltip);
}

void Form::SetBounds(ControlId id, Rect bounds) {
  Control& c = At(id);
  if (c.bounds == bounds) return;
  c.bounds = bounds;
  Notify(id, ControlAspect::Bounds);
}

void Form::SetTop(ControlId id, int top) {
  Rect b = control(id).bounds;
  b.top = top;
  SetBounds(id, b);
}

void Form::SetLeft(ControlId id, int left) {
  Rect b = control(id).bounds;
  b.left = left;
  SetBounds(id, b);
}

void Form::SetEnabled(ControlId id, bool enabled) {
  Control& c = At(id);
  if (c.enabled == enabled) return;
  c.enabled = enabled;
  Notify(id, ControlAspect::Enabled);
}

void Form::SetVisible(ControlId id, bool visible) {
  Control& c = At(id);
  if (c.visible == visible) return;
  c.visible = visible;
  Notify(id, ControlAspect::Visible);
}

void Form::SetBackground(ControlId id, Colour colour) {
  Control& c = At(id);
  if (c.background == colour) return;
  c.background = colour;
  Notify(id, ControlAspect::Colours);
}

void Form::SetTextColour(ControlId id, Colour colour) {
  Control& c = At(id);
  if (c.textColour == colour) return;
  c.textColour = colour;
  Notify(id, ControlAspect::Colours);
}

void Form::SetFont(ControlId id, Font font) {
  Control& c = At(id);
  c.useFormFont = false;
  c.font = std::move(font);
  Notify(id, ControlAspect::Font);
}

void Form::SetSpinText(ControlId id, std::string text) {
  Control& c = At(id);
  if (c.caption == text) return;
  c.caption = std::move(text);
  Notify(id, ControlAspect::Caption);
  if (c.onChange) c.onChange();
}

void Form::SetSpinValue(ControlId id, int value) {
  const Control& c = control(id);
  SetSpinText(id, std::to_string(ClampToRange(value, c.minValue, c.maxValue)));
}

void Form::SetItems(ControlId id, std::vector<std::string> items) {
  Control& c = At(id);
  c.items = std::move(items);
  c.selected = -1;
  Notify(id, ControlAspect::Items);
}

void Form::SetSelected(ControlId id, int index) {
  Control& c = At(id);
  if (index < -1 || index >= static_cast<int>(c.items.size())) index = -1;
  if (c.selected == index) return;
  c.selected = index;
  Notify(id, ControlAspect::Selection);
  if (c.onChange) c.onChange();
}

void Form::SetChecked(ControlId id, bool checked) {
  Control& c = At(id);
  if (c.checked == checked) return;
  c.checked = checked;
  Notify(id, ControlAspect::Checked);
  if (c.kind == ControlKind::RadioButton) {
    if (!checked) return;
    for (ControlId other = 0; other < controlCount(); ++other) {
      Control& sibling = At(other);
      if (other == id || sibling.kind != ControlKind::RadioButton || sibling.parent != c.parent || !sibling.checked)
        continue;
      sibling.checked = false;
      Notify(other, ControlAspect::Checked);
    }
  }
  if (c.onChange) c.onChange();
}

void Form::SetValues(ControlId id, std::vector<std::string> values) {
  At(id).values = std::move(values);
  Notify(id, ControlAspect::Items);
}

void Form::SetColumnWidth(ControlId id, int designWidth) {
  Control& c = At(id);
  if (c.columnWidth == designWidth) return;
  c.columnWidth = designWidth;
  Notify(id, ControlAspect::Bounds);
}

void Form::SetWindowCaption(std::string caption) {
  window_.caption = std::move(caption);
  NotifyWindow(WindowAspect::Caption);
}

void Form::SetOuterHeight(int designHeight) {
  window_.outerHeight = designHeight;
  NotifyWindow(WindowAspect::Size);
}

void Form::SetPosition(std::optional<Point> position) {
  window_.position = position;
  NotifyWindow(WindowAspect::Position);
}

void Form::SetScale(double scale) {
  if (scale <= 0 || scale == scale_) return;
  scale_ = scale;
  if (view_) view_->ScaleChanged();
}

void Form::Repaint() {
  if (view_) view_->Repaint();
}

void Form::Focus(ControlId id) {
  if (view_) view_->Focus(id);
}

void Form::Close() {
  if (closing_) return;
  closing_ = true;
  if (onClose) onClose();
  if (view_) view_->Close();
}

void Form::CentreOn(const Form& owner) {
  const double s = owner.scale();
  SetScale(s);
  const Point at = owner.WindowPosition();
  const int ownerHeight = owner.window().outerHeight.value_or(owner.window().clientHeight);
  SetPosition(Point{at.x + static_cast<int>((owner.window().clientWidth - window_.clientWidth) * s / 2),
                    at.y + static_cast<int>((ownerHeight - window_.clientHeight) * s / 2)});
}

Point Form::WindowPosition() const {
  if (view_) return view_->Position();
  return window_.position.value_or(Point{});
}

void Form::Attach(FormView* view) {
  if (view && view != view_) closing_ = false;
  view_ = view;
}

namespace {

bool Takes(const Form& form, ControlId id, ControlKind kind) {
  const Control& c = form.control(id);
  if (c.kind != kind || !form.IsShowing(id)) return false;
  for (ControlId at = id; at != kNoControl; at = form.control(at).parent)
    if (!form.control(at).enabled) return false;
  return true;
}

// What a text field keeps of typed or pasted text: characters outside its set dropped,
// letters turned to upper case where it asks for that.
std::string FilterTyped(const Control& c, std::string_view text) {
  if (c.kind != ControlKind::TextEdit) return std::string(text);
  std::string kept;
  for (char ch : text) {
    if (ch == '\r' || ch == '\n') {
      kept += ch;  // FitTypedText cuts the text there
      continue;
    }
    if (!c.acceptedChars.empty() && c.acceptedChars.find(ch) == std::string::npos) continue;
    kept += c.upperCase && ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
  }
  return kept;
}

}  // namespace

void Form::UserTyped(ControlId id, std::string_view text) {
  if (!Takes(*this, id, ControlKind::SpinEdit) && !Takes(*this, id, ControlKind::TextEdit)) return;
  Control& c = At(id);
  std::string fitted = FitTypedText(FilterTyped(c, text), c.maxLength);
  const bool cut = fitted != text;
  if (c.caption != fitted) {
    c.caption = std::move(fitted);
    if (cut) Notify(id, ControlAspect::Caption);  // otherwise the field shows it already
    if (c.onChange) c.onChange();
  } else if (cut) {
    Notify(id, ControlAspect::Caption);
  }
}

void Form::UserLeft(ControlId id) {
  if (control(id).kind != ControlKind::SpinEdit) return;
  if (const auto& handler = control(id).onLeave) return handler();
  // A number out of range shows what will be sent; a slip stays as typed, for the user to
  // mend (an apply refuses it rather than sending the minimum).
  if (const std::optional<int> value = WholeSpinValue(id)) SetSpinValue(id, *value);
}

void Form::UserStepped(ControlId id, int delta) {
  if (!Takes(*this, id, ControlKind::SpinEdit)) return;
  SetSpinValue(id, static_cast<int>(ClampToRange(static_cast<long long>(SpinValue(id)) + delta, control(id).minValue,
                                                 control(id).maxValue)));
}

void Form::UserClicked(ControlId id) {
  const Control& c = control(id);
  if (!Takes(*this, id, c.kind)) return;
  if (c.kind == ControlKind::CheckBox) return SetChecked(id, !c.checked);
  if (c.kind == ControlKind::RadioButton) return SetChecked(id, true);
  if ((c.kind == ControlKind::Button || c.kind == ControlKind::Label) && c.onClick) c.onClick();
}

void Form::UserDoubleClicked(ControlId id) {
  const Control& c = control(id);
  if (!Takes(*this, id, c.kind)) return;
  if (c.onDoubleClick) c.onDoubleClick();
}

void Form::UserSelected(ControlId id, int index) {
  if (!Takes(*this, id, ControlKind::DropDown) && !Takes(*this, id, ControlKind::ListView)) return;
  SetSelected(id, index);
}

void Form::UserDropped(ControlId id, int onto) {
  if (!Takes(*this, id, ControlKind::ListView)) return;
  const Control& c = control(id);
  if (c.onDrop) c.onDrop(onto);
}

void Form::UserSystemMenu(int entryIndex) {
  if (entryIndex < 0 || entryIndex >= static_cast<int>(systemMenu_.size())) return;
  const SystemMenuEntry& entry = systemMenu_[static_cast<size_t>(entryIndex)];
  if (entry.onSelect) entry.onSelect();
}

void Form::UserEdited(ControlId id, int row, std::string_view text) {
  if (!Takes(*this, id, ControlKind::ValueList)) return;
  Control& c = At(id);
  if (row < 0 || row >= static_cast<int>(c.items.size())) return;
  if (c.values.size() < c.items.size()) c.values.resize(c.items.size());
  c.values[static_cast<size_t>(row)] = std::string(text);
}

void Form::UserResized(int outerWidth, int clientWidth, int clientHeight) {
  if (onResize) onResize(outerWidth, clientWidth, clientHeight);
}

int Form::UserPoppedUp(ControlId id) {
  const Control& c = control(id);
  if (c.popupMenu < 0 || !Takes(*this, id, c.kind)) return -1;
  const int menu = c.popupMenu;
  if (const auto& onPopup = popupMenu(menu).onPopup) onPopup();
  return menu;
}

void Form::UserPickedMenuItem(int menu, int item) {
  if (menu < 0 || menu >= popupMenuCount()) return;
  const std::vector<PopupMenuItem>& items = popupMenu(menu).items;
  if (item < 0 || item >= static_cast<int>(items.size())) return;
  const PopupMenuItem& entry = items[static_cast<size_t>(item)];
  if (entry.separator || !entry.visible || !entry.onClick) return;
  const auto handler = entry.onClick;  // the handler may change the menu
  handler();
}

void Form::UserPressedEnter() {
  if (defaultButton_ != kNoControl) UserClicked(defaultButton_);
}

bool Form::UserPressedEscape() {
  if (cancelButton_ == kNoControl) return false;
  UserClicked(cancelButton_);
  return true;
}

bool Form::UserClosed() {
  if (closing_) return true;
  if (onCloseQuery && !onCloseQuery()) return false;
  closing_ = true;
  if (onClose) onClose();
  return true;
}

}  // namespace tw::ui
