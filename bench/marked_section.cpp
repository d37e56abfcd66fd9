#include "marked_section.h"

namespace tw::bench {
namespace {

// The offset of the line that is exactly `marker`, or npos; `twice` is set when there
// are more.
size_t FindMarkerLine(std::string_view document, std::string_view marker, bool& twice) {
  size_t found = std::string_view::npos;
  size_t start = 0;
  while (start < document.size()) {
    size_t end = document.find('\n', start);
    if (end == std::string_view::npos) end = document.size();
    std::string_view line = document.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line == marker) {
      if (found != std::string_view::npos) twice = true;
      found = start;
    }
    start = end + 1;
  }
  return found;
}

}  // namespace

std::optional<std::string> ReplaceMarkedSection(std::string_view document, std::string_view begin,
                                                std::string_view end, std::string_view body) {
  if (begin == end) return std::nullopt;
  bool twice = false;
  const size_t beginAt = FindMarkerLine(document, begin, twice);
  const size_t endAt = FindMarkerLine(document, end, twice);
  if (twice || beginAt == std::string_view::npos || endAt == std::string_view::npos || endAt < beginAt)
    return std::nullopt;
  const size_t bodyAt = document.find('\n', beginAt) + 1;
  std::string result(document.substr(0, bodyAt));
  result += body;
  if (!body.empty() && body.back() != '\n') result += '\n';
  result += document.substr(endAt);
  return result;
}

}  // namespace tw::bench
