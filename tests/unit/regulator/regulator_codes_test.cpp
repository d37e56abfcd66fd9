// The byte and number forms regulator values and locations take: offset bytes of both
// controller kinds, the [I2C] key value, and hex texts.

#include <gmock/gmock.h>

#include "regulator/i2c_location.h"
#include "regulator/regulator_hex_text.h"
#include "regulator/regulator_offset.h"
#include "regulator/regulator_table.h"

namespace tw {
namespace {

using ::testing::ElementsAre;

const RegulatorItem& kTwosComplement = RegulatorTable[0];  // IR3567B
const RegulatorItem& kSignMagnitude = RegulatorTable[1];   // up9505

TEST(RegulatorTableTest, RowsDifferInTheirOffsetForm) {
  EXPECT_FALSE(kTwosComplement.offsetSignMagnitude);
  EXPECT_TRUE(kSignMagnitude.offsetSignMagnitude);
  EXPECT_EQ(RegulatorRow(-1), nullptr);
  EXPECT_EQ(RegulatorRow(2), nullptr);
  EXPECT_EQ(RegulatorRow(1), &RegulatorTable[1]);
}

struct OffsetCase {
  int32_t steps;
  uint8_t twos;
  uint8_t signMagnitude;
};

// Without it the test framework prints the record's bytes, padding included.
void PrintTo(const OffsetCase& c, std::ostream* out) {
  *out << c.steps << " steps -> 0x" << std::hex << int{c.twos} << " / 0x" << int{c.signMagnitude} << std::dec;
}

class OffsetTest : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(OffsetTest, EncodesAndDecodesBothForms) {
  const OffsetCase& c = GetParam();
  EXPECT_EQ(EncodeOffset(kTwosComplement, c.steps), c.twos);
  EXPECT_EQ(EncodeOffset(kSignMagnitude, c.steps), c.signMagnitude);
  EXPECT_EQ(DecodeOffset(kTwosComplement, c.twos), c.steps);
  EXPECT_EQ(DecodeOffset(kSignMagnitude, c.signMagnitude), c.steps);
}

INSTANTIATE_TEST_SUITE_P(Steps, OffsetTest,
                         ::testing::Values(OffsetCase{0, 0x00, 0x00}, OffsetCase{1, 0x01, 0x01},
                                           OffsetCase{-1, 0xFF, 0x81}, OffsetCase{48, 0x30, 0x30},
                                           OffsetCase{-48, 0xD0, 0xB0}, OffsetCase{-8, 0xF8, 0x88},
                                           OffsetCase{127, 0x7F, 0x7F}));

TEST(OffsetDecodeTest, BytesOutsideTheWrittenRangeStillDecode) {
  EXPECT_EQ(DecodeOffset(kTwosComplement, 0x80), -128);
  EXPECT_EQ(DecodeOffset(kSignMagnitude, 0x80), 0);  // "minus zero"
  EXPECT_EQ(DecodeOffset(kSignMagnitude, 0xFF), -127);
  EXPECT_EQ(DecodeOffset(kSignMagnitude, 0x7F), 127);
}

TEST(I2cLocationTest, KeyValueIsLineAddressAndRowInTheirBytes) {
  EXPECT_EQ(EncodeI2cLocation({3, 0x20, 0}), 2097920);
  EXPECT_EQ(EncodeI2cLocation({1, 0x7E, 1}), (1 << 8) | (0x7E << 16) | (1 << 24));
  const std::optional<I2cLocation> decoded = DecodeI2cLocation(2097920);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->line, 3);
  EXPECT_EQ(decoded->address, 0x20);
  EXPECT_EQ(decoded->controller, 0);
}

TEST(I2cLocationTest, EveryLocationSurvivesTheKey) {
  for (int32_t row = 0; row < kRegulatorRowCount; ++row)
    for (int32_t line : {1, 3, 4, 5, 6})
      for (int32_t address : {0, 1, 0x20, 0x45, 126}) {
        const std::optional<I2cLocation> back = DecodeI2cLocation(EncodeI2cLocation({line, address, row}));
        ASSERT_TRUE(back) << line << " " << address << " " << row;
        EXPECT_EQ(back->line, line);
        EXPECT_EQ(back->address, address);
        EXPECT_EQ(back->controller, row);
      }
}

TEST(I2cLocationTest, ZeroAndUnknownRowsMeanNoController) {
  EXPECT_FALSE(DecodeI2cLocation(0));
  EXPECT_FALSE(DecodeI2cLocation(2 << 24 | 3 << 8));  // row 2 does not exist
  EXPECT_FALSE(DecodeI2cLocation(-1));                // row 255
}

TEST(HexTextTest, PairsBecomeBytesInOrder) {
  EXPECT_THAT(*HexPairsToBytes("1A2B3C"), ElementsAre(0x1A, 0x2B, 0x3C));
  EXPECT_THAT(*HexPairsToBytes("ff"), ElementsAre(0xFF));
  EXPECT_FALSE(HexPairsToBytes("zz1122"));
  EXPECT_FALSE(HexPairsToBytes("1A2B3"));
  EXPECT_FALSE(HexPairsToBytes("+1"));
  EXPECT_FALSE(HexPairsToBytes(" 1"));
  EXPECT_EQ(BytesToHexPairs({0x0A, 0xBC, 0x00}), "0ABC00");
}

}  // namespace
}  // namespace tw
