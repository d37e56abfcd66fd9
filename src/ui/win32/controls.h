#pragma once
// One small wrapper (a Widget) per kind of native control the forms use. Each creates its control
// hidden and unplaced (the backend places, shows and enables it from the form's data),
// gives typed names to the messages it needs, and turns the notifications reflected to it
// into its `on...` callbacks. Texts are UTF-8 here and UTF-16 at the calls.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/form/control.h"
#include "ui/win32/window_proc.h"

namespace tw::ui::win32 {

class Widget : public NativeControl {
 public:
  // Device pixels in the parent's client area.
  virtual void Place(const RECT& bounds);
  virtual void Show(bool visible);
  virtual void Enable(bool enabled);
  // `redraw` false while the window is still hidden: the first paint draws it anyway.
  virtual void SetFont(HFONT font, bool redraw);
  // Sets the text without reporting it back as the user's: the form that sets a value runs
  // its own change handler.
  void SetText(const std::string& text);
  std::string Text() const;
  bool HasFocus() const { return ::GetFocus() == hwnd(); }

  // The form's data of the control, each part as this kind of control shows it. A kind
  // without such a part ignores it, so the window hands every part to every control.
  virtual void ShowCaption(const std::string& caption) { SetText(caption); }
  virtual void ShowItems(const ui::Control& /*control*/) {}
  virtual void ShowSelection(int /*index*/) {}
  virtual void ShowChecked(bool /*checked*/) {}
  virtual void ShowColumnWidth(int /*width*/) {}  // device pixels

 protected:
  // True while the backend itself changes the control.
  bool updating() const { return updating_ > 0; }
  class Updating {
   public:
    explicit Updating(Widget& control) : control_(control) { ++control_.updating_; }
    ~Updating() { --control_.updating_; }
    Updating(const Updating&) = delete;
    Updating& operator=(const Updating&) = delete;

   private:
    Widget& control_;
  };

 private:
  int updating_ = 0;
};

class Button : public Widget {
 public:
  bool Create(HWND parent, int id, bool tabStop);
  std::function<void()> onClick;
  void OnCommand(WORD code) override;
};

// A group box. It lets the mouse through to the window below (the parent, which tells a
// double-click inside a group itself), and is kept below its fields so that it never
// paints over them.
class GroupBox : public Widget {
 public:
  bool Create(HWND parent, int id);
};

// Static text. A clickable label reports clicks and double-clicks; one that is a tab stop
// also takes the focus, draws a focus rectangle and takes Space as a click, so that a
// keyboard user can do what a mouse user does with it.
class Label : public Widget {
 public:
  bool Create(HWND parent, int id, bool clickable, bool tabStop);
  std::function<void()> onClick;
  std::function<void()> onDoubleClick;
  void OnCommand(WORD code) override;

 protected:
  bool OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void DrawFocus();
};

// The arrows of a spin edit; owned by it. They change nothing themselves: each step goes to
// `onStep` (+1 up, -1 down), and the form decides the new value within its range, so the
// arrows never hold a position of their own that could disagree with the field.
class UpDown : public NativeControl {
 public:
  bool Create(HWND parent, int id);
  std::function<void(int)> onStep;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
};

// An integer field: an EDIT with an UPDOWN buddy. Typed text goes to `onText` as the user
// types and `onLeave` runs when the focus moves away, where the form brings the text into
// its range; the arrows (and the Up and Down keys) go to `onStep`.
class SpinEdit : public Widget {
 public:
  bool Create(HWND parent, int id, int maxLength);
  void Place(const RECT& bounds) override;
  void Show(bool visible) override;
  void Enable(bool enabled) override;
  std::function<void()> onText;
  std::function<void()> onLeave;
  std::function<void(int)> onStep;
  void OnCommand(WORD code) override;

 private:
  UpDown arrows_;
};

// A one-line text field. Keys outside `accepted` (when not empty) are dropped as they are
// typed, letters turned to upper case with `upperCase`; the form filters pasted text the
// same way. Typed text goes to `onText`.
class TextEdit : public Widget {
 public:
  bool Create(HWND parent, int id, int maxLength, std::string accepted, bool upperCase);
  std::function<void()> onText;
  void OnCommand(WORD code) override;

 protected:
  bool OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  std::string accepted_;
};

// A check box that does not tick itself: a click goes to `onClick` and the form sets the
// tick it decides on.
class CheckBox : public Widget {
 public:
  bool Create(HWND parent, int id);
  void SetChecked(bool checked);
  bool Checked() const;
  void ShowChecked(bool checked) override { SetChecked(checked); }
  std::function<void()> onClick;
  void OnCommand(WORD code) override;
};

// A radio button that does not check itself either: the form checks it and unchecks its
// siblings.
class RadioButton : public CheckBox {
 public:
  bool Create(HWND parent, int id);
};

// A read-only one-line text that a user can select and copy. A new text is scrolled so
// that its end shows (a long path shows its file or value name).
class ReadOnlyEdit : public Widget {
 public:
  bool Create(HWND parent, int id);
  void ShowEnd();
  void ShowCaption(const std::string& caption) override;
};

// A drop-down list without free text.
class DropDown : public Widget {
 public:
  bool Create(HWND parent, int id);
  // `rows`: how many items the open list shows before it scrolls.
  void SetItems(const std::vector<std::string>& items, int rows);
  void Select(int index);  // -1 selects nothing
  int Selected() const;
  void Place(const RECT& bounds) override;
  // The items are its text; it has no caption.
  void ShowCaption(const std::string& /*caption*/) override {}
  void ShowItems(const ui::Control& control) override;
  void ShowSelection(int index) override { Select(index); }
  std::function<void()> onChange;
  void OnCommand(WORD code) override;

 private:
  int rows_ = 8;
};

}  // namespace tw::ui::win32
