#pragma once
// A small ini reader for scenario and state files: sections in file order, keys in file
// order, each with the line it came from so that a bad value can be named precisely.

#include <optional>
#include <string>
#include <vector>

namespace adlsim {

struct IniEntry {
  std::string key;
  std::string value;
  int line = 0;
};

struct IniSection {
  std::string name;
  int line = 0;
  std::vector<IniEntry> entries;

  const IniEntry* Find(const std::string& key) const;
};

struct IniDocument {
  std::vector<IniSection> sections;
};

// Comments start with ';' or '#' at the beginning of a line. Keys outside any section go
// to a section with an empty name. Returns nullopt with `error` set for a line that is
// neither a section, a key nor blank.
std::optional<IniDocument> ParseIni(const std::string& text, std::string& error);

std::string Trim(const std::string& text);
std::vector<std::string> SplitList(const std::string& text, char separator);

}  // namespace adlsim
