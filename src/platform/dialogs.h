#pragma once
// Message, question and input boxes. A box belongs to the program's window open at the
// time (modal to it), or to none on the command line.

#include <string>
#include <string_view>

namespace tw {

enum class BoxIcon { None, Error, Information, Warning, Question };
enum class Choice { Yes, No, Cancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void ShowMessage(std::string_view text, std::string_view caption, BoxIcon icon, bool topMost) = 0;
  // Yes/No question; true for Yes.
  virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;
  // Yes/No/Cancel question. Where a platform has no such box, the Yes/No one (never Cancel).
  virtual Choice AskYesNoCancel(std::string_view text, std::string_view caption) {
    return AskYesNo(text, caption) ? Choice::Yes : Choice::No;
  }
  // A one-line text box with OK and Cancel, starting with `text`; true for OK, and then
  // `text` holds what the user left in the field.
  virtual bool AskText(std::string_view caption, std::string_view prompt, std::string& text) = 0;
};

}  // namespace tw
