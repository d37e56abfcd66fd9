#pragma once
// "Tunewright.ini" (and the backup-settings file) held whole in memory. Every line the
// program does not change is kept as it was read, so sections and keys that belong to
// someone else survive each rewrite with their content and their place.
//
// Rules a hand-edited file is read by:
// - A line whose first non-blank character is "[" and that holds a "]" starts a section;
//   its name is what stands between that "[" and the last "]", blanks removed.
// - Inside a section a line with "=" (not starting with ";" or "#") is an entry; key and
//   value are trimmed of blanks. Other lines (comments, lines without "=") are kept as-is.
// - Section and key names are compared without regard to ASCII letter case.
// - Duplicates: the first section of a name, and within it the first entry of a key, is
//   the one read and changed; later copies are kept untouched. Removing a section or a key
//   removes every copy, so that a stale copy can never take the place of the removed one.

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

namespace tw {

class IniSection {
 public:
  IniSection(std::string header, std::string name);

  const std::string& name() const { return name_; }
  std::optional<std::string_view> Value(std::string_view key) const;
  bool HasKey(std::string_view key) const { return Value(key).has_value(); }
  // Changes the first entry of the key, or adds the key after the section's last entry.
  void SetValue(std::string_view key, std::string_view value);
  // Adds an entry without looking for an existing one (for freshly made sections).
  void Append(std::string_view key, std::string_view value);
  // Changes the first entry of the key in place; a missing key is added right after the
  // first entry of `after` (at the top of the section when `after` is empty or missing).
  void SetValueAfter(std::string_view key, std::string_view value, std::string_view after);
  bool RemoveKey(std::string_view key);
  void Rename(std::string_view name);  // only through IniDocument::ForEachSection

  void AddRawLine(std::string line);
  void Serialize(std::string& out) const;
  // The lines under the header as they stand, trailing empty lines left out.
  std::vector<std::string> Lines() const;

 private:
  struct Line {
    std::string text;
    size_t keyStart = 0;
    size_t keyLength = 0;   // 0: not an entry; the key without its blanks
    size_t valueStart = 0;  // position after "="
  };
  static Line MakeLine(std::string text);
  static std::string EntryText(std::string_view key, std::string_view value);
  static constexpr size_t kNone = static_cast<size_t>(-1);
  size_t IndexOf(std::string_view key) const;
  std::string_view KeyOf(const Line& line) const;

  std::string header_;
  std::string name_;
  std::vector<Line> lines_;
};

class IniDocument {
 public:
  // Text in UTF-8 with any line ends (CR LF, LF or CR).
  static IniDocument Parse(std::string_view text);
  // UTF-8 with CR LF line ends and one empty line after each section.
  std::string Serialize() const;

  const IniSection* Find(std::string_view section) const;
  IniSection* Find(std::string_view section);
  bool HasSection(std::string_view section) const { return Find(section) != nullptr; }
  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
  // Creates the section at the end of the file when it is missing.
  void SetValue(std::string_view section, std::string_view key, std::string_view value);
  bool RemoveKey(std::string_view section, std::string_view key);  // from every copy
  bool RemoveSection(std::string_view section);                    // every copy
  // Removes, in one pass, every section whose name `which` accepts; returns how many.
  size_t RemoveSections(const std::function<bool(const std::string& name)>& which);
  // A new section after all others, even when one of that name exists.
  IniSection& AppendSection(std::string_view section);

  std::vector<std::string> SectionNames() const;
  // Visits every section in file order; `firstOfName` tells the copy that is read.
  void ForEachSection(const std::function<void(IniSection& section, bool firstOfName)>& visit);

 private:
  const std::unordered_map<std::string, size_t>& Index() const;

  std::vector<std::string> preface_;  // lines before the first section
  std::vector<IniSection> sections_;
  // Lower-case name -> position of the first section of that name; rebuilt after removals.
  mutable std::unordered_map<std::string, size_t> index_;
  mutable bool indexed_ = false;
};

}  // namespace tw
