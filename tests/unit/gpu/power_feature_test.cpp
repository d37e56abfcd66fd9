#include "gpu/power_feature.h"

#include <gmock/gmock.h>

#include "gpu/setter_fixture.h"

namespace tw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PowerFeatureTest : public test::SetterFixture {
 protected:
  void SetUp() override {
    AddOverdriveN();
    Discover();
  }
  test::FakeAdlCard& card() { return adl.cards.at(0); }
  bool Access(PowerFeature feature, bool silent, std::optional<bool> newState) {
    return AccessPowerFeature(app.gpuContext(), app.gpus.at(0), feature, silent, newState, state);
  }
  std::optional<int> state = 42;  // whatever a caller held before
};

TEST_F(PowerFeatureTest, NamesOfBothFeatures) {
  const PowerFeatureNames ppw = NamesOf(PowerFeature::PowerEfficiency);
  const PowerFeatureNames chill = NamesOf(PowerFeature::Chill);
  EXPECT_EQ(ppw.get, "ADL2_PPW_Status_Get");
  EXPECT_EQ(ppw.set, "ADL2_PPW_Status_Set");
  EXPECT_EQ(ppw.failure, "Failed to set Power Efficiency");
  EXPECT_EQ(chill.get, "ADL2_Chill_Settings_Get");
  EXPECT_EQ(chill.set, "ADL2_Chill_Settings_Set");
  EXPECT_EQ(chill.failure, "Failed to set Chill settings");
}

TEST_F(PowerFeatureTest, ReadOnlyReadsTheState) {
  card().ppw = 1;
  EXPECT_TRUE(Access(PowerFeature::PowerEfficiency, true, std::nullopt));
  EXPECT_EQ(state, 1);
  EXPECT_THAT(CallNames(),
              ElementsAre("ADL2_Main_Control_Create", "ADL2_PPW_Status_Get", "ADL2_Main_Control_Destroy"));
}

TEST_F(PowerFeatureTest, SwitchingSetsThenReadsBack) {
  EXPECT_TRUE(Access(PowerFeature::Chill, false, true));
  EXPECT_EQ(state, 1);
  EXPECT_EQ(card().chill, 1);
  EXPECT_THAT(adl.LogOf("ADL2_Chill_Settings_Set"), ElementsAre("ADL2_Chill_Settings_Set(0) state=1 -> 0"));
  EXPECT_TRUE(Access(PowerFeature::Chill, false, false));
  EXPECT_EQ(state, 0);
  EXPECT_EQ(card().chill, 0);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(PowerFeatureTest, ReadBackOfTheOldStateFailsWithTheFeaturesText) {
  adl.Fail("ADL2_Chill_Settings_Set", adl::kOk);  // the driver answers OK and keeps its state
  adl.Fail("ADL2_PPW_Status_Set", adl::kOk);
  EXPECT_FALSE(Access(PowerFeature::Chill, false, true));
  EXPECT_FALSE(state.has_value());
  EXPECT_FALSE(Access(PowerFeature::PowerEfficiency, false, true));
  EXPECT_FALSE(Access(PowerFeature::PowerEfficiency, true, true));
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set Chill settings", "Failed to set Power Efficiency"));
}

TEST_F(PowerFeatureTest, RefusedCallsNameTheEntryPoint) {
  adl.Fail("ADL2_PPW_Status_Set", adl::kErrInvalidParam);
  adl.Fail("ADL2_Chill_Settings_Get", adl::kErr);
  EXPECT_FALSE(Access(PowerFeature::PowerEfficiency, false, false));
  EXPECT_EQ(adl.Calls("ADL2_PPW_Status_Get"), 0);
  EXPECT_FALSE(Access(PowerFeature::Chill, false, std::nullopt));
  EXPECT_FALSE(Access(PowerFeature::Chill, true, std::nullopt));
  EXPECT_FALSE(state.has_value());
  EXPECT_THAT(BoxTexts(), ElementsAre("ADL2_PPW_Status_Set function failed (ErrorCode: -3) (ADL_ERR_INVALID_PARAM - "
                                      "One of the parameter passed is invalid)",
                                      "ADL2_Chill_Settings_Get function failed (ErrorCode: -1)"));
}

TEST_F(PowerFeatureTest, MissingEntryPointsNameTheGetEntryPoint) {
  for (const char* missing : {"ADL2_Chill_Settings_Get", "ADL2_Chill_Settings_Set"}) {
    test::FakeAdl::Install(fake.libraries, "atiadlxx.dll", {missing});
    EXPECT_FALSE(Access(PowerFeature::Chill, false, std::nullopt)) << missing;
    EXPECT_FALSE(Access(PowerFeature::Chill, true, std::nullopt)) << missing;
  }
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to get ADL2_Chill_Settings_Get function pointers (ErrorCode: 127) (The "
                                      "specified procedure could not be found.)",
                                      "Failed to get ADL2_Chill_Settings_Get function pointers (ErrorCode: 127) (The "
                                      "specified procedure could not be found.)"));
  // Power Efficiency is still there
  EXPECT_TRUE(Access(PowerFeature::PowerEfficiency, true, std::nullopt));
  EXPECT_EQ(state, 0);
}

TEST_F(PowerFeatureTest, NoConnectionAnswersTrueWithoutAState) {
  fake.libraries.libraries.clear();
  EXPECT_TRUE(Access(PowerFeature::PowerEfficiency, true, true));
  EXPECT_FALSE(state.has_value());
  EXPECT_THAT(adl.log, IsEmpty());
  EXPECT_EQ(fake.dialogs.boxes.size(), 1u);  // the connection's own message, also when silent
}

}  // namespace
}  // namespace tw
