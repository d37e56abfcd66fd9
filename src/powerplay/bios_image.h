#pragma once
// The PowerPlay table inside a video BIOS image.

#include <cstdint>
#include <span>

#include "powerplay/table_parse.h"

namespace tw {

inline constexpr size_t kBiosImageUnit = 65536;

// Follows the ROM header (16-bit position at 0x48), the master data table (at ROM header
// + 0x20) and the PowerPlay table (at master data table + 0x22), whose own first 16 bits are
// its size. "Invalid filesize" when the image is not a whole number of 64 KiB blocks,
// "Failed to read bios file" when a position or the table lies outside it.
TableParse ExtractBiosTable(std::span<const uint8_t> image);

}  // namespace tw
