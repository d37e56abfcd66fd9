// Where regulator detection and reading meet the rest of the program: the command line's
// detection before the first command, and reading a card's current values.

#include "app/app_operations.h"
#include "app/read_current_values.h"
#include "gpu/gpu_list_builder.h"
#include "regulator/regulator_fixture.h"

namespace tw {
namespace {

using ::testing::IsEmpty;

class RegulatorWiringTest : public test::RegulatorTest {
 protected:
  AppOperations ops{app, nullptr};

  void SetUp() override {
    PutIni("[General]\nEnableI2c=1\n\n");
    app.regulatorDetection.consoleMode = true;
  }
};

TEST_F(RegulatorWiringTest, DetectionRunsOnceWithEnableI2c) {
  app.options.EnableI2c = true;
  app.regulatorDetection.scan = true;
  AddCard(0);
  Device(0, 1, 0x08, test::Ir3567bRegisters());
  ops.DetectRegulatorsOnce();
  EXPECT_TRUE(app.gpus[0].i2cFound);
  const size_t transfers = adl.i2cTransfers.size();
  ops.DetectRegulatorsOnce();
  EXPECT_EQ(adl.i2cTransfers.size(), transfers);
  EXPECT_EQ(adl.contextsCreated, 1);
}

TEST_F(RegulatorWiringTest, DetectionVerifiesWhenTheSettingsSaySo) {
  app.options.EnableI2c = true;
  app.regulatorDetection.scan = false;
  AddCard(0);
  Device(0, 1, 0x08, test::Ir3567bRegisters());  // not stored: not searched
  ops.DetectRegulatorsOnce();
  EXPECT_FALSE(app.gpus[0].i2cFound);
  EXPECT_THAT(adl.i2cTransfers, IsEmpty());
  EXPECT_TRUE(app.regulatorDetection.done);
}

TEST_F(RegulatorWiringTest, NoDetectionWithEnableI2cOff) {
  app.regulatorDetection.scan = true;
  AddCard(0);
  Device(0, 1, 0x08, test::Ir3567bRegisters());
  ops.DetectRegulatorsOnce();
  EXPECT_FALSE(app.gpus[0].i2cFound);
  EXPECT_EQ(adl.contextsCreated, 0);
  EXPECT_FALSE(app.regulatorDetection.done);
}

class CurrentRegulatorValuesTest : public RegulatorWiringTest {
 protected:
  void SetUp() override {
    RegulatorWiringTest::SetUp();
    adl.AddAdapter(0, 1, 0, 0, "Radeon RX 580 Series");
    adl.AddOverdriveNCard(0);
    ASSERT_TRUE(ListCards(app));
    ASSERT_EQ(app.gpus.size(), 1u);
    Device(0, 3, 0x20, test::Ir3567bRegisters())[0x8D] = 0x04;
    app.currentValues.offset = 9;
    app.currentValues.phaseGain = "ABCDEF";
  }
};

TEST_F(CurrentRegulatorValuesTest, AreReadWithEnableI2c) {
  app.options.EnableI2c = true;
  Found(0, 3, 0x20, 0);
  ASSERT_TRUE(ReadCurrentValues(app, 0, true));
  EXPECT_EQ(app.currentValues.offset, 4);
  EXPECT_EQ(app.currentValues.llc, 1);
  EXPECT_EQ(app.currentValues.phaseGain, "112233");
  EXPECT_EQ(app.currentValues.currentScale, "44");
}

TEST_F(CurrentRegulatorValuesTest, AreNotSetForACardWithoutController) {
  app.options.EnableI2c = true;
  ASSERT_TRUE(ReadCurrentValues(app, 0, true));
  EXPECT_EQ(app.currentValues.offset, kNotSet);
  EXPECT_EQ(app.currentValues.phaseGain, "NULL");
  EXPECT_THAT(adl.i2cTransfers, IsEmpty());
}

TEST_F(CurrentRegulatorValuesTest, AreLeftAloneWithEnableI2cOff) {
  Found(0, 3, 0x20, 0);
  ASSERT_TRUE(ReadCurrentValues(app, 0, true));
  EXPECT_EQ(app.currentValues.offset, 9);
  EXPECT_EQ(app.currentValues.phaseGain, "ABCDEF");
  EXPECT_THAT(adl.i2cTransfers, IsEmpty());
}

}  // namespace
}  // namespace tw
