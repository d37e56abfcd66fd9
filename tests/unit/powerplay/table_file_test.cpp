#include "powerplay/table_file.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "messages/message_writer.h"
#include "powerplay/bios_image.h"
#include "powerplay/powerplay_ports.h"
#include "powerplay/table_builder.h"
#include "powerplay/table_layout.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

using test::BuildBiosImage;
using test::BuildTable;
using test::Put16;

class TableFileTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};
  PowerPlayPorts ports{fake.files, fake.errors, fake.ansi, messages};
  PowerPlayTable polaris = BuildTable({}).bytes;

  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : fake.dialogs.boxes) texts.push_back(box.text);
    return texts;
  }

  void ExpectLoadFails(const std::string& image, const std::string& message) {
    fake.files.files["card.rom"] = image;
    fake.dialogs.boxes.clear();
    PowerPlayTable read{7};
    EXPECT_FALSE(ReadTableFile(ports, "card.rom", read));
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{message}));
  }
};

TEST_F(TableFileTest, BiosImagesOfWholeBlocksLoadTheirTable) {
  for (size_t blocks : {1u, 2u, 4u}) {
    SCOPED_TRACE(blocks);
    fake.files.files["card.rom"] = BuildBiosImage(polaris, blocks, 65536 - polaris.size());
    PowerPlayTable read;
    ASSERT_TRUE(ReadTableFile(ports, "card.rom", read));
    EXPECT_EQ(read, polaris);
    EXPECT_EQ(IdentifyTable(read), TableFamily::Polaris);
  }
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(TableFileTest, BiosImageOfTheWrongSizeIsRefused) {
  ExpectLoadFails(BuildBiosImage(polaris) + "x", "Invalid filesize");
  ExpectLoadFails(BuildBiosImage(polaris).substr(0, 65535), "Invalid filesize");
  ExpectLoadFails("", "Failed to read bios file");  // zero blocks: no ROM header pointer
}

TEST_F(TableFileTest, PositionsOutsideTheImageAreRefused) {
  struct Case {
    const char* name;
    size_t field;  // position of the 16-bit value to change
    uint32_t value;
  };
  const Case cases[] = {
      {"RomHeaderPointerAtTheEnd", 0x48, 0xFFFF},
      {"RomHeaderFieldOutside", 0x48, 0xFFE0},       // ROM header + 0x20 = 0x10000
      {"MasterDataTableFieldOutside", 0x220, 0xFFDE},  // + 0x22 = 0x10000
      {"PowerPlayTableSizeFieldOutside", 0x422, 0xFFFF},
      {"PowerPlayTableReachesPastTheEnd", 0x422, static_cast<uint32_t>(65536 - 100)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string image = BuildBiosImage(polaris);
    image[c.field] = static_cast<char>(c.value & 0xFF);
    image[c.field + 1] = static_cast<char>(c.value >> 8);
    // Where the table moved, its first bytes claim 0xFFFF bytes.
    if (c.value == 65536 - 100) image[65536 - 100] = image[65536 - 99] = '\xFF';
    ExpectLoadFails(image, "Failed to read bios file");
  }
}

TEST_F(TableFileTest, TableEndingExactlyAtTheImageEndLoads) {
  const std::string image = BuildBiosImage(polaris, 1, 65536 - polaris.size());
  const TableParse parse = ExtractBiosTable(std::span(reinterpret_cast<const uint8_t*>(image.data()), image.size()));
  ASSERT_TRUE(parse.ok());
  EXPECT_EQ(parse.table, polaris);
}

TEST_F(TableFileTest, TablesOutside150To2000BytesAreRefused) {
  for (size_t size : {2u, 149u, 2001u, 4000u}) {
    SCOPED_TRACE(size);
    PowerPlayTable table(size, 1);
    Put16(table, 0, static_cast<uint32_t>(size));
    ExpectLoadFails(BuildBiosImage(table), "Failed to read PowerPlayTable");
  }
  ExpectLoadFails(BuildBiosImage(PowerPlayTable{0, 0}), "Failed to read PowerPlayTable");  // an empty table
}

TEST_F(TableFileTest, TableSizeOkAndLooksLikeTable) {
  struct Case {
    size_t size;
    uint32_t sizeField;
    uint8_t revision;
    bool sizeOk, looksLike;
  };
  const Case cases[] = {
      {149, 149, 7, false, false}, {150, 150, 7, true, false},   {151, 151, 7, true, true},
      {151, 152, 7, true, false},  {151, 151, 4, true, false},   {151, 151, 5, true, true},
      {151, 151, 55, true, true},  {151, 151, 56, true, false},  {2000, 2000, 8, true, true},
      {2001, 2001, 8, false, true}, {3, 3, 7, false, false},
  };
  for (const Case& c : cases) {
    PowerPlayTable table(c.size, 0);
    Put16(table, 0, c.sizeField);
    table[2] = c.revision;
    EXPECT_EQ(TableSizeOk(table), c.sizeOk) << c.size << "/" << c.sizeField << "/" << int(c.revision);
    EXPECT_EQ(LooksLikeTable(table), c.looksLike) << c.size << "/" << c.sizeField << "/" << int(c.revision);
  }
  EXPECT_FALSE(LooksLikeTable(PowerPlayTable{}));
  EXPECT_FALSE(LooksLikeTable(PowerPlayTable{2, 0}));
}

TEST_F(TableFileTest, ADamagedTableLoadsAsUnsupportedWithAMessage) {
  test::BuiltTable built = BuildTable({});
  built.bytes[built.gpuTablePos + 1] = 250;  // GPU records far past the end
  fake.files.files["card.rom"] = BuildBiosImage(built.bytes);
  PowerPlayTable read;
  ASSERT_TRUE(ReadTableFile(ports, "card.rom", read));
  EXPECT_EQ(read, built.bytes);
  EXPECT_EQ(IdentifyTable(read), TableFamily::Unsupported);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"The PowerPlayTable is damaged (the records of the GPU clock table "
                                                  "reach outside the table); it is treated as not supported"}));
}

TEST_F(TableFileTest, DecodesByteOrderMarks) {
  EXPECT_EQ(DecodeFileText(std::string("\xFF\xFE" "A\0\xE9\0", 6), fake.ansi), "A\xC3\xA9");
  EXPECT_EQ(DecodeFileText(std::string("\xFE\xFF\0A\0\xE9", 6), fake.ansi), "A\xC3\xA9");
  EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF" "abc", fake.ansi), "abc");
  EXPECT_EQ(DecodeFileText(std::string("\xFF\xFE" "A\0B", 5), fake.ansi), "A");  // odd trailing byte dropped
  EXPECT_EQ(DecodeFileText("plain", fake.ansi), "plain");
}

TEST_F(TableFileTest, ARegFileNeedsBothMarkers) {
  // Without "\Control\Class\" the file is taken as a BIOS image, and its size decides.
  ExpectLoadFails("[HKEY_LOCAL_MACHINE\\SYSTEM\\X]\r\n\"PP_PhmSoftPowerPlayTable\"=hex:00,01", "Invalid filesize");
}

}  // namespace
}  // namespace tw
