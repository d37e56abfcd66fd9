#include "gpu/ext_settings_setter.h"

#include <gmock/gmock.h>

#include "gpu/setter_fixture.h"

namespace tw {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class ExtSettingsSetterTest : public test::SetterFixture {
 protected:
  void SetUp() override {
    AddOverdriveN();  // defaults: timing 0, zero RPM on, curve 30/20 45/30 60/45 75/70 90/100
    Open();
  }
  test::FakeAdlCard& card() { return adl.cards.at(0); }
  static constexpr ExtValues kDefaultCurve = {1, 1, 0, 0, 0, 30, 20, 45, 30, 60, 45, 75, 70, 90, 100};
  static constexpr ExtValues kOwnCurve = {2, 0, 7, 8, 9, 35, 25, 50, 35, 65, 50, 80, 75, 95, 100};
};

TEST_F(ExtSettingsSetterTest, EveryValueIsValidAndTheFurtherSettingsGoAsZero) {
  ExtValues values = kOwnCurve;
  ASSERT_TRUE(SetExtSettings(Context(), values));
  ASSERT_EQ(adl.extSets.size(), 1u);
  EXPECT_EQ(adl.extSets[0].count, 15);
  EXPECT_THAT(adl.extSets[0].valid, ElementsAreArray(std::vector<int>(15, 1)));
  EXPECT_THAT(adl.extSets[0].values, ElementsAre(2, 0, 0, 0, 0, 35, 25, 50, 35, 65, 50, 80, 75, 95, 100));
  EXPECT_THAT(values, ElementsAre(2, 0, 0, 0, 0, 35, 25, 50, 35, 65, 50, 80, 75, 95, 100));  // changed in place
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_OverdriveN_SettingsExt_Set"));
}

TEST_F(ExtSettingsSetterTest, CurveEqualToTheDefaultsIsSentAsTenMinusOne) {
  ExtValues values = kDefaultCurve;
  ASSERT_TRUE(SetExtSettings(Context(), values));
  ASSERT_EQ(adl.extSets.size(), 1u);
  EXPECT_THAT(adl.extSets[0].values, ElementsAre(1, 1, 0, 0, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
}

TEST_F(ExtSettingsSetterTest, CurveDifferingInOneValueIsSentAsItIs) {
  ExtValues values = kDefaultCurve;
  values[14] = 99;
  ASSERT_TRUE(SetExtSettings(Context(), values));
  EXPECT_THAT(adl.extSets.at(0).values, ElementsAre(1, 1, 0, 0, 0, 30, 20, 45, 30, 60, 45, 75, 70, 90, 99));
}

TEST_F(ExtSettingsSetterTest, FanSwitchedOffAppliesOnlyTimingAndFurtherSettings) {
  app.gpus[0].fanEnabled = false;
  ExtValues values = kDefaultCurve;
  values[1] = 0;
  ASSERT_TRUE(SetExtSettings(Context(), values));
  ASSERT_EQ(adl.extSets.size(), 1u);
  EXPECT_THAT(adl.extSets[0].valid, ElementsAre(1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  // the curve stays as given: it is not applied, so nothing stands for the defaults
  EXPECT_THAT(adl.extSets[0].values, ElementsAre(1, 0, 0, 0, 0, 30, 20, 45, 30, 60, 45, 75, 70, 90, 100));
  EXPECT_EQ(card().extValues[1], 1);  // the card kept its zero-RPM switch
}

TEST_F(ExtSettingsSetterTest, ResetSendsMinusOneEverywhereAndIsNeverVerified) {
  app.options.CheckValuesMismatch = true;
  card().extValues[0] = 2;
  ASSERT_TRUE(ResetExtSettings(Context()));
  ASSERT_EQ(adl.extSets.size(), 1u);
  EXPECT_THAT(adl.extSets[0].valid, ElementsAreArray(std::vector<int>(15, 1)));
  EXPECT_THAT(adl.extSets[0].values, ElementsAreArray(std::vector<int>(15, -1)));
  EXPECT_EQ(card().extValues[0], 0);  // back to the default
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_OverdriveN_SettingsExt_Set"));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(ExtSettingsSetterTest, ResetWithTheFanSwitchedOffLeavesFanSettingsAlone) {
  app.gpus[0].fanEnabled = false;
  ASSERT_TRUE(ResetExtSettings(Context()));
  EXPECT_THAT(adl.extSets.at(0).valid, ElementsAre(1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_THAT(adl.extSets.at(0).values, ElementsAreArray(std::vector<int>(15, -1)));
}

struct ExtMismatchCase {
  ExtValues sent;
  std::function<void(ExtValues&)> cardChange;
  std::string expected;  // empty: no report
};

TEST_F(ExtSettingsSetterTest, ReadBackListsDifferencesUnderTheirHeading) {
  app.options.CheckValuesMismatch = true;
  const ExtMismatchCase cases[] = {
      {kOwnCurve, [](ExtValues& v) { v[8] = 36; v[1] = 1; },
       "Fan values mismatch for GPU 0.\nFan P1: got '36 %' instead of '35 %'\nFan ZeroRPM: got 'ON' instead of 'OFF'\n"},
      {kOwnCurve, [](ExtValues& v) { v[0] = 1; v[13] = 94; },
       "Fan/Memory values mismatch for GPU 0.\nFan P4: got '94 °C' instead of '95 °C'\n"
       "Memory Timing Level: got '1' instead of '2'\n"},
      // a curve sent as the defaults is not compared
      {kDefaultCurve, [](ExtValues& v) { v[5] = 31; }, ""},
      // only the value 1 is ON
      {kOwnCurve, [](ExtValues& v) { v[1] = 2; }, ""},
      {kOwnCurve, [](ExtValues&) {}, ""},
  };
  for (const ExtMismatchCase& c : cases) {
    fake.dialogs.boxes.clear();
    card().afterSet = [&c](test::FakeAdlCard& held) { c.cardChange(held.extValues); };
    ExtValues values = c.sent;
    EXPECT_TRUE(SetExtSettings(Context(), values));
    if (c.expected.empty())
      EXPECT_THAT(BoxTexts(), IsEmpty()) << c.expected;
    else
      EXPECT_THAT(BoxTexts(), ElementsAre(c.expected));
  }
}

TEST_F(ExtSettingsSetterTest, FailedReadBackIsReportedByTheReadAndTheSetStillSucceeds) {
  app.options.CheckValuesMismatch = true;
  adl.Fail("ADL2_OverdriveN_SettingsExt_Get", adl::kErrInvalidParam);
  ExtValues values = kOwnCurve;
  EXPECT_TRUE(SetExtSettings(Context(), values));
  EXPECT_THAT(BoxTexts(), ElementsAre(::testing::StartsWith(
                              "Failed to read Fan curve, Zero RPM and Memory Timing Level for GPU 0 (ErrorCode: -3)")));
}

TEST_F(ExtSettingsSetterTest, RefusalIsReportedWithTheDriversCodeAndNoLimits) {
  adl.Fail("ADL2_OverdriveN_SettingsExt_Set", adl::kErr, 1, 1);
  app.options.IgnoreError8 = true;
  ExtValues values = kOwnCurve;
  EXPECT_FALSE(SetExtSettings(Context(), values));
  adl.Fail("ADL2_OverdriveN_SettingsExt_Set", adl::kErrNotSupported);
  EXPECT_FALSE(SetExtSettings(Context(), values));
  app.options.IgnoreError8 = false;
  EXPECT_FALSE(SetExtSettings(Context(0, true), values));
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set Fan curve for GPU 0 (ErrorCode: -1)"));
  EXPECT_EQ(fake.console.Output(), "ERROR: Failed to set Fan curve for GPU 0 (ErrorCode: -8) (ADL_ERR_NOT_SUPPORTED - "
                                   "Function not supported by the driver)\n");
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_CapabilitiesX2_Get"), 0);
}

}  // namespace
}  // namespace tw
