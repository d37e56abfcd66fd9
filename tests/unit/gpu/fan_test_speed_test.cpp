#include "gpu/fan_test_speed.h"

#include <gmock/gmock.h>

#include "gpu/setter_fixture.h"

namespace tw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char kNotSupportedText[] = "ADL_ERR_NOT_SUPPORTED - Function not supported by the driver";

class FanTestSpeedTest : public test::SetterFixture {
 protected:
  void SetUp() override {
    AddOverdriveN();  // fan: control mode 1, current 1200, target 2400 RPM, 75 °C, acoustic 1200, minimum 600
    Discover();
  }
  test::FakeAdlCard& card() { return adl.cards.at(0); }
};

TEST_F(FanTestSpeedTest, FixedSpeedGoesThroughOverdrive5WithItsRecord) {
  EXPECT_TRUE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), 70));
  ASSERT_EQ(adl.od5FanSets.size(), 1u);
  const adl::ADLFanSpeedValue& sent = adl.od5FanSets[0];
  EXPECT_EQ(sent.iSize, 0);
  EXPECT_EQ(sent.iSpeedType, 1);
  EXPECT_EQ(sent.iFanSpeed, 70);
  EXPECT_EQ(sent.iFlags, 1);
  EXPECT_THAT(adl.LogOf("ADL2_Overdrive5_FanSpeed_Set"),
              ElementsAre("ADL2_Overdrive5_FanSpeed_Set(0) controller=0 size=0 type=1 speed=70 flags=1 -> 0"));
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_Main_Control_Create", "ADL2_Overdrive5_FanSpeed_Set",
                                       "ADL2_Main_Control_Destroy"));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(FanTestSpeedTest, Overdrive6TakesOverSilentlyWhenOverdrive5Refuses) {
  adl.Fail("ADL2_Overdrive5_FanSpeed_Set", adl::kErrNotSupported);
  EXPECT_TRUE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), 0));
  ASSERT_EQ(adl.od6FanSets.size(), 1u);
  const adl::ADLOD6FanSpeedValue& sent = adl.od6FanSets[0];
  EXPECT_EQ(sent.iSpeedType, 1);
  EXPECT_EQ(sent.iFanSpeed, 0);
  EXPECT_EQ(sent.iExtValue, 0);
  EXPECT_EQ(sent.iExtMask, 0);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(FanTestSpeedTest, BothInterfacesRefusingShowTheOverdrive5Code) {
  adl.Fail("ADL2_Overdrive5_FanSpeed_Set", adl::kErrInvalidParam);
  adl.Fail("ADL2_Overdrive6_FanSpeed_Set", adl::kErrInvalidAdlIdx);
  EXPECT_FALSE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), 100));
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set constant fan speed (ErrorCode: -3) (ADL_ERR_INVALID_PARAM - One "
                                      "of the parameter passed is invalid)"));
  EXPECT_EQ(fake.dialogs.boxes.at(0).icon, BoxIcon::Error);
}

TEST_F(FanTestSpeedTest, NotSupportedFromBothInterfacesIsShownDespiteIgnoreError8) {
  app.options.IgnoreError8 = true;
  adl.Fail("ADL2_Overdrive5_FanSpeed_Set", adl::kErrNotSupported);
  adl.Fail("ADL2_Overdrive6_FanSpeed_Set", adl::kErrNotSupported);
  EXPECT_FALSE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), 20));
  EXPECT_THAT(BoxTexts(), ElementsAre(std::string("Failed to set constant fan speed (ErrorCode: -8) (") +
                                      kNotSupportedText + ")"));
}

TEST_F(FanTestSpeedTest, AutomaticModeResetsThenReappliesTheOverdriveNFanValues) {
  EXPECT_TRUE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), kFanAutomatic));
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_Main_Control_Create", "ADL2_Overdrive5_FanSpeedToDefault_Set",
                                       "ADL2_OverdriveN_FanControl_Get", "ADL2_OverdriveN_FanControl_Set",
                                       "ADL2_Main_Control_Destroy"));
  EXPECT_THAT(adl.LogOf("ADL2_Overdrive5_FanSpeedToDefault_Set"),
              ElementsAre("ADL2_Overdrive5_FanSpeedToDefault_Set(0) controller=0 -> 0"));
  ASSERT_EQ(adl.fanSets.size(), 1u);
  const adl::ADLODNFanControl& sent = adl.fanSets[0];
  EXPECT_EQ(sent.iMode, 3);
  EXPECT_EQ(sent.iFanControlMode, 1);  // the record goes back as it was read
  EXPECT_EQ(sent.iCurrentFanSpeed, 1200);
  EXPECT_EQ(sent.iTargetFanSpeed, 2400);
  EXPECT_EQ(sent.iTargetTemperature, 75);
  EXPECT_EQ(sent.iMinPerformanceClock, 1200);
  EXPECT_EQ(sent.iMinFanLimit, 600);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(FanTestSpeedTest, AutomaticModeThroughOverdrive6ReportsNothing) {
  adl.Fail("ADL2_Overdrive5_FanSpeedToDefault_Set", adl::kErr);
  EXPECT_TRUE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), kFanAutomatic));
  EXPECT_EQ(adl.Calls("ADL2_Overdrive6_FanSpeed_Reset"), 1);
  EXPECT_EQ(adl.fanSets.size(), 1u);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(FanTestSpeedTest, AutomaticModeRefusedShowsItsMessageButNotAFollowingNotSupported) {
  app.options.IgnoreError8 = true;
  adl.Fail("ADL2_Overdrive5_FanSpeedToDefault_Set", adl::kErrNotSupported);
  adl.Fail("ADL2_Overdrive6_FanSpeed_Reset", adl::kErrNotSupported);
  adl.Fail("ADL2_OverdriveN_FanControl_Get", adl::kErrNotSupported);
  EXPECT_FALSE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), kFanAutomatic));
  EXPECT_THAT(BoxTexts(), ElementsAre(std::string("Failed to set Fan to automode (ErrorCode: -8) (") +
                                      kNotSupportedText + ")"));
}

TEST_F(FanTestSpeedTest, AutomaticModeStillReappliesAfterBothResetsFailed) {
  adl.Fail("ADL2_Overdrive5_FanSpeedToDefault_Set", adl::kErr);
  adl.Fail("ADL2_Overdrive6_FanSpeed_Reset", adl::kErr);
  adl.Fail("ADL2_OverdriveN_FanControl_Get", adl::kErrInvalidParam);
  EXPECT_FALSE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), kFanAutomatic));
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set Fan to automode (ErrorCode: -1)",
                                      "Failed to get Fan parameters (ErrorCode: -3) (ADL_ERR_INVALID_PARAM - One of "
                                      "the parameter passed is invalid)"));
}

TEST_F(FanTestSpeedTest, FailedReapplyIsShown) {
  adl.Fail("ADL2_OverdriveN_FanControl_Set", adl::kErr);
  EXPECT_FALSE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), kFanAutomatic));
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set Fan parameters (ErrorCode: -1)"));
}

TEST_F(FanTestSpeedTest, AutomaticModeLeavesADeactivatedFanAlone) {
  app.gpus[0].fanEnabled = false;
  EXPECT_TRUE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), kFanAutomatic));
  EXPECT_EQ(adl.Calls("ADL2_Overdrive5_FanSpeedToDefault_Set"), 1);
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_FanControl_Get"), 0);
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_FanControl_Set"), 0);
}

TEST_F(FanTestSpeedTest, MissingEntryPointIsShownWithTheSystemCode) {
  const char* names[] = {"ADL2_Overdrive5_FanSpeed_Set", "ADL2_Overdrive5_FanSpeedToDefault_Set",
                         "ADL2_Overdrive6_FanSpeed_Set", "ADL2_Overdrive6_FanSpeed_Reset"};
  for (const char* missing : names) {
    fake.dialogs.boxes.clear();
    test::FakeAdl::Install(fake.libraries, "atiadlxx.dll", {missing});
    EXPECT_FALSE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), 30)) << missing;
    EXPECT_THAT(BoxTexts(), ElementsAre("Failed to get ADL function pointers (ErrorCode: 127) (The specified "
                                        "procedure could not be found.)"))
        << missing;
  }
  EXPECT_THAT(adl.od5FanSets, IsEmpty());
  EXPECT_EQ(adl.Calls("ADL2_Overdrive6_FanSpeed_Set"), 0);
}

TEST_F(FanTestSpeedTest, NoConnectionNoCall) {
  fake.libraries.libraries.clear();
  EXPECT_FALSE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), 30));
  EXPECT_THAT(adl.log, IsEmpty());
  EXPECT_EQ(fake.dialogs.boxes.size(), 1u);  // the connection's own message
}

TEST_F(FanTestSpeedTest, SpeedsOutsideThePercentRangeNeverReachTheDriver) {
  const int loadedBefore = fake.libraries.loaded;
  for (int speed : {-2, 101, 1000}) {
    fake.dialogs.boxes.clear();
    EXPECT_FALSE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), speed)) << speed;
    EXPECT_THAT(BoxTexts(), ElementsAre("Put value between 0 and 100")) << speed;
  }
  EXPECT_EQ(fake.libraries.loaded, loadedBefore);
  EXPECT_THAT(adl.log, IsEmpty());
}

class FanTestSpeedNaviTest : public test::SetterFixture {};

TEST_F(FanTestSpeedNaviTest, AutomaticModeOnAnOverdrive8CardAsksForNoOverdriveNValues) {
  AddOverdrive8();
  Discover();
  EXPECT_TRUE(SetFanTestSpeed(app.gpuContext(), app.gpus.at(0), kFanAutomatic));
  EXPECT_EQ(adl.Calls("ADL2_Overdrive5_FanSpeedToDefault_Set"), 1);
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_FanControl_Get"), 0);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

}  // namespace
}  // namespace tw
