#include "profiles/profile_store.h"

#include <unordered_set>

#include "base/text.h"
#include "ini/ini_file.h"
#include "ini/safe_file_writer.h"
#include "profiles/ini_context.h"
#include "profiles/make_backup.h"
#include "profiles/option_set.h"
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

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// "Unloaded Profile_2", or with " (2)", " (3)" ... when that name is taken.
std::string SetAsideName(const IniDocument& document, const std::string& name) {
  const std::string base = std::string(kUnloadedPrefix) + name;
  std::string candidate = base;
  for (int copy = 2; document.HasSection(candidate); ++copy) candidate = base + " (" + std::to_string(copy) + ")";
  return candidate;
}

// A section about to be removed that this run never loaded nor wrote (malformed, beyond
// the third gap, a later copy of a number, without a Name, or added or mended by hand or
// by another run since) cannot have been deleted by the user: it is renamed and kept.
void SetAsideUnknownSections(IniDocument& document, const std::unordered_set<std::string>& doomed,
                             KnownProfileSections known) {
  std::vector<IniSection*> unknown;
  document.ForEachSection([&](IniSection& section, bool) {
    if (!doomed.count(ToLowerAscii(section.name()))) return;
    const auto it = known.find(JoinLines(section.Lines()));
    if (it != known.end()) {
      known.erase(it);
    } else {
      unknown.push_back(&section);
    }
  });
  for (IniSection* section : unknown) {
    const std::string name = SetAsideName(document, section->name());
    document.ForEachSection([&](IniSection& s, bool) {
      if (&s == section) s.Rename(name);
    });
  }
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

void RememberLoadedSections(const ProfileList& list, size_t from, KnownProfileSections& known) {
  for (size_t i = from; i < list.size(); ++i) known.insert(JoinLines(list[i].sectionLines));
}

void WriteProfiles(IniDocument& document, const ProfileList& list, KnownProfileSections& known) {
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
  SetAsideUnknownSections(document, doomed, known);
  document.RemoveSections([&](const std::string& name) { return doomed.count(ToLowerAscii(name)) != 0; });
  known.clear();
  for (size_t i = 0; i < list.size(); ++i) {
    IniSection& section = document.AppendSection(ProfileSectionName(i));
    for (const std::string& line : list[i].sectionLines) section.AddRawLine(line);
    WriteProfileSection(section, list[i]);
    known.insert(JoinLines(section.Lines()));
  }
}

bool HasProfileSection(const IniDocument& document) {
  for (const std::string& name : document.SectionNames()) {
    const std::string lower = ToLowerAscii(name);
    if (lower.rfind("profile_", 0) == 0 || lower.rfind(ToLowerAscii(std::string(kUnloadedPrefix)) + "profile_", 0) == 0)
      return true;
  }
  return false;
}

int LoadProfiles(const IniContext& ini, ProfileList& profiles, KnownProfileSections& known) {
  const IniRead read = ReadIniFile(ini.platform.files, ini.platform.ansi, ini.paths.iniPath);
  ReportReadProblem(ini.platform, ini.messages, ini.paths.iniPath, read.status);
  const size_t before = profiles.size();
  ReadProfiles(read.document, profiles, [&](const std::string& name) {
    ini.messages.ShowError("Failed to load profile \"" + name + "\" from .ini");
  });
  RememberLoadedSections(profiles, before, known);
  return static_cast<int>(profiles.size());
}

int LoadProfiles(const IniContext& ini, const IniRead& mainFile, ProfileList& profiles, KnownProfileSections& known) {
  // A failed read is tried once more (its report is not repeated).
  if (mainFile.status == IniReadStatus::Unreadable) return LoadProfiles(ini, profiles, known);
  const size_t before = profiles.size();
  ReadProfiles(mainFile.document, profiles, [&](const std::string& name) {
    ini.messages.ShowError("Failed to load profile \"" + name + "\" from .ini");
  });
  RememberLoadedSections(profiles, before, known);
  return static_cast<int>(profiles.size());
}

bool SaveProfiles(const IniContext& ini, const OptionSet& options, const ProfileList& profiles,
                  KnownProfileSections& known) {
  const std::unique_ptr<FileLock> lock = LockForRewrite(ini.platform, ini.messages, ini.paths.iniPath);
  if (!lock) return false;
  std::optional<IniDocument> document = LoadIniForRewrite(ini.platform, ini.messages, ini.paths.iniPath);
  if (!document) return false;
  KnownProfileSections written = known;
  WriteProfiles(*document, profiles, written);
  if (!SaveIniFile(ini.platform, ini.messages, ini.paths.iniPath, *document)) return false;
  known = std::move(written);
  if (options.CreateAutomatically) MakeBackup(ini, options, false);  // still under the lock
  return true;
}

}  // namespace tw
