#include "minimum_calls.h"

#include <gtest/gtest.h>

namespace tw::bench {
namespace {

int CountOf(const std::vector<MinimumRow>& rows, const std::string& call) {
  int count = 0;
  for (const MinimumRow& row : rows)
    if (row.call == call) count += row.count;
  return count;
}

struct MinimumCase {
  Command command;
  RigMix rig;
  const char* call;
  int expected;
};

// Without it the test framework prints the record's bytes, padding included.
void PrintTo(const MinimumCase& c, std::ostream* out) {
  *out << c.call << " with " << c.rig.overdriveN << " OverdriveN and " << c.rig.overdrive8 << " Overdrive8 cards";
}

class MinimumCallsTest : public ::testing::TestWithParam<MinimumCase> {};

TEST_P(MinimumCallsTest, CountsFollowTheCardsOfEachGeneration) {
  EXPECT_EQ(CountOf(MinimumCalls(GetParam().command, GetParam().rig), GetParam().call), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rigs, MinimumCallsTest,
    ::testing::Values(MinimumCase{Command::StartUp, {8, 4}, "ADL2_Main_Control_Create", 1},
                      MinimumCase{Command::StartUp, {8, 4}, "ADL2_OverdriveN_CapabilitiesX2_Get", 12},
                      MinimumCase{Command::StartUp, {8, 4}, "ADL2_Overdrive_Caps", 4},
                      MinimumCase{Command::StartUp, {8, 4}, "ADL2_OverdriveN_FanControl_Get", 0},
                      MinimumCase{Command::GetCurrent, {8, 4}, "ADL2_Main_Control_Create", 13},
                      MinimumCase{Command::GetCurrent, {8, 4}, "ADL2_OverdriveN_SettingsExt_Get", 16},
                      MinimumCase{Command::GetCurrent, {8, 4}, "ADL2_Overdrive8_Current_SettingX2_Get", 8},
                      MinimumCase{Command::GetCurrent, {0, 3}, "ADL2_OverdriveN_PowerLimit_Get", 0},
                      MinimumCase{Command::ApplyProfileToAll, {8, 4}, "ADL2_OverdriveN_PowerLimit_Get", 8},
                      MinimumCase{Command::ApplyProfileToAll, {8, 4}, "ADL2_Overdrive8_Setting_Set", 4},
                      MinimumCase{Command::ApplyProfileToAll, {4, 2}, "ADL2_Main_Control_Destroy", 7},
                      MinimumCase{Command::ApplyProfileToAll, {4, 2}, "ADL2_OverdriveN_SystemClocksX2_Get", 4}));

TEST(MinimumCallsTest, EveryRowHasAReasonAndACall) {
  for (Command command : {Command::StartUp, Command::GetCurrent, Command::ApplyProfileToAll}) {
    const std::vector<MinimumRow> rows = MinimumCalls(command, {2, 1});
    ASSERT_FALSE(rows.empty());
    for (const MinimumRow& row : rows) {
      EXPECT_GT(row.count, 0) << row.call;
      EXPECT_FALSE(row.reason.empty()) << row.call;
      EXPECT_EQ(CountOf(rows, row.call), row.count) << row.call << " is listed once";
    }
  }
}

TEST(MinimumCallsTest, OneConnectionForDiscoveryAndOnePerCardOperation) {
  EXPECT_EQ(MinimumConnections(Command::StartUp, {8, 4}), 1);
  EXPECT_EQ(MinimumConnections(Command::GetCurrent, {8, 4}), 13);
  EXPECT_EQ(MinimumConnections(Command::ApplyProfileToAll, {4, 2}), 7);
  EXPECT_EQ(CountOf(MinimumCalls(Command::GetCurrent, {8, 4}), "ADL2_Main_Control_Create"),
            MinimumConnections(Command::GetCurrent, {8, 4}));
}

}  // namespace
}  // namespace tw::bench
