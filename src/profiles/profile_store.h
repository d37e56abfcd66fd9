#pragma once
// The profile list and its sections of "Tunewright.ini".

#include <functional>
#include <string>

#include "ini/ini_document.h"
#include "ini/ini_file.h"
#include "profiles/profile_item.h"

namespace tw {

struct IniContext;
struct OptionSet;

// Appends every readable profile section to `list`; the search ends at the third missing
// section number in total. A section with a malformed number is passed to `onMalformed`
// with the profile's name and left out.
void ReadProfiles(const IniDocument& document, ProfileList& list,
                  const std::function<void(const std::string& name)>& onMalformed);

// A profile section that this run did not load is renamed with this prefix rather than
// removed by a save, e.g. [Unloaded Profile_2] (or [Unloaded Profile_2 (2)] when that name
// is taken); it is then kept like any foreign section.
inline constexpr std::string_view kUnloadedPrefix = "Unloaded ";

// Adds the sections of list[from...] to the known ones (after they were loaded).
void RememberLoadedSections(const ProfileList& list, size_t from, KnownProfileSections& known);

// Removes the old profile sections (until 11 numbers in total were missing), setting
// aside every one that is not in `known`, and writes the list as Profile_0 ... after all
// other sections, each over the lines it was loaded from. `known` becomes what was written.
void WriteProfiles(IniDocument& document, const ProfileList& list, KnownProfileSections& known);

// Whether the file holds any profile section at all, loadable or not (set-aside ones too).
bool HasProfileSection(const IniDocument& document);

// Appends the profiles of the main file to `profiles` (and their sections to `known`);
// returns the list's length after.
int LoadProfiles(const IniContext& ini, ProfileList& profiles, KnownProfileSections& known);
// The same from the main file as the caller has just read it (LoadSettings hands it out).
// A read that failed is not taken: the file is read again, and a failure reported, as by
// the other LoadProfiles.
int LoadProfiles(const IniContext& ini, const IniRead& mainFile, ProfileList& profiles, KnownProfileSections& known);

// Rewrites the profile sections from `profiles` (`known` becomes what was written), then makes the automatic backup
// when it is on, all under the file's lock. False when the file could not be locked, read or written (reported; nothing
// backed up).
bool SaveProfiles(const IniContext& ini, const OptionSet& options, const ProfileList& profiles,
                  KnownProfileSections& known);

}  // namespace tw
