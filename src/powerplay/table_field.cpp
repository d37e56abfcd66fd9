#include "powerplay/table_field.h"

#include "messages/message_writer.h"

namespace tw {
namespace {

bool ValidWidth(int width) { return width == 1 || width == 2 || width == 4; }

void ReportIncorrectSize(MessageWriter& messages) {
  messages.ReportMessage("incorrect size", /*console=*/false, 0, MessageKind::Info);
}

}  // namespace

bool FieldInside(size_t size, size_t position, size_t width) {
  return position <= size && width <= size - position;
}

std::optional<uint32_t> ReadUnsigned(std::span<const uint8_t> table, size_t position, int width) {
  if (!ValidWidth(width) || !FieldInside(table.size(), position, static_cast<size_t>(width))) return std::nullopt;
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | table[position + static_cast<size_t>(i)];
  return value;
}

bool WriteUnsigned(std::span<uint8_t> table, size_t position, int width, uint32_t value) {
  if (!ValidWidth(width) || !FieldInside(table.size(), position, static_cast<size_t>(width))) return false;
  for (int i = 0; i < width; ++i) {
    table[position + static_cast<size_t>(i)] = static_cast<uint8_t>(value & 0xFF);
    value >>= 8;
  }
  return true;
}

int32_t ReadField(std::span<const uint8_t> table, size_t position, int width, MessageWriter& messages) {
  if (!ValidWidth(width)) {
    ReportIncorrectSize(messages);
    return 0;
  }
  return static_cast<int32_t>(ReadUnsigned(table, position, width).value_or(0));
}

bool WriteField(std::span<uint8_t> table, size_t position, int width, int32_t value, MessageWriter& messages) {
  if (!ValidWidth(width)) {
    ReportIncorrectSize(messages);
    return false;
  }
  return WriteUnsigned(table, position, width, static_cast<uint32_t>(value));
}

}  // namespace tw
