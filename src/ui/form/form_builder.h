#pragma once
// Adds a form's controls in the order they are written, which is their tab order: each
// form is written as it reads (left to right, top to bottom), so Tab walks it the same
// way. Forms derive their own builders for the control kinds they use.

#include <string>
#include <utility>

#include "ui/form/form.h"

namespace tw::ui {

class FormBuilder {
 public:
  explicit FormBuilder(Form& form) : form_(form) {}

  ControlId Add(Control control) {
    control.tabOrder = tab_++;
    return form_.Add(std::move(control));
  }

  ControlId Group(const char* name, const char* caption, Rect bounds) {
    return Add({.kind = ControlKind::Group, .name = name, .bounds = bounds, .caption = caption});
  }

  ControlId Button(const char* name, const char* caption, Rect bounds, ControlId parent = kNoControl) {
    return Add({.kind = ControlKind::Button, .name = name, .parent = parent, .bounds = bounds, .caption = caption,
                .tabStop = true});
  }

  Form& form() { return form_; }

 private:
  Form& form_;
  int tab_ = 0;
};

}  // namespace tw::ui
