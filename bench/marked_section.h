#pragma once
// Rewrites the part of a document between two marker lines, so that a benchmark can
// record its latest figures in a README that people also edit by hand.

#include <optional>
#include <string>
#include <string_view>

namespace tw::bench {

// The document with everything between the line `begin` and the line `end` replaced by
// `body` (the marker lines stay). nullopt when either marker line is missing, appears
// twice, or the end comes before the begin: the caller must not guess where to write.
std::optional<std::string> ReplaceMarkedSection(std::string_view document, std::string_view begin,
                                                std::string_view end, std::string_view body);

}  // namespace tw::bench
