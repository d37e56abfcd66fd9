#pragma once
// Latin-1 stands in for the ANSI code page in tests: each byte is the code point of the
// same value, so every byte sequence has exactly one UTF-8 reading.

#include <string>
#include <string_view>

#include "platform/ansi_code_page.h"

namespace tw::test {

class Latin1CodePage final : public AnsiCodePage {
 public:
  std::string ToUtf8(std::string_view ansi) override {
    std::string out;
    for (unsigned char c : ansi) {
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  }
  std::string FromUtf8(std::string_view utf8) override { return std::string(utf8); }
};

}  // namespace tw::test
