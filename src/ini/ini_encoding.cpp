#include "ini/ini_encoding.h"

#include "base/text.h"
#include "platform/ansi_code_page.h"

namespace tw {
namespace {

bool StartsWithBytes(std::string_view bytes, std::string_view mark) { return bytes.substr(0, mark.size()) == mark; }

std::string FromUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return Utf16ToUtf8(units);
}

// A file saved as UTF-16 LE without a mark: its first character is ASCII ("[" or ";").
bool LooksLikeUtf16LeWithoutMark(std::string_view bytes) {
  return bytes.size() >= 2 && bytes.size() % 2 == 0 && bytes[0] != '\0' &&
         static_cast<unsigned char>(bytes[0]) < 0x80 && bytes[1] == '\0';
}

size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// A file made by hand may mix lines typed in different encodings: one line that is not
// UTF-8 must not turn the UTF-8 names of every other line into mojibake.
std::string DecodeLineByLine(std::string_view bytes, AnsiCodePage& ansi) {
  std::string text;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(start, end - start);
    text += IsValidUtf8(line) ? std::string(line) : ansi.ToUtf8(line);
    start = end;
    while (start < bytes.size() && (bytes[start] == '\r' || bytes[start] == '\n')) text += bytes[start++];
  }
  return text;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    const size_t length = Utf8SequenceLength(lead);
    if (length == 0 || pos + length > bytes.size()) return false;
    for (size_t i = 1; i < length; ++i)
      if ((static_cast<unsigned char>(bytes[pos + i]) & 0xC0) != 0x80) return false;
    if (length >= 3) {
      const auto next = static_cast<unsigned char>(bytes[pos + 1]);
      if ((lead == 0xE0 && next < 0xA0) || (lead == 0xED && next > 0x9F) || (lead == 0xF0 && next < 0x90) ||
          (lead == 0xF4 && next > 0x8F))
        return false;  // overlong forms, surrogates, beyond U+10FFFF
    }
    pos += length;
  }
  return true;
}

DecodedIni DecodeIniBytes(std::string_view bytes, AnsiCodePage& ansi) {
  if (StartsWithBytes(bytes, "\xFF\xFE")) return {FromUtf16(bytes.substr(2), false), IniEncoding::Utf16Le};
  if (StartsWithBytes(bytes, "\xFE\xFF")) return {FromUtf16(bytes.substr(2), true), IniEncoding::Utf16Be};
  if (StartsWithBytes(bytes, "\xEF\xBB\xBF")) {
    const std::string_view body = bytes.substr(3);
    // Broken sequences become U+FFFD rather than ending the read.
    return {IsValidUtf8(body) ? std::string(body) : Utf16ToUtf8(Utf8ToUtf16(body)), IniEncoding::Utf8WithMark};
  }
  if (LooksLikeUtf16LeWithoutMark(bytes)) return {FromUtf16(bytes, false), IniEncoding::Utf16Le};
  if (IsValidUtf8(bytes)) return {std::string(bytes), IniEncoding::Utf8};
  return {DecodeLineByLine(bytes, ansi), IniEncoding::Ansi};
}

std::string EncodeIniText(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(2 + utf8.size() * 2);
  bytes += "\xFF\xFE";
  const auto put = [&bytes](char16_t unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  };
  size_t pos = 0;
  while (pos < utf8.size()) {
    // Runs of ASCII, nearly the whole file, skip the general conversion.
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      put(static_cast<char16_t>(utf8[pos++]));
      continue;
    }
    size_t end = pos;
    while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80) ++end;
    for (const char16_t unit : Utf8ToUtf16(utf8.substr(pos, end - pos))) put(unit);
    pos = end;
  }
  return bytes;
}

}  // namespace tw
