#include "platform/posix/dialogs_posix.h"

#include <unistd.h>

#include <string>

namespace tw::posix {
namespace {

std::string_view KindName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Error: return "error";
    case BoxIcon::Information: return "information";
    case BoxIcon::Warning: return "warning";
    case BoxIcon::Question: return "question";
    case BoxIcon::None: break;
  }
  return "plain";
}

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

void WriteBoxLine(BoxIcon icon, std::string_view caption, std::string_view text) {
  const std::string line =
      "BOX " + std::string(KindName(icon)) + " \"" + Escape(caption) + "\" " + Escape(text) + "\n";
  std::string_view rest = line;
  while (!rest.empty()) {
    const ssize_t written = ::write(STDERR_FILENO, rest.data(), rest.size());
    if (written <= 0) return;
    rest.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace

void DialogsPosix::ShowMessage(std::string_view text, std::string_view caption, BoxIcon icon, bool) {
  WriteBoxLine(icon, caption, text);
}

bool DialogsPosix::AskYesNo(std::string_view text, std::string_view caption) {
  WriteBoxLine(BoxIcon::Question, caption, text);
  return false;
}

bool DialogsPosix::AskText(std::string_view caption, std::string_view prompt, std::string&) {
  WriteBoxLine(BoxIcon::None, caption, prompt);
  return false;
}

}  // namespace tw::posix
