#pragma once
// Bytes of an ini file to text and back. The program writes UTF-16 little-endian with a
// byte-order mark; files made by hand are also read in UTF-16 big-endian (with its mark),
// UTF-8 (with or without its mark) and, without a mark, line by line: a line that is valid
// UTF-8 as UTF-8, any other in the ANSI code page. Every rewrite is UTF-16 LE with a mark,
// so such a file changes its encoding but every line keeps its text.

#include <string>
#include <string_view>

namespace tw {

class AnsiCodePage;

// Ansi: at least one line was read in the ANSI code page.
enum class IniEncoding { Utf16Le, Utf16Be, Utf8WithMark, Utf8, Ansi };

struct DecodedIni {
  std::string text;  // UTF-8
  IniEncoding encoding = IniEncoding::Utf16Le;
};

// A UTF-16 file with an odd number of bytes ends in half a character (a truncated file):
// that last byte is dropped. Unpaired surrogates become U+FFFD.
DecodedIni DecodeIniBytes(std::string_view bytes, AnsiCodePage& ansi);

// Byte-order mark followed by the text in UTF-16 LE.
std::string EncodeIniText(std::string_view utf8);

bool IsValidUtf8(std::string_view bytes);

}  // namespace tw
