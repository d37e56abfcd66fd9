#include "powerplay/reg_file.h"

#include <optional>

#include "base/integer.h"
#include "base/text.h"
#include "messages/message_writer.h"
#include "platform/file_system.h"
#include "platform/system_errors.h"
#include "powerplay/powerplay_ports.h"
#include "powerplay/registry_table.h"

namespace tw {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr size_t kFirstLineBytes = 16;
constexpr size_t kLineBytes = 25;
constexpr std::string_view kKeyLineStart = "[HKEY_LOCAL_MACHINE\\SYSTEM\\";
constexpr std::string_view kKeyTextStart = "HKEY_LOCAL_MACHINE\\SYSTEM\\";
constexpr std::string_view kLocalMachinePrefix = "HKEY_LOCAL_MACHINE\\";
constexpr size_t kMinKeyLineLength = 60;
constexpr size_t kMaxKeyTextLength = 120;

void AppendDataLine(std::string& text, std::span<const uint8_t> table, size_t from, size_t count) {
  for (size_t i = from; i < from + count; ++i) {
    text += HexByte(table[i], /*upperCase=*/false);
    if (i + 1 < table.size()) text += ',';
  }
  if (from + count < table.size()) text += '\\';
  text += kLineEnd;
}

// Characters as the registry editor counts them (UTF-16 units).
size_t CharCount(std::string_view text) { return Utf8ToUtf16(text).size(); }

bool HasControlCharacter(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20) return true;
  return false;
}

std::optional<uint8_t> ParseRegByte(std::string_view item) {
  if (item.empty() || item.size() > 2) return std::nullopt;
  const auto value = TryParseHex(item);
  if (!value) return std::nullopt;
  return static_cast<uint8_t>(*value);
}

// The hex data of the value: its continued lines joined, each line's ",\" turned into ",".
std::string JoinValueLines(std::string_view afterMarker) {
  std::string data;
  for (const std::string& line : SplitLines(TrimBlanks(afterMarker))) {
    const std::string_view trimmed = TrimBlanks(line);
    if (!EndsWith(trimmed, "\\")) {
      data += trimmed;
      break;
    }
    data += ReplaceAll(trimmed, ",\\", ",");
  }
  return data;
}

void ReportWriteFailure(PowerPlayPorts& ports, const Path& file, uint32_t error) {
  ports.messages.ShowError("Failed to write file \"" + PathToUtf8(file) + "\"", static_cast<int32_t>(error),
                           /*codeIsSystemError=*/true);
}

}  // namespace

std::string BuildRegFileText(std::span<const uint8_t> table, std::string_view regPath) {
  std::string text = "Windows Registry Editor Version 5.00";
  text += kLineEnd;
  text += kLineEnd;
  text += "[HKEY_LOCAL_MACHINE\\" + std::string(regPath) + "]";
  text += kLineEnd;
  text += "\"" + std::string(kPowerPlayValueName) + "\"=hex:";
  size_t from = 0;
  size_t count = std::min(kFirstLineBytes, table.size());
  AppendDataLine(text, table, from, count);
  for (from += count; from < table.size(); from += count) {
    count = std::min(kLineBytes, table.size() - from);
    text += "  ";
    AppendDataLine(text, table, from, count);
  }
  text += kLineEnd;
  return text;
}

std::string EncodeUtf16LeWithBom(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  std::string bytes = "\xFF\xFE";
  bytes.reserve(2 + units.size() * 2);
  for (char16_t unit : units) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

bool WriteRegFile(PowerPlayPorts& ports, std::span<const uint8_t> table, std::string_view regPath, const Path& file) {
  // A name of its own beside the target: two exports at once never write into one file.
  const std::optional<Path> written =
      ports.files.WriteTemporaryFile(file, EncodeUtf16LeWithBom(BuildRegFileText(table, regPath)));
  if (!written) {
    ReportWriteFailure(ports, file, ports.errors.LastError());
    return false;
  }
  const Path& temporary = *written;
  if (!ports.files.MoveFileOver(temporary, file)) {
    const uint32_t error = ports.errors.LastError();
    ports.files.RemoveFile(temporary);
    ReportWriteFailure(ports, file, error);
    return false;
  }
  return ports.files.FileExists(file);
}

bool IsRegFileText(std::string_view text) { return Contains(text, kRegClassMarker) && Contains(text, kRegTableMarker); }

TableParse ParseRegFileText(std::string_view text) {
  const size_t marker = text.find(kRegTableMarker);
  if (marker == std::string_view::npos) return ParseFailure("Failed to read reg file, invalid data: \"\"");
  const std::string data = JoinValueLines(text.substr(marker + kRegTableMarker.size()));
  TableParse parse;
  for (const std::string& item : Split(data, ',')) {
    const auto byte = ParseRegByte(item);
    if (!byte) return ParseFailure("Failed to read reg file, invalid data: \"" + item + "\"");
    parse.table.push_back(*byte);
  }
  const auto sizeField = ReadUnsigned(parse.table, 0, 2);
  if (!sizeField || parse.table.size() < *sizeField)
    return ParseFailure("Failed to read .reg file, incorrect PP_PhmSoftPowerPlayTable data size");
  // The driver and the registry read take only a value of exactly the table's own size:
  // bytes after it would make a saved table that is never loaded again.
  if (const size_t extra = parse.table.size() - *sizeField; extra > 0) {
    parse.table.resize(*sizeField);
    parse.note = "The .reg file holds " + std::to_string(extra) + " byte" + (extra == 1 ? "" : "s") +
                 " after the PowerPlayTable (its size is " + std::to_string(*sizeField) +
                 " bytes); they were left out";
  }
  return parse;
}

std::optional<std::string> KeyTextFromRegFile(std::string_view text) {
  const size_t keyLine = text.find(kKeyLineStart);
  const size_t keyEnd = text.find(']');
  const size_t marker = text.find(kRegTableMarker);
  if (keyLine == std::string_view::npos || keyEnd == std::string_view::npos || marker == std::string_view::npos ||
      keyLine >= marker || keyEnd <= keyLine || keyEnd >= marker || CharCount(text.substr(keyLine, keyEnd - keyLine)) <= kMinKeyLineLength)
    return std::nullopt;
  const size_t keyStart = text.find(kKeyTextStart);  // at the latest inside the key line, so before keyEnd
  const std::string_view key = text.substr(keyStart, keyEnd - keyStart);
  if (CharCount(key) >= kMaxKeyTextLength || HasControlCharacter(key)) return std::nullopt;
  return std::string(key);
}

std::string RegPathFromKeyText(std::string_view keyText) {
  if (keyText.size() >= kLocalMachinePrefix.size() &&
      EqualsIgnoringAsciiCase(keyText.substr(0, kLocalMachinePrefix.size()), kLocalMachinePrefix))
    return std::string(keyText.substr(kLocalMachinePrefix.size()));
  return std::string(keyText);
}

}  // namespace tw
