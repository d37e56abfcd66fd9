#include "journal.h"

#include <cstdio>

#include "state.h"

namespace adlsim {

JournalLine& JournalLine::Add(const std::string& key, int value) { return Add(key, std::to_string(value)); }

JournalLine& JournalLine::Add(const std::string& key, const std::string& value) {
  text_ += " " + key + "=" + value;
  return *this;
}

JournalLine& JournalLine::AddText(const std::string& key, const std::string& value) {
  std::string quoted = Quote(value);
  // Blanks inside quotes stay readable; a reader splits on blanks outside quotes only.
  return Add(key, quoted);
}

JournalLine& JournalLine::AddHex(const std::string& key, int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<unsigned>(value));
  return Add(key, buffer);
}

JournalLine& JournalLine::AddList(const std::string& key, const std::vector<int>& values) {
  std::string text;
  for (size_t i = 0; i < values.size(); ++i) text += (i ? "," : "") + std::to_string(values[i]);
  return Add(key, text.empty() ? "-" : text);
}

}  // namespace adlsim
