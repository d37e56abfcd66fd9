#pragma once
// Little-endian fields of a soft PowerPlay table. The table is a plain byte buffer that the
// driver reads at its next start, so every access here is checked against the buffer: a
// field that does not lie wholly inside it is neither read nor written.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tw {

class MessageWriter;

using PowerPlayTable = std::vector<uint8_t>;

// True when `width` bytes from `position` lie inside a buffer of `size` bytes.
bool FieldInside(size_t size, size_t position, size_t width);

// The unsigned value of a 1-, 2- or 4-byte field; nullopt when the width is none of these
// or the field does not lie inside the table.
std::optional<uint32_t> ReadUnsigned(std::span<const uint8_t> table, size_t position, int width);

// Writes the low `width` bytes of value; false (nothing written) for another width or a
// field outside the table.
bool WriteUnsigned(std::span<uint8_t> table, size_t position, int width, uint32_t value);

// The editor's access: a width other than 1, 2 or 4 shows "incorrect size" as a plain
// message and reads 0 or writes nothing; a field outside the table reads 0 or writes
// nothing.
int32_t ReadField(std::span<const uint8_t> table, size_t position, int width, MessageWriter& messages);
bool WriteField(std::span<uint8_t> table, size_t position, int width, int32_t value, MessageWriter& messages);

}  // namespace tw
