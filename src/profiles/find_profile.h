#pragma once

#include <string_view>

#include "profiles/profile_item.h"

namespace tw {

// Position of the first profile whose name equals `name` exactly (case-sensitive, not
// trimmed), or -1.
int FindProfile(const ProfileList& profiles, std::string_view name);

}  // namespace tw
