#include "journal_tally.h"

#include <charconv>
#include <optional>

namespace tw::bench {
namespace {

// The number after " key=" at or before `before`, searched from the end: texts in quotes
// come earlier on the line, so the trailing us= and pid= are found first.
std::optional<int64_t> TrailingNumber(std::string_view line, std::string_view key, size_t before, size_t& at) {
  const std::string pattern = " " + std::string(key) + "=";
  at = line.rfind(pattern, before);
  if (at == std::string_view::npos) return std::nullopt;
  const char* first = line.data() + at + pattern.size();
  const char* last = line.data() + line.size();
  int64_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end == first || (end != last && *end != ' ')) return std::nullopt;
  return value;
}

void TallyLine(std::string_view line, int64_t pid, JournalTally& tally) {
  if (line.empty() || line[0] == '#' || line.rfind("ERROR ", 0) == 0) return;
  size_t pidAt = 0, usAt = 0;
  const std::optional<int64_t> linePid = TrailingNumber(line, "pid", line.size(), pidAt);
  if (!linePid) return;
  const std::optional<int64_t> us = TrailingNumber(line, "us", pidAt, usAt);
  if (!us) return;
  if (pid != kAnyProcess && *linePid != pid) return;
  const std::string name(line.substr(0, line.find(' ')));
  ++tally.calls[name];
  tally.simulatorUs += *us;
  ++tally.lines;
}

}  // namespace

int JournalTally::Count(const std::string& name) const {
  const auto found = calls.find(name);
  return found == calls.end() ? 0 : found->second;
}

int JournalTally::DriverCalls() const {
  int total = 0;
  for (const auto& [name, count] : calls)
    if (name.rfind("ADL2_", 0) == 0) total += count;
  return total;
}

JournalTally TallyJournal(std::string_view journal, int64_t pid) {
  JournalTally tally;
  size_t start = 0;
  while (start < journal.size()) {
    size_t end = journal.find('\n', start);
    if (end == std::string_view::npos) end = journal.size();
    std::string_view line = journal.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    TallyLine(line, pid, tally);
    start = end + 1;
  }
  return tally;
}

}  // namespace tw::bench
