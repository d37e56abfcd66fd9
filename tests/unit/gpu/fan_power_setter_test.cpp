#include <gmock/gmock.h>

#include "gpu/fan_control_setter.h"
#include "gpu/power_limit_setter.h"
#include "gpu/setter_fixture.h"
#include "profiles/profile_item.h"

namespace tw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Every field in record order, so that a field the program should have left 0 shows.
std::vector<int> Fields(const adl::ADLODNFanControl& r) {
  return {r.iMode,           r.iFanControlMode,    r.iCurrentFanSpeedMode, r.iCurrentFanSpeed,
          r.iTargetFanSpeed, r.iTargetTemperature, r.iMinPerformanceClock, r.iMinFanLimit};
}
std::vector<int> Fields(const adl::ADLODNPowerLimitSetting& r) { return {r.iMode, r.iTDPLimit, r.iMaxOperatingTemperature}; }

template <class Record>
std::vector<std::vector<int>> AllFields(const std::vector<Record>& records) {
  std::vector<std::vector<int>> out;
  for (const Record& r : records) out.push_back(Fields(r));
  return out;
}

class FanPowerSetterTest : public test::SetterFixture {
 protected:
  void SetUp() override {
    AddOverdriveN();  // holds fan min 600, max 2400, target 75 °C, acoustic 1200; power 0 %, 84 °C
    Open();
  }
  test::FakeAdlCard& card() { return adl.cards.at(0); }
  const FanControlValues kFan{800, 3000, 80, 1500};
  bool SetFan(bool keepOthers, const FanControlValues& values, std::string_view failure = "") {
    return SetFanControl(Context(), keepOthers, values, failure);
  }
};

// ---- Fan control ----------------------------------------------------------------------------

TEST_F(FanPowerSetterTest, CommandLineSendsEveryFanValueAndNothingElse) {
  ASSERT_TRUE(SetFan(false, kFan));
  EXPECT_THAT(AllFields(adl.fanSets), ElementsAre(ElementsAre(3, 0, 0, 0, 3000, 80, 1500, 800)));
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_OverdriveN_FanControl_Set"));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(FanPowerSetterTest, KeepOthersSendsOnlyTheAcousticLimitOfTheCaller) {
  ASSERT_TRUE(SetFan(true, kFan));
  EXPECT_THAT(AllFields(adl.fanSets), ElementsAre(ElementsAre(3, 0, 0, 0, 2400, 75, 1500, 600)));
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_OverdriveN_FanControl_Get", "ADL2_OverdriveN_FanControl_Set"));
}

TEST_F(FanPowerSetterTest, KeepOthersWithAFailingReadSendsTheCallersValues) {
  adl.Fail("ADL2_OverdriveN_FanControl_Get", adl::kErrNotSupported);
  ASSERT_TRUE(SetFan(true, kFan));
  EXPECT_THAT(AllFields(adl.fanSets), ElementsAre(ElementsAre(3, 0, 0, 0, 3000, 80, 1500, 800)));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

// A profile has no minimum, maximum or target of its own: when the card cannot tell its
// own either, zeros (a fan that never spins) must not go out in their place.
TEST_F(FanPowerSetterTest, KeepOthersWithoutValuesOfItsOwnSendsNothingWhenTheCardCannotBeRead) {
  const FanControlValues profile{kNotSet, kNotSet, kNotSet, 1500};
  ASSERT_TRUE(SetFan(true, profile));  // readable: the card's own values go out
  EXPECT_THAT(AllFields(adl.fanSets), ElementsAre(ElementsAre(3, 0, 0, 0, 2400, 75, 1500, 600)));
  adl.Fail("ADL2_OverdriveN_FanControl_Get", adl::kErrInvalidAdlIdx);
  EXPECT_FALSE(SetFan(true, profile, "Failed to set Fan values for GPU 0"));
  EXPECT_EQ(adl.fanSets.size(), 1u);
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set Fan values for GPU 0: the card's current fan values could not "
                                      "be read (ErrorCode: -5) (ADL_ERR_INVALID_ADL_IDX - Invalid ADL index passed)"));
}

TEST_F(FanPowerSetterTest, ResetBeforeApplyIsSkippedForACallerWithoutTheValuesItStartsWith) {
  app.options.ResetBeforeApply = true;
  ASSERT_TRUE(SetFan(true, {kNotSet, kNotSet, kNotSet, 1500}));
  EXPECT_THAT(AllFields(adl.fanSets), ElementsAre(ElementsAre(3, 0, 0, 0, 2400, 75, 1500, 600)));
  ASSERT_TRUE(SetPowerLimit(Context(), true, kNotSet, 20, ""));
  EXPECT_THAT(AllFields(adl.powerSets), ElementsAre(ElementsAre(3, 20, 84)));
}

TEST_F(FanPowerSetterTest, FanResetBeforeApplySendsValuesDefaultsValues) {
  app.options.ResetBeforeApply = true;
  ASSERT_TRUE(SetFan(false, kFan));
  EXPECT_THAT(AllFields(adl.fanSets), ElementsAre(ElementsAre(3, 0, 0, 0, 3000, 80, 1500, 800),
                                                  ElementsAre(1, 0, 0, 0, 0, 0, 0, 0),
                                                  ElementsAre(3, 0, 0, 0, 3000, 80, 1500, 800)));
}

TEST_F(FanPowerSetterTest, FanResetIsSkippedWhenItsFirstSetFailsAndTheValuesStillGo) {
  app.options.ResetBeforeApply = true;
  adl.Fail("ADL2_OverdriveN_FanControl_Set", adl::kErrInvalidParam, 1, 1);
  ASSERT_TRUE(SetFan(false, kFan));
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_FanControl_Set"), 2);
  EXPECT_THAT(AllFields(adl.fanSets), ElementsAre(ElementsAre(3, 0, 0, 0, 3000, 80, 1500, 800)));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(FanPowerSetterTest, FanReadBackListsEveryDifferenceInOrder) {
  app.options.CheckValuesMismatch = true;
  card().afterSet = [](test::FakeAdlCard& c) { c.fan = {3, 0, 0, 0, 2900, 79, 1490, 790}; };
  ASSERT_TRUE(SetFan(false, kFan));
  EXPECT_THAT(BoxTexts(), ElementsAre("Fan values mismatch for GPU 0.\n"
                                      "Minimum (RPM): got '790 RPM' instead of '800 RPM'\n"
                                      "Maximum (RPM): got '2900 RPM' instead of '3000 RPM'\n"
                                      "Target Temp.: (°C): got '79 °C' instead of '80 °C'\n"
                                      "Acoustic Limit (MHz): got '1490 MHz' instead of '1500 MHz'\n"));
}

TEST_F(FanPowerSetterTest, FanReadBackComparesWithWhatWasSent) {
  app.options.CheckValuesMismatch = true;
  ASSERT_TRUE(SetFan(true, kFan));  // the card's own minimum, maximum and target went out
  EXPECT_THAT(BoxTexts(), IsEmpty());
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_FanControl_Get"), 2);
}

TEST_F(FanPowerSetterTest, FanValuesOutsideTheRangesShowTheAcousticRange) {
  EXPECT_FALSE(SetFan(false, {800, 4000, 80, 1500}));
  EXPECT_FALSE(SetFan(false, {800, 3000, 20, 4000}, "Failed to set Fan values for GPU 0"));
  EXPECT_THAT(BoxTexts(),
              ElementsAre("Failed to set Fan values (ErrorCode: -1) (Values are above driver limits)\n"
                          "Current limits for GPU 0:\n300 MHz < Fan Acoustic Limit < 2000 MHz\n",
                          "Failed to set Fan values for GPU 0 (ErrorCode: -1) (Values are above/below driver "
                          "limits)\nCurrent limits for GPU 0:\n300 MHz < Fan Acoustic Limit < 2000 MHz\n"));
}

TEST_F(FanPowerSetterTest, FanRefusalIsNotReadBack) {
  app.options.CheckValuesMismatch = true;
  app.options.IgnoreError8 = true;
  adl.Fail("ADL2_OverdriveN_FanControl_Set", adl::kErrNotSupported);
  EXPECT_FALSE(SetFan(false, kFan));
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_FanControl_Get"), 0);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

// ---- Power limit ----------------------------------------------------------------------------

TEST_F(FanPowerSetterTest, CommandLineSendsBothPowerValues) {
  ASSERT_TRUE(SetPowerLimit(Context(), false, 85, 20, ""));
  EXPECT_THAT(AllFields(adl.powerSets), ElementsAre(ElementsAre(3, 20, 85)));
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_OverdriveN_PowerLimit_Set"));
}

TEST_F(FanPowerSetterTest, KeepOthersKeepsTheCardsMaximumTemperature) {
  ASSERT_TRUE(SetPowerLimit(Context(), true, 85, 20, ""));
  EXPECT_THAT(AllFields(adl.powerSets), ElementsAre(ElementsAre(3, 20, 84)));
  adl.Fail("ADL2_OverdriveN_PowerLimit_Get", adl::kErr);
  ASSERT_TRUE(SetPowerLimit(Context(), true, 85, 10, ""));
  EXPECT_THAT(AllFields(adl.powerSets), ElementsAre(ElementsAre(3, 20, 84), ElementsAre(3, 10, 85)));
}

TEST_F(FanPowerSetterTest, KeepOthersWithoutATemperatureOfItsOwnSendsNothingWhenTheCardCannotBeRead) {
  ASSERT_TRUE(SetPowerLimit(Context(), true, kNotSet, 20, ""));
  EXPECT_THAT(AllFields(adl.powerSets), ElementsAre(ElementsAre(3, 20, 84)));
  adl.Fail("ADL2_OverdriveN_PowerLimit_Get", adl::kErr);
  EXPECT_FALSE(SetPowerLimit(Context(0, true), true, kNotSet, 10, "Failed to set Power values for GPU 0"));
  EXPECT_EQ(adl.powerSets.size(), 1u);
  EXPECT_EQ(fake.console.Output(),
            "ERROR: Failed to set Power values for GPU 0: the card's current power values could not be read "
            "(ErrorCode: -1)\n");
}

TEST_F(FanPowerSetterTest, PowerResetBeforeApplySendsValuesDefaultsValues) {
  app.options.ResetBeforeApply = true;
  ASSERT_TRUE(SetPowerLimit(Context(), false, 85, 20, ""));
  EXPECT_THAT(AllFields(adl.powerSets),
              ElementsAre(ElementsAre(3, 20, 85), ElementsAre(1, 0, -1), ElementsAre(3, 20, 85)));
}

TEST_F(FanPowerSetterTest, PowerReadBackListsDifferencesInOrder) {
  app.options.CheckValuesMismatch = true;
  card().afterSet = [](test::FakeAdlCard& c) { c.power = {3, 19, 84}; };
  ASSERT_TRUE(SetPowerLimit(Context(), false, 85, 20, ""));
  EXPECT_THAT(BoxTexts(), ElementsAre("Power values mismatch for GPU 0.\n"
                                      "Max Temp. (°C): got '84 °C' instead of '85 °C'\n"
                                      "Power Target (%): got '19 %' instead of '20 %'\n"));
}

TEST_F(FanPowerSetterTest, PowerOutsideTheRangesShowsThePowerRange) {
  const std::string range = "Current limits for GPU 0:\n-50 % < Power Target < 50 %\n";
  EXPECT_FALSE(SetPowerLimit(Context(), false, 85, 60, ""));
  EXPECT_FALSE(SetPowerLimit(Context(), false, 40, -20, ""));
  EXPECT_FALSE(SetPowerLimit(Context(), false, 95, -60, "Failed to set Power values for GPU 0"));
  EXPECT_THAT(BoxTexts(),
              ElementsAre("Failed to set Power values (ErrorCode: -1) (Values are above driver limits)\n" + range,
                          "Failed to set Power values (ErrorCode: -1) (Values are below driver limits)\n" + range,
                          "Failed to set Power values for GPU 0 (ErrorCode: -1) (Values are above/below driver "
                          "limits)\n" + range));
  EXPECT_THAT(adl.powerSets.size(), 3u);
  EXPECT_EQ(card().power.iTDPLimit, 0);  // nothing was taken
}

TEST_F(FanPowerSetterTest, PowerRefusalWithAnotherCodeIsReportedWithIt) {
  adl.Fail("ADL2_OverdriveN_PowerLimit_Set", adl::kErrInvalidAdlIdx);
  EXPECT_FALSE(SetPowerLimit(Context(0, true), false, 85, 20, ""));
  EXPECT_EQ(fake.console.Output(),
            "ERROR: Failed to set Power values (ErrorCode: -5) (ADL_ERR_INVALID_ADL_IDX - Invalid ADL index passed)\n");
}

}  // namespace
}  // namespace tw
