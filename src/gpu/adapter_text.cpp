#include "gpu/adapter_text.h"

#include <algorithm>
#include <string_view>

#include "platform/ansi_code_page.h"

namespace tw {

std::string AdapterText(const char* chars, size_t capacity, AnsiCodePage& ansi) {
  const char* end = std::find(chars, chars + capacity, '\0');
  return ansi.ToUtf8(std::string_view(chars, static_cast<size_t>(end - chars)));
}

}  // namespace tw
