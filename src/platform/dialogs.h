#pragma once
// Message, question and input boxes. Boxes have no owner window.

#include <string_view>

namespace tw {

enum class BoxIcon { None, Error, Information, Warning, Question };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void ShowMessage(std::string_view text, std::string_view caption, BoxIcon icon, bool topMost) = 0;
  // Yes/No question; true for Yes.
  virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;
};

}  // namespace tw
