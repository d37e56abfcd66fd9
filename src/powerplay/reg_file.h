#pragma once
// .reg files holding a soft PowerPlay table: the file the registry editor imports, written
// by WriteRegFile and read back by ReadTableFile.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "powerplay/table_parse.h"

namespace tw {

struct PowerPlayPorts;

inline constexpr std::string_view kRegTableMarker = "PP_PhmSoftPowerPlayTable\"=hex:";
inline constexpr std::string_view kRegClassMarker = "\\Control\\Class\\";

// The file's text (UTF-8, CR LF line ends): header, key line, then the bytes as lower-case
// hex, 16 on the value's first line and 25 on each following line, ending with an empty line.
std::string BuildRegFileText(std::span<const uint8_t> table, std::string_view regPath);

// UTF-16 little-endian with the byte-order mark FF FE.
std::string EncodeUtf16LeWithBom(std::string_view utf8);

// Writes the table as a .reg file for the key (replacing the file through a temporary file
// beside it); true when the new file is in place. Failures are reported with an error box.
bool WriteRegFile(PowerPlayPorts& ports, std::span<const uint8_t> table, std::string_view regPath, const Path& file);

// Both markers present: the text is a .reg file rather than a video BIOS image.
bool IsRegFileText(std::string_view text);

// The table bytes of the value, or the invalid-data or data-size message.
TableParse ParseRegFileText(std::string_view text);

// The key the file names ("HKEY_LOCAL_MACHINE\SYSTEM\..." up to the "]"), when it is a
// plausible key line that ends before the value.
std::optional<std::string> KeyTextFromRegFile(std::string_view text);

// The key text without its leading "HKEY_LOCAL_MACHINE\" (any case).
std::string RegPathFromKeyText(std::string_view keyText);

}  // namespace tw
