#pragma once
// Loading a table from a file the user picks: a .reg file or a video BIOS image.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "powerplay/table_field.h"

namespace tw {

class AnsiCodePage;
struct PowerPlayPorts;

inline constexpr size_t kMinFileTableSize = 150;
inline constexpr size_t kMaxFileTableSize = 2000;

// The key a .reg file names, for an editor opened without a card.
struct TableFileKey {
  bool found = false;
  std::string keyText;  // "HKEY_LOCAL_MACHINE\SYSTEM\..."; the path field shows it + "\PP_PhmSoftPowerPlayTable"
  std::string regPath;  // the key text without "HKEY_LOCAL_MACHINE\"
};

// The buffer holds 150 to 2000 bytes.
bool TableSizeOk(std::span<const uint8_t> table);

// For tables IdentifyTable does not know: the size field equals the buffer size, which is
// more than 150, and the format revision at 2 lies from 5 to 55.
bool LooksLikeTable(std::span<const uint8_t> table);

// The file's text: UTF-16 (either byte order) or UTF-8 after a byte-order mark, the ANSI
// code page without one.
std::string DecodeFileText(std::string_view bytes, AnsiCodePage& ansi);

// Empties the table, then fills it from the file. Every failure is reported with an error
// box and leaves the table empty. A table whose header names a family but whose positions
// reach outside it loads, with a message saying that it is treated as not supported.
// `fileKey` is given only when the editor has no card: it then receives the key a .reg file
// names.
bool ReadTableFile(PowerPlayPorts& ports, const Path& file, PowerPlayTable& table, TableFileKey* fileKey = nullptr);

}  // namespace tw
