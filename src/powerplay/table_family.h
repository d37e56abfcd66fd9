#pragma once
// The three table families the editor understands.

#include <string_view>

namespace tw {

enum class TableFamily { Fiji = 0, Polaris = 1, Vega = 2, Unsupported = -1 };

// "Fiji table found", "Polaris table found", "Vega table found" or "not supported".
std::string_view TableFamilyText(TableFamily family);

}  // namespace tw
