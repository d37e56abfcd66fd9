#pragma once
// The soft PowerPlay table in the registry: the REG_BINARY value "PP_PhmSoftPowerPlayTable"
// of the card's driver key below HKEY_LOCAL_MACHINE. The key is never created.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "powerplay/table_field.h"

namespace tw {

class Machine;
class MessageWriter;
class Registry;

inline constexpr std::string_view kPowerPlayValueName = "PP_PhmSoftPowerPlayTable";
inline constexpr std::string_view kClassKeyPath = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
inline constexpr uint32_t kPowerPlayKeyAccess = 0x4001F;
inline constexpr size_t kRegistryTableCapacity = 4096;
inline constexpr std::string_view kRegeditKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";
inline constexpr std::string_view kRegeditLastKeyName = "LastKey";
inline constexpr std::string_view kRegeditFileName = "regedit.exe";

inline constexpr int kRegistryTableFound = 0;
inline constexpr int kRegistryTableMissing = -1;  // key or value missing, or not readable
inline constexpr int kRegistryTableBadSize = -2;  // byte count differs from the table's size field
inline constexpr int kRegistryTableNotWritten = -3;

// On kRegistryTableFound the table becomes the value's bytes; otherwise it is left as it was.
int ReadRegistryTable(Registry& registry, std::string_view regPath, PowerPlayTable& table);

// kRegistryTableMissing when the key cannot be opened (nothing written, nothing reported);
// kRegistryTableNotWritten, reported, when the table's size field differs from its length
// (nothing written) or when the write itself fails (with the system's error).
int WriteRegistryTable(Registry& registry, MessageWriter& messages, std::string_view regPath,
                       std::span<const uint8_t> table);

// True when the value is gone afterwards: deleted, or there was no key or value.
bool DeleteRegistryTable(Registry& registry, std::string_view regPath);

// Leaves the key text in the registry editor's "LastKey", where it opens at its next start;
// true when the editor's key exists and the value reads back equal.
bool WriteRegeditLastKey(Registry& registry, std::string_view keyText);

// The registry editor by its full path in the Windows folder, the only way it is started:
// by bare name Windows would take a "regedit.exe" beside Tunewright first. Empty when the
// Windows folder cannot be named; then the editor is not started at all.
std::string RegeditPath(Machine& machine);

}  // namespace tw
