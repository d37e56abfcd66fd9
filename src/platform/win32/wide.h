#pragma once
// UTF-8 <-> UTF-16 at the Win32 boundary (wchar_t is 16 bits on Windows).

#include <string>
#include <string_view>

#include "base/text.h"

namespace tw::win32 {

inline std::wstring Wide(std::string_view utf8) {
  const std::u16string u16 = Utf8ToUtf16(utf8);
  return std::wstring(u16.begin(), u16.end());
}

inline std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace tw::win32
