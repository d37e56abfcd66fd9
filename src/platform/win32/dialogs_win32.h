#pragma once

#include "platform/dialogs.h"

namespace tw::win32 {

class DialogsWin32 final : public Dialogs {
 public:
  void ShowMessage(std::string_view text, std::string_view caption, BoxIcon icon, bool topMost) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  bool AskText(std::string_view caption, std::string_view prompt, std::string& text) override;
};

}  // namespace tw::win32
