#pragma once

#include "platform/dialogs.h"

namespace tw::win32 {

class DialogsWin32 final : public Dialogs {
 public:
  void ShowMessage(std::string_view text, std::string_view caption, BoxIcon icon, bool topMost) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;
};

}  // namespace tw::win32
