#include "powerplay/table_file.h"

#include "base/text.h"
#include "messages/message_writer.h"
#include "platform/ansi_code_page.h"
#include "platform/system_errors.h"
#include "powerplay/bios_image.h"
#include "powerplay/powerplay_ports.h"
#include "powerplay/reg_file.h"
#include "powerplay/table_layout.h"

namespace tw {
namespace {

constexpr uint32_t kMinLooksLikeRevision = 5;
constexpr uint32_t kMaxLooksLikeRevision = 55;

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    units += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return Utf16ToUtf8(units);
}

std::span<const uint8_t> AsBytes(std::string_view bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

TableParse ParseTableFile(std::string_view bytes, const std::string& text) {
  if (IsRegFileText(text)) return ParseRegFileText(text);
  return ExtractBiosTable(AsBytes(bytes));
}

void TakeKeyFromFile(const std::string& text, TableFileKey& fileKey) {
  fileKey = {};
  if (!IsRegFileText(text)) return;
  if (const auto keyText = KeyTextFromRegFile(text)) {
    fileKey.found = true;
    fileKey.keyText = *keyText;
    fileKey.regPath = RegPathFromKeyText(*keyText);
  }
}

}  // namespace

bool TableSizeOk(std::span<const uint8_t> table) {
  return table.size() >= kMinFileTableSize && table.size() <= kMaxFileTableSize;
}

bool LooksLikeTable(std::span<const uint8_t> table) {
  const auto sizeField = ReadUnsigned(table, 0, 2);
  const auto revision = ReadUnsigned(table, 2, 1);
  return sizeField && revision && *sizeField == table.size() && table.size() > kMinFileTableSize &&
         *revision >= kMinLooksLikeRevision && *revision <= kMaxLooksLikeRevision;
}

std::string DecodeFileText(std::string_view bytes, AnsiCodePage& ansi) {
  if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), /*bigEndian=*/false);
  if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), /*bigEndian=*/true);
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  return ansi.ToUtf8(bytes);
}

bool ReadTableFile(PowerPlayPorts& ports, const Path& file, PowerPlayTable& table, TableFileKey* fileKey) {
  table.clear();
  const auto bytes = ports.files.ReadFile(file);
  if (!bytes) {
    ports.messages.ShowError("Failed to open file \"" + PathToUtf8(file) + "\"",
                             static_cast<int32_t>(ports.errors.LastError()), /*codeIsSystemError=*/true);
    return false;
  }
  const std::string text = DecodeFileText(*bytes, ports.ansi);
  TableParse parse = ParseTableFile(*bytes, text);
  if (!parse.ok()) {
    ports.messages.ShowError(parse.error);
    return false;
  }
  if (!TableSizeOk(parse.table)) {
    ports.messages.ShowError("Failed to read PowerPlayTable");
    return false;
  }
  table = std::move(parse.table);
  if (!parse.note.empty()) ports.messages.ReportMessage(parse.note, /*console=*/false, 0, MessageKind::Warning);
  if (fileKey) TakeKeyFromFile(text, *fileKey);
  const TableCheck check = CheckTable(table);
  if (!check.damage.empty())
    ports.messages.ShowError("The PowerPlayTable is damaged (" + check.damage + "); it is treated as not supported");
  return true;
}

}  // namespace tw
