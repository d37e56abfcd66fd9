#pragma once

#include <windows.h>

#include "platform/dialogs.h"

namespace tw::win32 {

// The window a box opened now belongs to: the active window of this thread, or else its
// topmost visible one that takes input; nullptr when the program shows none (the command
// line). A box owned by it is modal to it, so no click reaches the window behind the box.
HWND BoxOwner();

class DialogsWin32 final : public Dialogs {
 public:
  void ShowMessage(std::string_view text, std::string_view caption, BoxIcon icon, bool topMost) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  Choice AskYesNoCancel(std::string_view text, std::string_view caption) override;
  bool AskText(std::string_view caption, std::string_view prompt, std::string& text) override;
};

}  // namespace tw::win32
