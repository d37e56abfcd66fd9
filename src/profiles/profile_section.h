#pragma once
// One profile as one ini section, "Profile_" + its list position.

#include <string>

#include "ini/ini_document.h"
#include "profiles/profile_item.h"

namespace tw {

std::string ProfileSectionName(size_t position);

enum class ProfileRead { Loaded, Malformed };

// Fills `profile` from a section that has a "Name" key. Malformed: a P-state or fan-pair
// number that is not an integer; `profile.name` is filled all the same for the report.
ProfileRead ReadProfileSection(const IniSection& section, ProfileItem& profile);

// Writes the keys in the file's order, each under its condition; the regulator keys are
// written whenever they are set, whatever EnableI2c says. Into a section that already holds lines (the profile's sectionLines):
// its keys are changed in place, keys the profile no longer has are removed (every copy),
// new ones placed after the key before them, and every other line kept where it stands.
void WriteProfileSection(IniSection& section, const ProfileItem& profile);

}  // namespace tw
