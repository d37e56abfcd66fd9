#pragma once
// Where a failed driver read is reported: operations run from the command line pass their
// console flag and go through the message writer; discovery and the window show an error box.

#include <cstdint>
#include <string_view>

namespace tw {

class MessageWriter;

void ReportDriverFailure(MessageWriter& messages, std::string_view text, int32_t result, bool console);

}  // namespace tw
