#pragma once
// Typed reads of ini values: a missing or malformed value reads as the key's default.

#include <cstdint>
#include <string>
#include <string_view>

#include "ini/ini_document.h"

namespace tw {

inline constexpr std::string_view kGeneralSection = "General";

int32_t ReadInteger(const IniDocument& document, std::string_view section, std::string_view key, int32_t fallback);
// Any integer other than 0 is true.
bool ReadBool(const IniDocument& document, std::string_view section, std::string_view key, bool fallback);
inline std::string BoolText(bool value) { return value ? "1" : "0"; }

}  // namespace tw
