#include "regulator/regulator_read.h"

#include "regulator/regulator_fixture.h"
#include "regulator/regulator_write.h"

namespace tw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ReadRegulatorValuesTest : public test::RegulatorTest {
 protected:
  void SetUp() override {
    AddCard(0);
    AddCard(1);
    ir = &Device(0, 3, 0x20, test::Ir3567bRegisters());
    up = &Device(1, 6, 0x45, test::Up9505Registers());
    Found(0, 3, 0x20, 0);
    Found(1, 6, 0x45, 1);
    Clear();
  }
  void Clear() {
    app.currentValues.offset = kNotSet;
    app.currentValues.llc = kNotSet;
    app.currentValues.phaseGain = "NULL";
    app.currentValues.currentScale = "NULL";
  }
  void Read(int gpuId) { ReadRegulatorValues(app.regulatorContext(), gpuId, nullptr); }
  const ProfileItem& values() const { return app.currentValues; }

  std::map<int, uint8_t>* ir = nullptr;
  std::map<int, uint8_t>* up = nullptr;
};

TEST_F(ReadRegulatorValuesTest, Ir3567bGivesAllFourValuesInUpperCase) {
  (*ir)[0x8D] = 0xFF;
  (*ir)[0x1E] = 0xAB;
  (*ir)[0x4D] = 0x0c;
  Read(0);
  EXPECT_EQ(values().offset, -1);
  EXPECT_EQ(values().llc, 1);
  EXPECT_EQ(values().phaseGain, "AB2233");
  EXPECT_EQ(values().currentScale, "0C");
  EXPECT_THAT(ReadRegisters(), ElementsAre(0x8D, 0x38, 0x1E, 0x1F, 0x20, 0x4D));
  for (const test::FakeI2cTransfer& t : adl.i2cTransfers) {
    EXPECT_EQ(t.speed, 15);
    EXPECT_EQ(t.dataSize, 1);
    EXPECT_EQ(t.action, 3);
  }
}

TEST_F(ReadRegulatorValuesTest, Up9505ReadsOffsetBehindItsEnableRegister) {
  (*up)[0x0C] = 0x81;
  (*up)[0x28] = 0x04;
  app.currentValues.phaseGain = "123456";  // a model without phase gain gives none
  Read(1);
  EXPECT_EQ(values().offset, -1);
  EXPECT_EQ(values().llc, 0);
  EXPECT_EQ(values().phaseGain, "NULL");
  EXPECT_EQ(values().currentScale, "NULL");
  EXPECT_THAT(ReadRegisters(), ElementsAre(0x27, 0x0C, 0x28));
}

TEST_F(ReadRegulatorValuesTest, DisabledOffsetReadsAsZeroWithoutReadingTheOffset) {
  (*up)[0x27] = 0x1E;
  (*up)[0x0C] = 0x05;
  Read(1);
  EXPECT_EQ(values().offset, 0);
  EXPECT_THAT(ReadRegisters(), ElementsAre(0x27, 0x28));
}

TEST_F(ReadRegulatorValuesTest, WrittenValuesReadBack) {
  for (int32_t offset : {-48, -1, 0, 1, 48}) {
    WriteRegulatorValues(app.regulatorContext(), 0, false, offset, 5, "1A2B3C", "7F");
    WriteRegulatorValues(app.regulatorContext(), 1, false, offset, 5, "NULL", "NULL");
    Read(0);
    EXPECT_EQ(values().offset, offset);
    EXPECT_EQ(values().llc, 1);
    EXPECT_EQ(values().phaseGain, "1A2B3C");
    EXPECT_EQ(values().currentScale, "7F");
    Read(1);
    EXPECT_EQ(values().offset, offset);
    EXPECT_EQ(values().llc, 1);
  }
}

TEST_F(ReadRegulatorValuesTest, UnknownLoadLineByteIsReportedOnEveryRead) {
  (*ir)[0x38] = 0x0a;
  app.currentValues.llc = 1;
  Read(0);
  Read(0);
  EXPECT_EQ(values().llc, 1);  // left as it was
  EXPECT_THAT(BoxTexts(), ElementsAre("I2C LLC has wrong value=0x0A", "I2C LLC has wrong value=0x0A"));
  EXPECT_TRUE(app.gpus[0].i2cFound);
}

TEST_F(ReadRegulatorValuesTest, FailedReadDropsTheControllerForTheRestOfTheRun) {
  FailI2c(0, 3, 0x20, 0x38, adl::kI2cActionReadRepeatedStart, -1);
  (*ir)[0x8D] = 0x02;
  app.currentValues.llc = 1;
  Read(0);
  EXPECT_FALSE(app.gpus[0].i2cFound);
  EXPECT_EQ(values().offset, 2);
  EXPECT_EQ(values().llc, kNotSet);
  EXPECT_EQ(values().phaseGain, "112233");  // later values are still read
  EXPECT_EQ(values().currentScale, "44");
  EXPECT_THAT(BoxTexts(), IsEmpty());
  const size_t transfers = adl.i2cTransfers.size();
  const int contexts = adl.contextsCreated;
  Read(0);
  WriteRegulatorValues(app.regulatorContext(), 0, false, 4, 1, "NULL", "NULL");
  EXPECT_EQ(adl.i2cTransfers.size(), transfers);
  EXPECT_EQ(adl.contextsCreated, contexts);
  EXPECT_EQ(values().currentScale, "44");  // kept what it held
}

TEST_F(ReadRegulatorValuesTest, FailedPhaseGainReadStopsAtTheFirstFailure) {
  FailI2c(0, 3, 0x20, 0x1F, adl::kI2cActionReadRepeatedStart, -1);
  Read(0);
  EXPECT_EQ(values().phaseGain, "NULL");
  EXPECT_EQ(values().currentScale, "44");
  EXPECT_THAT(ReadRegisters(), ElementsAre(0x8D, 0x38, 0x1E, 0x1F, 0x4D));
}

TEST_F(ReadRegulatorValuesTest, FailedEnableReadLeavesTheOffsetToItsRegister) {
  FailI2c(1, 6, 0x45, 0x27, adl::kI2cActionReadRepeatedStart, -1);
  (*up)[0x0C] = 0x83;
  Read(1);
  EXPECT_FALSE(app.gpus[1].i2cFound);
  EXPECT_EQ(values().offset, -3);
}

TEST_F(ReadRegulatorValuesTest, CardWithoutControllerKeepsTheValues) {
  app.gpus[0].i2cFound = false;
  app.currentValues.offset = 7;
  Read(0);
  Read(9);
  EXPECT_EQ(values().offset, 7);
  EXPECT_EQ(adl.contextsCreated, 0);
}

}  // namespace
}  // namespace tw
