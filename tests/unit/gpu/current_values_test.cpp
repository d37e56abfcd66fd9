#include "app/read_current_values.h"

#include <gmock/gmock.h>

#include "gpu/driver_fixture.h"
#include "gpu/gpu_list_builder.h"

namespace tw {
namespace {

using ::testing::ElementsAre;

class ReadCurrentValuesTest : public test::DriverFixture {
 protected:
  void SetUp() override {
    adl.AddAdapter(0, 1, 0, 0, "Radeon RX 580 Series");
    test::FakeAdlCard& odn = adl.AddOverdriveNCard(0);
    odn.caps.iMaximumNumberOfPerformanceLevels = 3;
    odn.gpuLevels = {{30000, 750, 1, 0}, {60000, 769, 0, 0}, {134099, 1000, 1, 0}};
    odn.memLevels = {{30000, 750, 1, 0}, {200000, 950, 1, 0}, {0, 0, 0, 0}};
    odn.fan = {0, 1, 1, 1000, 2400, 75, 1200, 600};
    odn.power = {0, 15, 84};
    odn.extValues = {1, 0, 0, 0, 0, 30, 20, 45, 30, 60, 45, 75, 70, 90, 100};
    adl.AddAdapter(1, 2, 0, 0, "Radeon RX 5700 XT");
    test::FakeAdlCard& od8 = adl.AddOverdrive8Card(1);
    for (int i = 0; i < adl::kOd8Count; ++i) od8.od8Values[static_cast<size_t>(i)] = 1000 + i;
    ASSERT_TRUE(ListCards(app));
    ASSERT_EQ(app.gpus.size(), 2u);
    adl.log.clear();
  }
  std::string Console() const { return fake.console.Output(); }
};

TEST_F(ReadCurrentValuesTest, OverdriveNValuesInProgramUnits) {
  ASSERT_TRUE(ReadCurrentValues(app, 0, true));
  const ProfileItem& cv = app.currentValues;
  EXPECT_THAT(cv.gpuClock, ElementsAre(300, 600, 1340));  // 1340.99 MHz is cut to 1340
  EXPECT_THAT(cv.gpuVcc, ElementsAre(750, 769, 1000));
  EXPECT_THAT(cv.gpuEnabled, ElementsAre(true, false, true));
  EXPECT_THAT(cv.memClock, ElementsAre(300, 2000));
  EXPECT_THAT(cv.memVcc, ElementsAre(750, 950));
  EXPECT_EQ(cv.fanMin, 600);
  EXPECT_EQ(cv.fanMax, 2400);
  EXPECT_EQ(cv.fanTarget, 75);
  EXPECT_EQ(cv.fanAcoustic, 1200);
  EXPECT_EQ(cv.memTimingLevel, 1);
  EXPECT_EQ(cv.fanZeroRpm, 0);
  EXPECT_EQ(cv.fanCurve[0], (FanPoint{30, 20}));
  EXPECT_EQ(cv.fanCurve[4], (FanPoint{90, 100}));
  EXPECT_EQ(cv.powerTemp, 84);
  EXPECT_EQ(cv.powerTarget, 15);
  EXPECT_TRUE(fake.console.events.empty());
}

TEST_F(ReadCurrentValuesTest, OverdriveNReadsInOrderWithinOneConnection) {
  ASSERT_TRUE(ReadCurrentValues(app, 0, true));
  EXPECT_THAT(adl.log, ElementsAre("ADL2_Main_Control_Create(1) -> 0", "ADL2_OverdriveN_SystemClocksX2_Get(0) -> 0",
                                   "ADL2_OverdriveN_MemoryClocksX2_Get(0) -> 0",
                                   "ADL2_OverdriveN_FanControl_Get(0) -> 0",
                                   "ADL2_OverdriveN_SettingsExt_Get(0) count=15 -> 0",
                                   "ADL2_OverdriveN_PowerLimit_Get(0) -> 0", "ADL2_Main_Control_Destroy() -> 0"));
}

TEST_F(ReadCurrentValuesTest, NegativeClocksAreCutTowardZero) {
  adl.cards[0].gpuLevels[0].iClock = -199;
  ASSERT_TRUE(ReadCurrentValues(app, 0, true));
  EXPECT_EQ(app.currentValues.gpuClock[0], -1);
}

struct FailureCase {
  std::string entry;
  std::string text;
  bool clocksRead;
  bool fanRead;
};

TEST_F(ReadCurrentValuesTest, EachFailingReadIsReportedAndKeepsWhatWasReadBefore) {
  const FailureCase cases[] = {
      {"ADL2_OverdriveN_SystemClocksX2_Get", "SystemClocks_Get function failed", false, false},
      {"ADL2_OverdriveN_MemoryClocksX2_Get", "MemoryClocks_Get function failed", true, false},
      {"ADL2_OverdriveN_FanControl_Get", "FanControl_Get function failed", true, false},
      {"ADL2_OverdriveN_SettingsExt_Get", "Failed to read Fan curve, Zero RPM and Memory Timing Level for GPU 0", true,
       true},
      {"ADL2_OverdriveN_PowerLimit_Get", "PowerLimit_Get function failed", true, true},
  };
  for (const FailureCase& c : cases) {
    test::FakeAdl local;
    local.adapters = adl.adapters;
    local.cards = adl.cards;
    local.Fail(c.entry, adl::kErrInvalidParam);
    fake.console.events.clear();
    app.currentValues = ProfileItem{};
    EXPECT_FALSE(ReadCurrentValues(app, 0, true)) << c.entry;
    EXPECT_EQ(Console(), "ERROR: " + c.text +
                             " (ErrorCode: -3) (ADL_ERR_INVALID_PARAM - One of the parameter passed is invalid)\n");
    EXPECT_EQ(app.currentValues.gpuClock.size(), 3u);
    EXPECT_EQ(app.currentValues.gpuClock[2], c.clocksRead ? 1340 : 0) << c.entry;
    EXPECT_EQ(app.currentValues.fanMax, c.fanRead ? 2400 : 0) << c.entry;
    EXPECT_EQ(app.currentValues.powerTarget, 0);
    EXPECT_EQ(local.LiveContexts(), 0);
  }
}

TEST_F(ReadCurrentValuesTest, WithoutConsoleFailuresBecomeErrorBoxes) {
  adl.Fail("ADL2_OverdriveN_FanControl_Get", -1);
  EXPECT_FALSE(ReadCurrentValues(app, 0, false));
  EXPECT_THAT(BoxTexts(), ElementsAre("FanControl_Get function failed (ErrorCode: -1)"));
}

TEST_F(ReadCurrentValuesTest, FailedConnectionFailsTheRead) {
  fake.libraries.libraries.clear();
  app.currentValues.gpuClock = {1, 2, 3, 4, 5};
  EXPECT_FALSE(ReadCurrentValues(app, 0, true));
  EXPECT_EQ(app.currentValues.gpuClock.size(), 5u);
}

TEST_F(ReadCurrentValuesTest, Overdrive8ValuesByTheirIds) {
  app.currentValues.fanMin = 11;
  app.currentValues.fanMax = 12;
  app.currentValues.fanTarget = 13;
  app.currentValues.powerTemp = 14;
  app.currentValues.memClock = {1, 2};
  ASSERT_TRUE(ReadCurrentValues(app, 1, true));
  const ProfileItem& cv = app.currentValues;
  EXPECT_THAT(cv.gpuClock, ElementsAre(1002, 1004, 1006));
  EXPECT_THAT(cv.gpuVcc, ElementsAre(1003, 1005, 1007));
  EXPECT_THAT(cv.gpuEnabled, ElementsAre(true, true, true));
  EXPECT_TRUE(cv.memClock.empty());
  EXPECT_TRUE(cv.memVcc.empty());
  EXPECT_EQ(cv.gpuMin, 1001);
  EXPECT_EQ(cv.gpuMax, 1000);
  EXPECT_EQ(cv.memMax, 1008);
  EXPECT_EQ(cv.powerTarget, 1009);
  EXPECT_EQ(cv.fanAcoustic, 1011);
  EXPECT_EQ(cv.memTimingLevel, 1014);
  EXPECT_EQ(cv.fanZeroRpm, 1015);
  EXPECT_EQ(cv.fanCurve[0], (FanPoint{1019, 1020}));
  EXPECT_EQ(cv.fanCurve[4], (FanPoint{1027, 1028}));
  EXPECT_EQ(cv.fanMin, 11);
  EXPECT_EQ(cv.fanMax, 12);
  EXPECT_EQ(cv.fanTarget, 13);
  EXPECT_EQ(cv.powerTemp, 14);
  EXPECT_THAT(adl.log, ElementsAre("ADL2_Main_Control_Create(1) -> 0",
                                   "ADL2_Overdrive8_Current_SettingX2_Get(1) count=29 -> 0",
                                   "ADL2_Main_Control_Destroy() -> 0"));
}

TEST_F(ReadCurrentValuesTest, Overdrive8FailureIsReported) {
  adl.Fail("ADL2_Overdrive8_Current_SettingX2_Get", adl::kErrNotInit);
  EXPECT_FALSE(ReadCurrentValues(app, 1, true));
  EXPECT_EQ(Console(),
            "ERROR: ADL2_Overdrive8_Current_SettingX2_Get function failed for GPU 1 (ErrorCode: -2) (ADL_ERR_NOT_INIT - "
            "ADL not initialized)\n");
}

TEST_F(ReadCurrentValuesTest, Overdrive8ShortOrMissingListFails) {
  adl.returnedCounts["ADL2_Overdrive8_Current_SettingX2_Get"] = 3;
  EXPECT_FALSE(ReadCurrentValues(app, 1, true));
  adl.returnedCounts.clear();
  adl.nullLists.insert("ADL2_Overdrive8_Current_SettingX2_Get");
  EXPECT_FALSE(ReadCurrentValues(app, 1, true));
  EXPECT_EQ(Console(), "ERROR: ADL2_Overdrive8_Current_SettingX2_Get function failed for GPU 1\n"
                       "ERROR: ADL2_Overdrive8_Current_SettingX2_Get function failed for GPU 1\n");
}

TEST_F(ReadCurrentValuesTest, UntunableCardOnlyGetsResizedLists) {
  app.gpus[0].overdriveVersion = 0;
  app.gpus[0].gpuStateCount = 2;
  app.gpus[0].memStateCount = 0;
  app.currentValues.memClock = {5};
  ASSERT_TRUE(ReadCurrentValues(app, 0, true));
  EXPECT_EQ(app.currentValues.gpuClock.size(), 2u);
  EXPECT_TRUE(app.currentValues.memClock.empty());
  EXPECT_THAT(adl.log, ElementsAre("ADL2_Main_Control_Create(1) -> 0", "ADL2_Main_Control_Destroy() -> 0"));
}

TEST_F(ReadCurrentValuesTest, RegulatorFieldsAreClearedOnlyWithI2cEnabled) {
  app.currentValues.offset = 4;
  app.currentValues.llc = 1;
  app.currentValues.phaseGain = "000000";
  app.currentValues.currentScale = "60";
  ASSERT_TRUE(ReadCurrentValues(app, 0, true));
  EXPECT_EQ(app.currentValues.offset, 4);
  EXPECT_EQ(app.currentValues.phaseGain, "000000");
  app.options.EnableI2c = true;
  ASSERT_TRUE(ReadCurrentValues(app, 0, true));
  EXPECT_EQ(app.currentValues.offset, kNotSet);
  EXPECT_EQ(app.currentValues.llc, kNotSet);
  EXPECT_EQ(app.currentValues.phaseGain, "NULL");
  EXPECT_EQ(app.currentValues.currentScale, "NULL");
}

TEST_F(ReadCurrentValuesTest, GpuIdOutsideTheListThrows) {
  EXPECT_THROW(ReadCurrentValues(app, 2, true), std::out_of_range);
  EXPECT_EQ(adl.contextsCreated, 1);  // only discovery's
}

}  // namespace
}  // namespace tw
