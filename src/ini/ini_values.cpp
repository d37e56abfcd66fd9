#include "ini/ini_values.h"

#include "base/integer.h"

namespace tw {

int32_t ReadInteger(const IniDocument& document, std::string_view section, std::string_view key, int32_t fallback) {
  const std::optional<std::string_view> value = document.Value(section, key);
  if (!value) return fallback;
  return TryParseInt32(*value).value_or(fallback);
}

bool ReadBool(const IniDocument& document, std::string_view section, std::string_view key, bool fallback) {
  return ReadInteger(document, section, key, fallback ? 1 : 0) != 0;
}

}  // namespace tw
