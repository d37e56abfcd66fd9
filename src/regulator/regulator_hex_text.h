#pragma once
// Phase gain and current scale travel as text: two hexadecimal digits per register byte,
// in register order ("1A2B3C" is 0x1A, 0x2B, 0x3C).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The bytes of the digit pairs; nullopt when the length is odd or a character is not a
// hexadecimal digit (either case).
std::optional<std::vector<uint8_t>> HexPairsToBytes(std::string_view text);

// Upper-case digits, two per byte.
std::string BytesToHexPairs(const std::vector<uint8_t>& bytes);

}  // namespace tw
