#include "regulator/regulator_hex_text.h"

#include "base/integer.h"
#include "base/text.h"

namespace tw {

std::optional<std::vector<uint8_t>> HexPairsToBytes(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < text.size(); i += 2) {
    const std::optional<uint32_t> value = TryParseHex(text.substr(i, 2));
    if (!value) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(*value));
  }
  return bytes;
}

std::string BytesToHexPairs(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (uint8_t byte : bytes) text += HexByte(byte, /*upperCase=*/true);
  return text;
}

}  // namespace tw
