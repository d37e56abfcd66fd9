#pragma once
// Text helpers shared by the whole core. Text inside the program is UTF-8 std::string;
// UTF-16 appears only at Win32 calls and in the ini file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Paths are kept as std::filesystem::path; these convert without going through the
// narrow locale, which on Windows would not be UTF-8.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// Removes leading and trailing characters up to and including the space (control
// characters count as blanks, as in the ini and profile formats).
std::string_view TrimBlanks(std::string_view text);

std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
bool Contains(std::string_view text, std::string_view piece);

// Substring that never throws: positions past the end give an empty or shorter text.
std::string_view SafeSubstr(std::string_view text, size_t pos, size_t count = std::string_view::npos);

// Characters of UTF-8 text, where the command-line rules count characters: a character is
// a byte that is not a continuation byte together with the continuation bytes after it (a
// stray continuation byte at the start counts as one), so a cut never splits a character.
size_t CharacterCount(std::string_view utf8);
// Up to `count` characters starting at character `first`.
std::string_view CharacterSubstr(std::string_view utf8, size_t first, size_t count = std::string_view::npos);

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceFirst(std::string_view text, std::string_view from, std::string_view to);
std::string RemoveAll(std::string_view text, char c);

std::vector<std::string> Split(std::string_view text, char separator);
// Lines ended by CR LF, a lone LF or a lone CR (old Mac editors), whichever the text uses.
std::vector<std::string> SplitLines(std::string_view text);

// Two hexadecimal digits of a byte.
std::string HexByte(uint8_t value, bool upperCase);

}  // namespace tw
