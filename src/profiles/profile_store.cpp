#include "profiles/profile_store.h"

#include <unordered_set>

#include "base/text.h"
#include "app/app.h"
#include "profiles/make_backup.h"
#include "profiles/ini_file.h"
#include "profiles/profile_section.h"

namespace tw {
namespace {

constexpr int kLoadMissesAllowed = 2;   // the third missing number ends the search
constexpr int kRemovalMissLimit = 11;

// Visits the profile sections that loading reaches: every number with a "Name" key until
// the third missing number in total.
void WalkProfileSections(const IniDocument& document, const std::function<void(const IniSection&)>& visit) {
  int misses = 0;
  for (size_t n = 0;; ++n) {
    const IniSection* section = document.Find(ProfileSectionName(n));
    if (section == nullptr || !section->HasKey("Name")) {
      if (misses == kLoadMissesAllowed) return;
      ++misses;
      continue;
    }
    visit(*section);
  }
}

std::unordered_set<std::string> LoadableSections(const IniDocument& document) {
  std::unordered_set<std::string> loadable;
  WalkProfileSections(document, [&](const IniSection& section) {
    ProfileItem ignored;
    if (ReadProfileSection(section, ignored) == ProfileRead::Loaded) loadable.insert(ToLowerAscii(section.name()));
  });
  return loadable;
}

// A profile section that could not be loaded (a malformed number, beyond the third gap,
// or a later copy of a duplicated number) never reached the list, so the user cannot have
// deleted it: it is kept under another name instead of being removed with the old sections.
void SetAsideUnloadedProfiles(IniDocument& document, const std::unordered_set<std::string>& doomed) {
  const std::unordered_set<std::string> loadable = LoadableSections(document);
  document.ForEachSection([&](IniSection& section, bool firstOfName) {
    const std::string name = ToLowerAscii(section.name());
    if (!doomed.count(name) || !section.HasKey("Name")) return;
    if (firstOfName && loadable.count(name)) return;
    section.Rename(std::string(kUnloadedPrefix) + section.name());
  });
}

}  // namespace

void ReadProfiles(const IniDocument& document, ProfileList& list,
                  const std::function<void(const std::string& name)>& onMalformed) {
  WalkProfileSections(document, [&](const IniSection& section) {
    ProfileItem profile;
    if (ReadProfileSection(section, profile) == ProfileRead::Loaded) {
      list.push_back(std::move(profile));
    } else {
      onMalformed(profile.name);
    }
  });
}

void WriteProfiles(IniDocument& document, const ProfileList& list, bool enableI2c) {
  std::unordered_set<std::string> doomed;
  int misses = 0;
  for (size_t n = 0; misses < kRemovalMissLimit; ++n) {
    const std::string name = ProfileSectionName(n);
    if (document.HasSection(name)) {
      doomed.insert(ToLowerAscii(name));
    } else {
      ++misses;
    }
  }
  // An old section that survived the rule above must not shadow the new one of its number.
  for (size_t i = 0; i < list.size(); ++i) doomed.insert(ToLowerAscii(ProfileSectionName(i)));
  SetAsideUnloadedProfiles(document, doomed);
  document.RemoveSections([&](const std::string& name) { return doomed.count(ToLowerAscii(name)) != 0; });
  for (size_t i = 0; i < list.size(); ++i)
    WriteProfileSection(document.AppendSection(ProfileSectionName(i)), list[i], enableI2c);
}

int LoadProfiles(App& app) {
  const IniRead read = ReadIniFile(app.platform.files, app.platform.ansi, app.paths.iniPath);
  if (read.status == IniReadStatus::Unreadable) ReportReadFailure(app.platform, app.messages, app.paths.iniPath);
  ReadProfiles(read.document, app.profiles, [&](const std::string& name) {
    app.messages.ShowError("Failed to load profile \"" + name + "\" from .ini");
  });
  return static_cast<int>(app.profiles.size());
}

int LoadProfiles(App& app, const IniRead& mainFile) {
  if (mainFile.status == IniReadStatus::Unreadable) return LoadProfiles(app);
  ReadProfiles(mainFile.document, app.profiles, [&](const std::string& name) {
    app.messages.ShowError("Failed to load profile \"" + name + "\" from .ini");
  });
  return static_cast<int>(app.profiles.size());
}

bool SaveProfiles(App& app) {
  std::optional<IniDocument> document = LoadIniForRewrite(app.platform, app.messages, app.paths.iniPath);
  if (!document) return false;
  WriteProfiles(*document, app.profiles, app.options.EnableI2c);
  if (!SaveIniFile(app.platform, app.messages, app.paths.iniPath, *document)) return false;
  if (app.options.CreateAutomatically) MakeBackup(app, false);
  return true;
}

}  // namespace tw
