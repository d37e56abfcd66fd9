// Writes the seed corpora of the PowerPlay fuzz targets, made from the family layouts:
//   make_powerplay_corpus <corpus folder>   (tests/fuzz/corpus)

#include <filesystem>
#include <fstream>
#include <string>

#include "powerplay/reg_file.h"
#include "powerplay/table_builder.h"

namespace {

namespace fs = std::filesystem;
using tw::test::TableSpec;

void Write(const fs::path& folder, const std::string& name, const std::string& bytes) {
  fs::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary) << bytes;
}

std::string Bytes(const tw::PowerPlayTable& table) { return std::string(table.begin(), table.end()); }

TableSpec MakeTableSpec(tw::TableFamily family, int vegaRevision = 1) {
  TableSpec tableSpec;
  tableSpec.family = family;
  tableSpec.vegaGpuRevision = vegaRevision;
  return tableSpec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const fs::path root = argv[1];
  const std::pair<const char*, TableSpec> tables[] = {
      {"fiji", MakeTableSpec(tw::TableFamily::Fiji)},
      {"polaris", MakeTableSpec(tw::TableFamily::Polaris)},
      {"vega_rev0", MakeTableSpec(tw::TableFamily::Vega, 0)},
      {"vega_rev1", MakeTableSpec(tw::TableFamily::Vega, 1)},
      {"vega_rev2_unsupported", MakeTableSpec(tw::TableFamily::Vega, 2)},
  };
  for (const auto& [name, tableSpec] : tables) {
    const tw::PowerPlayTable table = tw::test::BuildTable(tableSpec).bytes;
    Write(root / "fuzz_powerplay_table", name, Bytes(table));
    Write(root / "fuzz_reg_file", std::string(name) + ".reg",
          tw::EncodeUtf16LeWithBom(tw::BuildRegFileText(
              table, "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0000")));
  }
  TableSpec many = MakeTableSpec(tw::TableFamily::Polaris);
  for (uint32_t i = 0; i < 4; ++i) many.gpu.push_back({210000 + i * 1000, static_cast<uint8_t>(i)});
  Write(root / "fuzz_powerplay_table", "polaris_12_states", Bytes(tw::test::BuildTable(many).bytes));
  // The fuzz target pads BIOS images to 64 KiB, so the seed holds only the part that matters.
  const tw::PowerPlayTable polaris = tw::test::BuildTable(MakeTableSpec(tw::TableFamily::Polaris)).bytes;
  const std::string image = tw::test::BuildBiosImage(polaris, 1, 0x500);
  Write(root / "fuzz_bios_image", "polaris_bios", image.substr(0, 0x500 + polaris.size()));
  Write(root / "fuzz_reg_file", "plain_ansi.reg", tw::BuildRegFileText(polaris, "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0001"));
  return 0;
}
