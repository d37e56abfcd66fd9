#include "platform/win32/dialogs_win32.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace tw::win32 {
namespace {

UINT IconFlag(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Error: return MB_ICONERROR;
    case BoxIcon::Information: return MB_ICONINFORMATION;
    case BoxIcon::Warning: return MB_ICONWARNING;
    case BoxIcon::Question: return MB_ICONQUESTION;
    case BoxIcon::None: break;
  }
  return 0;
}

}  // namespace

void DialogsWin32::ShowMessage(std::string_view text, std::string_view caption, BoxIcon icon, bool topMost) {
  const UINT flags = MB_OK | IconFlag(icon) | (topMost ? MB_TOPMOST : 0u);
  ::MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(), flags);
}

bool DialogsWin32::AskYesNo(std::string_view text, std::string_view caption) {
  return ::MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace tw::win32
