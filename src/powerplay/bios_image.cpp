#include "powerplay/bios_image.h"

#include <optional>

namespace tw {
namespace {

constexpr size_t kRomHeaderPointer = 0x48;
constexpr size_t kMasterDataTableField = 0x20;
constexpr size_t kPowerPlayField = 0x22;

std::optional<size_t> FollowPointer(std::span<const uint8_t> image, std::optional<size_t> position) {
  if (!position) return std::nullopt;
  const auto value = ReadUnsigned(image, *position, 2);
  if (!value) return std::nullopt;
  return static_cast<size_t>(*value);
}

std::optional<size_t> Offset(std::optional<size_t> base, size_t field) {
  if (!base) return std::nullopt;
  return *base + field;
}

}  // namespace

TableParse ExtractBiosTable(std::span<const uint8_t> image) {
  if (image.size() % kBiosImageUnit != 0) return ParseFailure("Invalid filesize");
  const auto romHeader = FollowPointer(image, kRomHeaderPointer);
  const auto masterDataTable = FollowPointer(image, Offset(romHeader, kMasterDataTableField));
  const auto powerPlay = FollowPointer(image, Offset(masterDataTable, kPowerPlayField));
  const auto size = FollowPointer(image, powerPlay);
  if (!size || !FieldInside(image.size(), *powerPlay, *size)) return ParseFailure("Failed to read bios file");
  const auto start = image.begin() + static_cast<std::ptrdiff_t>(*powerPlay);
  return {.table = PowerPlayTable(start, start + static_cast<std::ptrdiff_t>(*size))};
}

}  // namespace tw
