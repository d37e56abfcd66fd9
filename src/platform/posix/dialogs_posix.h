#pragma once

#include "platform/dialogs.h"

namespace tw::posix {

// The host program has no windows: each box becomes one line on standard error,
//   BOX <kind> "<caption>" <text>
// with kind one of error, information, warning, question, plain, and line breaks in the
// text written as \r and \n. Questions are answered No, the answer that changes nothing.
class DialogsPosix final : public Dialogs {
 public:
  void ShowMessage(std::string_view text, std::string_view caption, BoxIcon icon, bool topMost) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  // No terminal input is taken: the line is shown and the box counts as cancelled.
  bool AskText(std::string_view caption, std::string_view prompt, std::string& text) override;
};

}  // namespace tw::posix
