#include "gpu/od8_setter.h"

#include <gmock/gmock.h>

#include <set>

#include "gpu/setter_fixture.h"

namespace tw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A row as "value/requested/reset", so a whole record compares readably.
std::vector<std::string> Rows(const adl::ADLOD8SetSetting& record) {
  std::vector<std::string> rows;
  for (const adl::ADLOD8SingleSetSetting& row : record.od8SettingTable)
    rows.push_back(std::to_string(row.value) + "/" + std::to_string(row.requested) + "/" + std::to_string(row.reset));
  return rows;
}

const std::set<int> kNeverSent = {10, 12, 13};
const std::set<int> kFanIds = {11, 15, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28};

class Od8SetterTest : public test::SetterFixture {
 protected:
  void SetUp() override {
    AddOverdrive8();
    Open();
    std::copy(card().od8Values.begin(), card().od8Values.end(), values.begin());
  }
  test::FakeAdlCard& card() { return adl.cards.at(0); }

  // What the record must hold: rows left out are all zero.
  std::vector<std::string> Expected(bool reset, bool fan) const {
    std::vector<std::string> rows;
    for (int id = 0; id < 29; ++id) {
      const bool sent = !kNeverSent.count(id) && (fan || !kFanIds.count(id));
      const int value = reset ? app.gpus[0].od8Init[static_cast<size_t>(id)].defaultValue : values[static_cast<size_t>(id)];
      rows.push_back(sent ? std::to_string(value) + "/1/" + (reset ? "1" : "0") : "0/0/0");
    }
    return rows;
  }

  Od8Values values{};
};

TEST_F(Od8SetterTest, ValuesGoInOneRecordOfTwentyNineWithTheUnusedRowsEmpty) {
  values[0] = 2050;
  values[9] = 10;
  values[16] = 0;
  values[28] = 90;
  ASSERT_TRUE(ApplyOd8(Context(), values));
  ASSERT_EQ(adl.od8Sets.size(), 1u);
  EXPECT_EQ(adl.od8Sets[0].count, 29);
  EXPECT_EQ(Rows(adl.od8Sets[0]), Expected(false, true));
  EXPECT_EQ(card().od8Values[0], 2050);
  EXPECT_EQ(card().od8Values[28], 90);
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_Overdrive8_Setting_Set"));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(Od8SetterTest, FanSwitchedOffLeavesTheFanRowsOut) {
  app.gpus[0].fanEnabled = false;
  values[11] = 1800;
  values[15] = 0;
  values[20] = 40;
  ASSERT_TRUE(ApplyOd8(Context(), values));
  EXPECT_EQ(Rows(adl.od8Sets.at(0)), Expected(false, false));
  EXPECT_EQ(card().od8Values[11], 2400);
  EXPECT_EQ(card().od8Values[15], 1);
  EXPECT_EQ(card().od8Values[20], 20);
}

TEST_F(Od8SetterTest, ResetRequestsEveryRowWithItsDefaultAndIsNeverVerified) {
  app.options.CheckValuesMismatch = true;
  card().od8Values[0] = 2000;
  card().afterSet = [](test::FakeAdlCard& c) { c.od8Values[1] = 900; };  // would show if compared
  ASSERT_TRUE(ResetOd8(Context()));
  EXPECT_EQ(Rows(adl.od8Sets.at(0)), Expected(true, true));
  EXPECT_EQ(card().od8Values[0], 2100);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(Od8SetterTest, ResetWithTheFanSwitchedOffResetsNoFanRow) {
  app.gpus[0].fanEnabled = false;
  card().od8Values[20] = 55;
  ASSERT_TRUE(ResetOd8(Context()));
  EXPECT_EQ(Rows(adl.od8Sets.at(0)), Expected(true, false));
  EXPECT_EQ(card().od8Values[20], 55);
}

TEST_F(Od8SetterTest, ResetWithoutKnownRangesSendsZeroAsEveryDefault) {
  app.gpus[0].od8Init = {};
  ASSERT_TRUE(ResetOd8(Context()));
  EXPECT_EQ(Rows(adl.od8Sets.at(0)), Expected(true, true));
  EXPECT_EQ(adl.od8Sets[0].od8SettingTable[0].value, 0);
}

TEST_F(Od8SetterTest, ResetBeforeApplyResetsEveryRequestedIdThenSendsTheValues) {
  app.options.ResetBeforeApply = true;
  values[2] = 850;
  ASSERT_TRUE(ApplyOd8(Context(), values));
  ASSERT_EQ(adl.od8Sets.size(), 2u);
  EXPECT_EQ(Rows(adl.od8Sets[0]), Expected(true, true));
  EXPECT_EQ(Rows(adl.od8Sets[1]), Expected(false, true));
  EXPECT_EQ(card().od8Values[2], 850);
}

TEST_F(Od8SetterTest, FailedResetBeforeApplyIsReportedAndTheValuesStillGo) {
  app.options.ResetBeforeApply = true;
  adl.Fail("ADL2_Overdrive8_Setting_Set", adl::kErrInvalidParam, 1, 1);
  EXPECT_TRUE(ApplyOd8(Context(), values));
  EXPECT_EQ(adl.Calls("ADL2_Overdrive8_Setting_Set"), 2);
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to reset values for GPU 0 (ErrorCode: -3) (ADL_ERR_INVALID_PARAM - "
                                      "One of the parameter passed is invalid)"));
}

TEST_F(Od8SetterTest, FailedSetIsReportedWithTheCode) {
  adl.Fail("ADL2_Overdrive8_Setting_Set", -20);
  app.options.CheckValuesMismatch = true;
  EXPECT_FALSE(ApplyOd8(Context(0, true), values));
  EXPECT_FALSE(ResetOd8(Context(0, true)));
  const std::string code = " (ErrorCode: -20) (ADL_ERR_SET_INCOMPLETE - Failed to update some of the values. Can be "
                           "returned by set request that include multiple values if not all values were successfully "
                           "committed)\n";
  EXPECT_EQ(fake.console.Output(),
            "ERROR: Failed to set values for GPU 0" + code + "ERROR: Failed to reset values for GPU 0" + code);
}

TEST_F(Od8SetterTest, NotSupportedIsHiddenWithIgnoreError8ButFails) {
  app.options.IgnoreError8 = true;
  adl.Fail("ADL2_Overdrive8_Setting_Set", adl::kErrNotSupported);
  EXPECT_FALSE(ApplyOd8(Context(), values));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(Od8SetterTest, ClampedMaximumGivesOneLine) {
  app.options.CheckValuesMismatch = true;
  card().od8Init[0].maxValue = 2150;
  values[0] = 2200;
  EXPECT_TRUE(ApplyOd8(Context(), values));
  EXPECT_THAT(BoxTexts(), ElementsAre("Values mismatch for GPU 0.\nGPU Maximum: got '2150 MHz' instead of '2200 MHz'\n"));
}

TEST_F(Od8SetterTest, MismatchListFollowsItsOrder) {
  app.options.CheckValuesMismatch = true;
  values[15] = 0;
  card().afterSet = [](test::FakeAdlCard& c) {
    for (int& v : c.od8Values) v += 1;
    c.od8Values[15] = 1;
  };
  EXPECT_TRUE(ApplyOd8(Context(), values));
  EXPECT_THAT(BoxTexts(), ElementsAre("Values mismatch for GPU 0.\n"
                                      "GPU P0: got '801 MHz' instead of '800 MHz'\n"
                                      "GPU P0: got '751 mV' instead of '750 mV'\n"
                                      "GPU P1: got '1501 MHz' instead of '1500 MHz'\n"
                                      "GPU P1: got '901 mV' instead of '900 mV'\n"
                                      "GPU P2: got '2101 MHz' instead of '2100 MHz'\n"
                                      "GPU P2: got '1151 mV' instead of '1150 mV'\n"
                                      "GPU Minimum: got '801 MHz' instead of '800 MHz'\n"
                                      "GPU Maximum: got '2101 MHz' instead of '2100 MHz'\n"
                                      "Memory Maximum: got '1751 MHz' instead of '1750 MHz'\n"
                                      "Memory Timing Level: got '1' instead of '0'\n"
                                      "Fan P0: got '31 °C' instead of '30 °C'\n"
                                      "Fan P0: got '21 %' instead of '20 %'\n"
                                      "Fan P1: got '46 °C' instead of '45 °C'\n"
                                      "Fan P1: got '31 %' instead of '30 %'\n"
                                      "Fan P2: got '61 °C' instead of '60 °C'\n"
                                      "Fan P2: got '46 %' instead of '45 %'\n"
                                      "Fan P3: got '76 °C' instead of '75 °C'\n"
                                      "Fan P3: got '71 %' instead of '70 %'\n"
                                      "Fan P4: got '91 °C' instead of '90 °C'\n"
                                      "Fan P4: got '101 %' instead of '100 %'\n"
                                      "Fan ZeroRPM: got 'ON' instead of 'OFF'\n"
                                      "Fan Acoustic Limit: got '2401 MHz' instead of '2400 MHz'\n"
                                      "Power Target: got '1 %' instead of '0 %'\n"));
}

TEST_F(Od8SetterTest, IdsTheProgramDoesNotShowAreNeverCompared) {
  app.options.CheckValuesMismatch = true;
  card().afterSet = [](test::FakeAdlCard& c) {
    for (int id : {10, 12, 13, 16, 17, 18}) c.od8Values[static_cast<size_t>(id)] = 7;
  };
  EXPECT_TRUE(ApplyOd8(Context(), values));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

// The fan rows were deliberately not sent: only what was sent is compared.
TEST_F(Od8SetterTest, FanSwitchedOffComparesOnlyTheRowsSent) {
  app.options.CheckValuesMismatch = true;
  app.gpus[0].fanEnabled = false;
  values[20] = 25;
  values[0] = 2200;
  card().od8Init[0].maxValue = 2150;
  EXPECT_TRUE(ApplyOd8(Context(), values));
  EXPECT_THAT(BoxTexts(), ElementsAre("Values mismatch for GPU 0.\nGPU Maximum: got '2150 MHz' instead of '2200 MHz'\n"));
}

TEST_F(Od8SetterTest, WithoutCheckValuesMismatchNothingIsCompared) {
  card().od8Init[0].maxValue = 2150;
  values[0] = 2200;
  EXPECT_TRUE(ApplyOd8(Context(), values));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(Od8SetterTest, SentIdsFollowTheFanSwitch) {
  GPUItem gpu;
  std::vector<int> withFan;
  std::vector<int> withoutFan;
  for (int id = -1; id <= 29; ++id) {
    gpu.fanEnabled = true;
    if (IsOd8IdSent(gpu, id)) withFan.push_back(id);
    gpu.fanEnabled = false;
    if (IsOd8IdSent(gpu, id)) withoutFan.push_back(id);
  }
  EXPECT_THAT(withFan, ElementsAre(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                                   26, 27, 28));
  EXPECT_THAT(withoutFan, ElementsAre(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 16, 17, 18));
}

}  // namespace
}  // namespace tw
