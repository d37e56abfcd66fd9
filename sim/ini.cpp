#include "ini.h"

namespace adlsim {

const IniEntry* IniSection::Find(const std::string& key) const {
  for (const IniEntry& entry : entries)
    if (entry.key == key) return &entry;
  return nullptr;
}

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> items;
  if (Trim(text).empty()) return items;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    items.push_back(Trim(text.substr(start, end == std::string::npos ? std::string::npos : end - start)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return items;
}

std::optional<IniDocument> ParseIni(const std::string& text, std::string& error) {
  IniDocument document;
  document.sections.push_back({"", 0, {}});
  size_t start = 0;
  int lineNumber = 0;
  // A UTF-8 byte-order mark from an editor is not part of the first line.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trim(text.substr(start, end - start));
    ++lineNumber;
    start = end + 1;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') {
        error = "line " + std::to_string(lineNumber) + ": section header without ']'";
        return std::nullopt;
      }
      document.sections.push_back({Trim(line.substr(1, line.size() - 2)), lineNumber, {}});
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos || Trim(line.substr(0, equals)).empty()) {
      error = "line " + std::to_string(lineNumber) + ": expected key = value";
      return std::nullopt;
    }
    document.sections.back().entries.push_back(
        {Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), lineNumber});
  }
  return document;
}

}  // namespace adlsim
