#pragma once
// The system's ANSI code page: the driver library's fixed char arrays, the log file and
// hand-made ini files without a byte-order mark use it.

#include <string>
#include <string_view>

namespace tw {

class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  virtual std::string ToUtf8(std::string_view ansi) = 0;
  // Characters the code page lacks become '?'.
  virtual std::string FromUtf8(std::string_view utf8) = 0;
};

}  // namespace tw
