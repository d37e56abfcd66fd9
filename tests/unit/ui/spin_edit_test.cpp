// The integer fields' rule: clamped on set and on leaving, non-integers read as the minimum
// and kept as typed.

#include <gtest/gtest.h>

#include "ui/form/form.h"

namespace tw::ui {
namespace {

struct TypingCase {
  int minValue, maxValue;
  const char* typed;
  int valueWhileTyping;  // what a handler reads before the field is left
  const char* shownAfterLeaving;
};

TEST(SpinEditTest, TypedTextFollowsTheClampingRule) {
  const TypingCase cases[] = {
      // A text that is no number stays as typed, for the user to mend: never shown as a
      // number it is not.
      {0, 9999, "abc", 0, "abc"},         {0, 9999, "-", 0, "-"},
      {0, 9999, "", 0, ""},               {-1, 9999, "-", -1, "-"},
      {0, 9999, "123456789012", 1234, "1234"},  // cut to the field's four characters
      {0, 9999, "12\r\n34", 12, "12"},    {0, 9999, " 42 ", 42, "42"},
      {0, 9999, "-5", 0, "0"},            {-9999, 9999, "-99999", -9999, "-9999"},
      {-9999, 9999, "12a", -9999, "12a"},
  };
  for (const TypingCase& c : cases) {
    Form form(WindowFrame{});
    const ControlId id =
        form.Add({.kind = ControlKind::SpinEdit, .name = "f", .minValue = c.minValue, .maxValue = c.maxValue});
    form.UserTyped(id, c.typed);
    EXPECT_EQ(form.SpinValue(id), c.valueWhileTyping) << c.typed;
    form.UserLeft(id);
    EXPECT_EQ(form.control(id).caption, c.shownAfterLeaving) << c.typed;
  }
}

TEST(SpinEditTest, ValuesSetOutsideTheRangeGoToTheNearestEnd) {
  Form form(WindowFrame{});
  const ControlId id = form.Add({.kind = ControlKind::SpinEdit, .minValue = -1, .maxValue = 9999});
  const int set[][2] = {{10000, 9999}, {-2, -1}, {-2147483647 - 1, -1}, {500, 500}};
  for (const auto& [value, held] : set) {
    form.SetSpinValue(id, value);
    EXPECT_EQ(form.control(id).caption, std::to_string(held));
  }
  form.UserStepped(id, 1);
  EXPECT_EQ(form.SpinValue(id), 501);
}

TEST(SpinEditTest, HiddenOrDisabledFieldsTakeNoInput) {
  Form form(WindowFrame{});
  const ControlId group = form.Add({.kind = ControlKind::Group});
  const ControlId id = form.Add({.kind = ControlKind::SpinEdit, .parent = group, .maxValue = 9999});
  form.SetVisible(group, false);
  form.UserTyped(id, "7");
  form.SetVisible(group, true);
  form.SetEnabled(id, false);
  form.UserTyped(id, "8");
  EXPECT_EQ(form.control(id).caption, "0");
}

TEST(KeepWithinTest, AWindowLandsWhollyOnTheWorkArea) {
  const Rect area{0, 0, 1920, 1040};
  struct Case {
    Point wanted, placed;
  } const cases[] = {{{40, 30}, {40, 30}},       {{3000, 2000}, {1320, 540}}, {{-700, -20}, {0, 0}},
                     {{1500, 100}, {1320, 100}}, {{0, 900}, {0, 540}}};
  for (const Case& c : cases) EXPECT_EQ(KeepWithin(c.wanted, 600, 500, area), c.placed) << c.wanted.x;
  EXPECT_EQ(KeepWithin({3000, 10}, 2500, 500, area), (Point{0, 10})) << "wider than the area: its left edge shows";
}

}  // namespace
}  // namespace tw::ui
