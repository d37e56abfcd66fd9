#include "regulator/regulator_write.h"

#include "regulator/regulator_fixture.h"

namespace tw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Write = std::pair<int, int>;

constexpr std::string_view kNull = "NULL";
constexpr const char* kSecurity = "For security reason I2C offset must be between -48 (-300mV) and 48 (+300mV)";

// Card 0 carries an IR3567B (two's complement offset, phase gain, current scale) at line 3,
// address 0x20; card 1 an up9505 (sign-magnitude offset behind an enable register) at line
// 6, address 0x45.
class WriteRegulatorValuesTest : public test::RegulatorTest {
 protected:
  void SetUp() override {
    AddCard(0);
    AddCard(1);
    Device(0, 3, 0x20, test::Ir3567bRegisters());
    Device(1, 6, 0x45, test::Up9505Registers());
    Found(0, 3, 0x20, 0);
    Found(1, 6, 0x45, 1);
  }
  void WriteIr(int32_t offset, int32_t llc = kNotSet, std::string_view phaseGain = kNull,
               std::string_view currentScale = kNull, bool reset = false) {
    WriteRegulatorValues(app.regulatorContext(), 0, reset, offset, llc, phaseGain, currentScale);
  }
  void WriteUp(int32_t offset, int32_t llc = kNotSet, bool reset = false) {
    WriteRegulatorValues(app.regulatorContext(), 1, reset, offset, llc, "112233", "44");
  }
};

struct OffsetCase {
  int32_t offset;
  int irByte;  // -1: nothing written
  int upByte;
};

class WriteOffsetTest : public WriteRegulatorValuesTest, public ::testing::WithParamInterface<OffsetCase> {};

TEST_P(WriteOffsetTest, WritesTheControllersByteOrRefuses) {
  const OffsetCase& c = GetParam();
  WriteIr(c.offset);
  WriteUp(c.offset);
  const bool refused = c.irByte < 0;
  if (refused) {
    EXPECT_THAT(Writes(), IsEmpty());
    EXPECT_THAT(BoxTexts(), ElementsAre(kSecurity, kSecurity));
  } else {
    // The up9505 enables its offset first.
    EXPECT_THAT(Writes(), ElementsAre(Write{0x8D, c.irByte}, Write{0x27, 0x1F}, Write{0x0C, c.upByte}));
    EXPECT_THAT(BoxTexts(), IsEmpty());
  }
  for (const test::FakeI2cTransfer& t : adl.i2cTransfers) {
    EXPECT_EQ(t.speed, 10);
    EXPECT_EQ(t.dataSize, 1);
    EXPECT_EQ(t.address, t.adapter == 0 ? 0x40 : 0x8A);
    EXPECT_EQ(t.line, t.adapter == 0 ? 3 : 6);
  }
}

INSTANTIATE_TEST_SUITE_P(Range, WriteOffsetTest,
                         ::testing::Values(OffsetCase{48, 0x30, 0x30}, OffsetCase{-48, 0xD0, 0xB0},
                                           OffsetCase{-1, 0xFF, 0x81}, OffsetCase{1, 0x01, 0x01},
                                           OffsetCase{0, 0x00, 0x00}, OffsetCase{49, -1, -1},
                                           OffsetCase{-49, -1, -1}, OffsetCase{1000, -1, -1}));

TEST_F(WriteRegulatorValuesTest, NotSetOffsetWritesNothingAndSaysNothing) {
  WriteRegulatorValues(app.regulatorContext(), 1, false, kNotSet, kNotSet, kNull, kNull);
  EXPECT_THAT(adl.i2cTransfers, IsEmpty());
  EXPECT_THAT(BoxTexts(), IsEmpty());
  EXPECT_EQ(adl.contextsCreated, 1);
}

TEST_F(WriteRegulatorValuesTest, RefusedOffsetStillLetsTheOtherValuesThrough) {
  WriteIr(49, 1, "1A2B3C", "05");
  EXPECT_THAT(Writes(), ElementsAre(Write{0x38, 0x01}, Write{0x1E, 0x1A}, Write{0x1F, 0x2B}, Write{0x20, 0x3C},
                                    Write{0x4D, 0x05}));
  EXPECT_THAT(BoxTexts(), ElementsAre(kSecurity));
}

TEST_F(WriteRegulatorValuesTest, LoadLineOnForAnyValueButZero) {
  WriteIr(kNotSet, 5);
  WriteIr(kNotSet, 0);
  WriteUp(kNotSet, 1);
  WriteUp(kNotSet, 0);
  EXPECT_THAT(Writes(), ElementsAre(Write{0x38, 0x01}, Write{0x38, 0x81}, Write{0x28, 0x8C}, Write{0x28, 0x04}));
}

TEST_F(WriteRegulatorValuesTest, ValuesAreWrittenInTheirOrder) {
  WriteIr(-2, 1, "1a2B3c", "Ff");
  EXPECT_THAT(Writes(), ElementsAre(Write{0x8D, 0xFE}, Write{0x38, 0x01}, Write{0x1E, 0x1A}, Write{0x1F, 0x2B},
                                    Write{0x20, 0x3C}, Write{0x4D, 0xFF}));
  EXPECT_EQ(Registers(0, 3, 0x20).at(0x1F), 0x2B);
}

TEST_F(WriteRegulatorValuesTest, ControllerWithoutPhaseGainOrCurrentScaleIgnoresThem) {
  WriteRegulatorValues(app.regulatorContext(), 1, false, kNotSet, kNotSet, "zz", "12345");
  EXPECT_THAT(adl.i2cTransfers, IsEmpty());
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

struct TextCase {
  const char* phaseGain;
  const char* currentScale;
  const char* message;
};

class WrongTextTest : public WriteRegulatorValuesTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(WrongTextTest, IsReportedAndNothingIsWrittenForIt) {
  const TextCase& c = GetParam();
  WriteIr(kNotSet, kNotSet, c.phaseGain, c.currentScale);
  EXPECT_THAT(Writes(), IsEmpty());
  EXPECT_THAT(BoxTexts(), ElementsAre(c.message));
  // The same check applies when resetting.
  fake.dialogs.boxes.clear();
  WriteIr(kNotSet, kNotSet, c.phaseGain, c.currentScale, /*reset=*/true);
  EXPECT_THAT(BoxTexts(), ElementsAre(c.message));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrongTextTest,
    ::testing::Values(
        TextCase{"1A2B3", "NULL", "Wrong data is entered in Phase gain, must be in 3 bytes length hexadecimal format"},
        TextCase{"1A2B3C4", "NULL",
                 "Wrong data is entered in Phase gain, must be in 3 bytes length hexadecimal format"},
        TextCase{"zz1122", "NULL", "Wrong data is entered in Phase gain, \"zz1122\" is not hexadecimal"},
        TextCase{"1122z3", "NULL", "Wrong data is entered in Phase gain, \"1122z3\" is not hexadecimal"},
        TextCase{"NULL", "1", "Wrong data is entered in Current scale, must be in 1 byte hexadecimal format"},
        TextCase{"NULL", "", "Wrong data is entered in Current scale, must be in 1 byte hexadecimal format"},
        TextCase{"NULL", "g0", "Wrong data is entered in Current scale, \"g0\" is not hexadecimal"},
        TextCase{"NULL", "null", "Wrong data is entered in Current scale, must be in 1 byte hexadecimal format"}));

TEST_F(WriteRegulatorValuesTest, FailedPhaseGainWriteStopsTheRemainingPairs) {
  FailI2c(0, 3, 0x20, 0x1F, adl::kI2cActionWrite, -5);
  WriteIr(kNotSet, kNotSet, "1A2B3C", "05");
  EXPECT_THAT(Writes(), ElementsAre(Write{0x1E, 0x1A}, Write{0x1F, 0x2B}, Write{0x4D, 0x05}));
  EXPECT_EQ(Registers(0, 3, 0x20).at(0x20), 0x33);  // the third pair was never sent
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_THAT(fake.dialogs.boxes[0].text, ::testing::StartsWith("Failed to set I2C Phase Gain"));
  EXPECT_THAT(fake.dialogs.boxes[0].text, ::testing::HasSubstr("-5"));
}

struct FailureCase {
  int reg;
  const char* message;
};

// Without it the test framework prints the record's bytes, padding included.
void PrintTo(const FailureCase& c, std::ostream* out) { *out << "register " << c.reg; }

class FailedWriteTest : public WriteRegulatorValuesTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailedWriteTest, IsReportedWithTheDriversCode) {
  FailI2c(1, 6, 0x45, GetParam().reg, adl::kI2cActionWrite, -7);
  FailI2c(0, 3, 0x20, GetParam().reg, adl::kI2cActionWrite, -7);
  if (GetParam().reg == 0x4D)
    WriteIr(kNotSet, kNotSet, kNull, "05");
  else
    WriteUp(3, 1);
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_THAT(fake.dialogs.boxes[0].text, ::testing::StartsWith(GetParam().message));
  EXPECT_THAT(fake.dialogs.boxes[0].text, ::testing::HasSubstr("-7"));
}

INSTANTIATE_TEST_SUITE_P(Registers, FailedWriteTest,
                         ::testing::Values(FailureCase{0x27, "Failed to set I2C Offset"},
                                           FailureCase{0x0C, "Failed to set I2C Offset"},
                                           FailureCase{0x28, "Failed to set I2C LLC"},
                                           FailureCase{0x4D, "Failed to set I2C Current Scale"}));

TEST_F(WriteRegulatorValuesTest, FailedEnableStillWritesTheOffset) {
  FailI2c(1, 6, 0x45, 0x27, adl::kI2cActionWrite, -1);
  WriteUp(-1);
  EXPECT_THAT(Writes(), ElementsAre(Write{0x27, 0x1F}, Write{0x0C, 0x81}));
  EXPECT_EQ(Registers(1, 6, 0x45).at(0x0C), 0x81);
}

TEST_F(WriteRegulatorValuesTest, ResetWritesOffsetZeroAndLoadLineOffOnly) {
  WriteIr(-5, 1, "1A2B3C", "05", /*reset=*/true);
  WriteUp(12, 1, /*reset=*/true);
  EXPECT_THAT(Writes(), ElementsAre(Write{0x8D, 0x00}, Write{0x38, 0x81}, Write{0x27, 0x1F}, Write{0x0C, 0x00},
                                    Write{0x28, 0x04}));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(WriteRegulatorValuesTest, ResetFromTheCommandLineValues) {
  WriteRegulatorValues(app.regulatorContext(), 0, true, 0, 0, kNull, kNull);
  EXPECT_THAT(Writes(), ElementsAre(Write{0x8D, 0x00}, Write{0x38, 0x81}));
}

TEST_F(WriteRegulatorValuesTest, CardWithoutControllerWritesNothingAndOpensNothing) {
  app.gpus[0].i2cFound = false;
  WriteIr(4, 1, "1A2B3C", "05");
  WriteRegulatorValues(app.regulatorContext(), 5, false, 4, 1, kNull, kNull);  // no such card
  EXPECT_THAT(adl.i2cTransfers, IsEmpty());
  EXPECT_EQ(adl.contextsCreated, 0);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(WriteRegulatorValuesTest, FailedConnectionWritesNothing) {
  adl.createResult = adl::kErr;
  WriteIr(4, 1);
  EXPECT_THAT(adl.i2cTransfers, IsEmpty());
}

}  // namespace
}  // namespace tw
