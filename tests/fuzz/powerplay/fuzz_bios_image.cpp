// Arbitrary bytes as the start of a video BIOS image, padded to whole 64 KiB blocks so that
// the pointer chase is reached; the extracted table must lie inside the image.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "powerplay/bios_image.h"
#include "powerplay/table_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> raw(data, data + size);
  tw::ExtractBiosTable(raw);  // mostly "Invalid filesize"

  const size_t blocks = std::max<size_t>(1, (size + tw::kBiosImageUnit - 1) / tw::kBiosImageUnit);
  std::vector<uint8_t> image(blocks * tw::kBiosImageUnit, 0);
  std::copy(raw.begin(), raw.end(), image.begin());
  const tw::TableParse parse = tw::ExtractBiosTable(image);
  if (!parse.ok()) {
    TW_FUZZ_CHECK(parse.table.empty());
    return 0;
  }
  TW_FUZZ_CHECK(parse.table.size() <= image.size());
  if (parse.table.size() >= 2) TW_FUZZ_CHECK((parse.table[0] | (parse.table[1] << 8)) == static_cast<int>(parse.table.size()));
  tw::IdentifyTable(parse.table);
  return 0;
}
