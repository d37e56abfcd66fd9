#include "profiles/find_profile.h"

namespace tw {

int FindProfile(const ProfileList& profiles, std::string_view name) {
  for (size_t i = 0; i < profiles.size(); ++i)
    if (profiles[i].name == name) return static_cast<int>(i);
  return -1;
}

}  // namespace tw
