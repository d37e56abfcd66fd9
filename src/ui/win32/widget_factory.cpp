#include "ui/win32/widget_factory.h"

#include <algorithm>

#include "platform/win32/library_loader_win32.h"
#include "ui/win32/list_view.h"
#include "ui/win32/value_list.h"

namespace tw::ui::win32 {
namespace {

// Themed group boxes draw their caption in the theme's colour, whatever the parent asks
// for; the "Fan" caption must turn grey, so group boxes are drawn the classic way.
// uxtheme is looked up at run time, from the system folder only: the exe imports nothing
// beyond the base system DLLs.
void DrawClassic(HWND control) {
  using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const auto setWindowTheme = [] {
    HMODULE uxtheme = tw::win32::LoadSystemFolderOnly(L"uxtheme.dll");  // stays loaded: looked up once
    return uxtheme ? reinterpret_cast<SetWindowThemeFunction>(
                         reinterpret_cast<void*>(::GetProcAddress(uxtheme, "SetWindowTheme")))
                   : nullptr;
  }();
  if (setWindowTheme) setWindowTheme(control, L"", L"");
}

// A click ticks the box in the form, which decides (a radio button unticks its neighbours);
// the native box then shows the form's state.
std::unique_ptr<Widget> WireTickBox(Form& form, std::unique_ptr<CheckBox> box, ControlId id) {
  CheckBox* shown = box.get();
  box->onClick = [&form, id, shown] {
    form.UserClicked(id);
    shown->SetChecked(form.control(id).checked);
  };
  return box;
}

}  // namespace

std::vector<ControlId> CreationOrder(const Form& form) {
  // Win32 takes the tab order from the order of creation, and stacks later controls below
  // earlier ones. So the controls in the tab order come first; then the plain labels, below them, as labels
  // that are painted on the window would be (a label whose text runs long on another
  // system's font never covers a field); the groups last, below everything, so that a group
  // box never paints over its fields and a click inside it reaches the field there.
  const auto layer = [&](ControlId id) {
    const ui::Control& c = form.control(id);
    if (c.kind == ControlKind::Group) return 2;
    if (c.kind == ControlKind::Label && !c.tabStop) return 1;
    return 0;
  };
  std::vector<ControlId> order;
  for (ControlId id = 0; id < form.controlCount(); ++id) order.push_back(id);
  std::stable_sort(order.begin(), order.end(), [&](ControlId a, ControlId b) {
    if (layer(a) != layer(b)) return layer(a) < layer(b);
    return form.control(a).tabOrder < form.control(b).tabOrder;
  });
  return order;
}

std::unique_ptr<Widget> MakeWidget(Form& form, ControlId id, HWND parent, int nativeId) {
  const ui::Control& c = form.control(id);
  switch (c.kind) {
    case ControlKind::Group: {
      auto group = std::make_unique<GroupBox>();
      if (group->Create(parent, nativeId)) DrawClassic(group->hwnd());
      return group;
    }
    case ControlKind::Label: {
      auto label = std::make_unique<Label>();
      label->Create(parent, nativeId, c.onClick || c.onDoubleClick || c.tabStop, c.tabStop);
      label->onClick = [&form, id] { form.UserClicked(id); };
      label->onDoubleClick = [&form, id] { form.UserDoubleClicked(id); };
      return label;
    }
    case ControlKind::Button: {
      auto button = std::make_unique<Button>();
      button->Create(parent, nativeId, c.tabStop);
      button->onClick = [&form, id] { form.UserClicked(id); };
      return button;
    }
    case ControlKind::SpinEdit: {
      auto spin = std::make_unique<SpinEdit>();
      SpinEdit* field = spin.get();
      spin->Create(parent, nativeId, c.maxLength);
      spin->onText = [&form, id, field] { form.UserTyped(id, field->Text()); };
      spin->onLeave = [&form, id] { form.UserLeft(id); };
      spin->onStep = [&form, id](int delta) { form.UserStepped(id, delta); };
      return spin;
    }
    case ControlKind::DropDown: {
      auto list = std::make_unique<DropDown>();
      DropDown* box = list.get();
      list->Create(parent, nativeId);
      list->onChange = [&form, id, box] {
        form.UserSelected(id, box->Selected());
        box->Select(form.control(id).selected);  // the form may have refused
      };
      return list;
    }
    case ControlKind::ListView: {
      auto list = std::make_unique<ListView>();
      ListView* rows = list.get();
      list->Create(parent, nativeId);
      list->onSelect = [&form, id, rows] { form.UserSelected(id, rows->Selected()); };
      list->onDrop = [&form, id](int onto) { form.UserDropped(id, onto); };
      return list;
    }
    case ControlKind::ValueList: {
      auto list = std::make_unique<ValueList>();
      list->Create(parent, nativeId);
      list->onEdited = [&form, id](int row, const std::string& text) { form.UserEdited(id, row, text); };
      return list;
    }
    case ControlKind::TextEdit: {
      auto edit = std::make_unique<TextEdit>();
      TextEdit* field = edit.get();
      edit->Create(parent, nativeId, c.maxLength, c.acceptedChars, c.upperCase);
      edit->onText = [&form, id, field] { form.UserTyped(id, field->Text()); };
      return edit;
    }
    case ControlKind::CheckBox: {
      auto check = std::make_unique<CheckBox>();
      check->Create(parent, nativeId);
      return WireTickBox(form, std::move(check), id);
    }
    case ControlKind::RadioButton: {
      auto radio = std::make_unique<RadioButton>();
      radio->Create(parent, nativeId);
      return WireTickBox(form, std::move(radio), id);
    }
    case ControlKind::Edit: {
      auto edit = std::make_unique<ReadOnlyEdit>();
      edit->Create(parent, nativeId);
      return edit;
    }
  }
  return nullptr;
}

}  // namespace tw::ui::win32
