// Fan test and power features through the simulator's binary interface.

#include <gtest/gtest.h>

#include "sim/sim_library.h"

namespace tw::test {
namespace {

constexpr int kVega = 0, kPolaris = 1, kNavi = 4;

class SimFeaturesTest : public ::testing::Test {
 protected:
  SimFolder folder;
  SimLibrary library{folder};
  SimContext context{library};
};

struct FeatureRow {
  const char* get;
  const char* set;
  int adapter;
  int result;  // of a read: 0, or -8 where the card lacks the feature
  int initial;
};

TEST_F(SimFeaturesTest, PowerEfficiencyAndChillExistOnTheCardsThatHaveThem) {
  const FeatureRow rows[] = {{"ADL2_PPW_Status_Get", "ADL2_PPW_Status_Set", kPolaris, 0, 1},
                             {"ADL2_PPW_Status_Get", "ADL2_PPW_Status_Set", kVega, 0, 0},
                             {"ADL2_PPW_Status_Get", "ADL2_PPW_Status_Set", kNavi, adl::kErrNotSupported, -1},
                             {"ADL2_Chill_Settings_Get", "ADL2_Chill_Settings_Set", kPolaris, adl::kErrNotSupported, -1},
                             {"ADL2_Chill_Settings_Get", "ADL2_Chill_Settings_Set", kNavi, 0, 0}};
  for (const FeatureRow& row : rows) {
    SCOPED_TRACE(std::string(row.get) + " " + std::to_string(row.adapter));
    auto get = library.Get<adl::Feature_Status_Get>(row.get);
    auto set = library.Get<adl::Feature_Status_Set>(row.set);
    int state = -1;
    ASSERT_EQ(get(context.get(), row.adapter, &state), row.result);
    EXPECT_EQ(state, row.initial);
    if (row.result != 0) {
      EXPECT_EQ(set(context.get(), row.adapter, 1), row.result);
      continue;
    }
    EXPECT_EQ(set(context.get(), row.adapter, 2), adl::kErrInvalidParam);
    ASSERT_EQ(set(context.get(), row.adapter, 1 - row.initial), 0);
    ASSERT_EQ(get(context.get(), row.adapter, &state), 0);
    EXPECT_EQ(state, 1 - row.initial);
  }
}

TEST_F(SimFeaturesTest, FanTestAnswersOnTheInterfaceTheCardHas) {
  auto od5 = library.Get<adl::Overdrive5_FanSpeed_Set>("ADL2_Overdrive5_FanSpeed_Set");
  auto od5Default = library.Get<adl::Overdrive5_FanSpeedToDefault_Set>("ADL2_Overdrive5_FanSpeedToDefault_Set");
  auto od6 = library.Get<adl::Overdrive6_FanSpeed_Set>("ADL2_Overdrive6_FanSpeed_Set");
  auto od6Reset = library.Get<adl::Overdrive6_FanSpeed_Reset>("ADL2_Overdrive6_FanSpeed_Reset");
  adl::ADLFanSpeedValue speed5{0, adl::kFanSpeedTypePercent, 70, adl::kFanFlagUserDefinedSpeed};
  adl::ADLOD6FanSpeedValue speed6{adl::kFanSpeedTypePercent, 70, 0, 0};
  EXPECT_EQ(od5(context.get(), kPolaris, 0, &speed5), 0);
  EXPECT_NE(folder.Read("adlsim.state").find("fan_test_percent = 70"), std::string::npos);
  EXPECT_EQ(od5Default(context.get(), kPolaris, 0), 0);
  EXPECT_EQ(od6(context.get(), kPolaris, &speed6), adl::kErrNotSupported);
  EXPECT_EQ(od5(context.get(), kVega, 0, &speed5), adl::kErrNotSupported);
  EXPECT_EQ(od6(context.get(), kVega, &speed6), 0);
  EXPECT_EQ(od6Reset(context.get(), kVega), 0);
  EXPECT_EQ(od5Default(context.get(), kNavi, 0), adl::kErrNotSupported);
  EXPECT_EQ(od6Reset(context.get(), kNavi), adl::kErrNotSupported);
  speed5.iFanSpeed = 101;
  EXPECT_EQ(od5(context.get(), kPolaris, 0, &speed5), adl::kErrInvalidParam);
  EXPECT_NE(folder.Read("adlsim.journal").find("ADL2_Overdrive5_FanSpeed_Set thermal_controller=0 size=0 type=1 speed=101 flags=1 adapter=1"),
            std::string::npos);
}

}  // namespace
}  // namespace tw::test
