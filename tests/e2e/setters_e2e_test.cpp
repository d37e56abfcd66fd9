// The setters through the command line: what ResetBeforeApply, CheckValuesMismatch and
// IgnoreError-8 in [General] change in what the driver receives and what the user reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"

namespace tw::e2e {
namespace {

std::string General(const std::string& keys) { return "[General]\r\n" + keys + "\r\n"; }

// All eight GPU states of the Polaris preset; the last clock and the first are given.
std::string PolarisProfile(int firstClock, int lastClock) {
  return "[Profile_0]\r\nName=Polaris\r\nGPU_P0=" + std::to_string(firstClock) +
         ";750\r\nGPU_P1=600;769\r\nGPU_P2=900;887\r\nGPU_P3=1145;1100\r\nGPU_P4=1215;1125\r\n"
         "GPU_P5=1257;1150\r\nGPU_P6=1300;1150\r\nGPU_P7=" +
         std::to_string(lastClock) +
         ";1150\r\nMem_P0=300;750\r\nMem_P1=1000;800\r\nMem_P2=2000;950\r\nFan_Acoustic=1180\r\nPower_Target=0\r\n\r\n";
}

std::string NaviProfile(int gpuMax) {
  return "[Profile_0]\r\nName=Navi\r\nGPU_P0=800;711\r\nGPU_P1=1450;801\r\nGPU_P2=2100;1150\r\nGPU_Min=800\r\n"
         "GPU_Max=" +
         std::to_string(gpuMax) +
         "\r\nMem_Max=875\r\nMem_TimingLevel=0\r\nFan_P0=45;23\r\nFan_P1=55;30\r\nFan_P2=65;40\r\nFan_P3=75;55\r\n"
         "Fan_P4=85;70\r\nFan_ZeroRPM=1\r\nFan_Acoustic=1450\r\nPower_Target=0\r\n\r\n";
}

std::vector<std::string> Modes(const RigRun& run, const std::string& name) {
  std::vector<std::string> modes;
  for (const JournalEntry& call : run.Calls(name)) modes.push_back(call.Arg("mode"));
  return modes;
}

// An error box as the host program writes it: one line, line breaks escaped.
std::string ErrorBox(const std::string& text) {
  std::string line = "BOX error \"Tunewright\" ";
  for (const char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else {
      line += c;
    }
  }
  return line;
}

std::string Dump(const RigRun& run) {
  std::string text = "exit " + std::to_string(run.exitStatus) + "\n";
  for (const std::string& line : run.outLines) text += line + "\n";
  for (const std::string& line : run.boxes) text += line + "\n";
  return text;
}

TEST(HostSettersTest, ResetBeforeApplySendsValuesDefaultsValuesForEachClockRecord) {
  for (const bool reset : {true, false}) {
    Rig rig;
    rig.Ini(General(reset ? "ResetBeforeApply=1" : "ResetBeforeApply=0") + PolarisProfile(300, 1366));
    const RigRun run = rig.Run({"-p0Polaris"});
    const std::vector<std::string> expected =
        reset ? std::vector<std::string>{"3", "1", "3"} : std::vector<std::string>{"3"};
    EXPECT_EQ(Modes(run, "ADL2_OverdriveN_SystemClocksX2_Set"), expected) << Dump(run);
    EXPECT_EQ(Modes(run, "ADL2_OverdriveN_MemoryClocksX2_Set"), expected);
    EXPECT_EQ(run.exitStatus, 0) << Dump(run);
  }
}

TEST(HostSettersTest, ResetBeforeApplyOnOverdrive8SendsAResetRowForEveryRequestedIdThenTheValues) {
  Rig rig;
  rig.Ini(General("ResetBeforeApply=1") + NaviProfile(2100));
  const RigRun run = rig.Run({"-p2Navi"});
  const std::vector<JournalEntry> sets = run.Calls("ADL2_Overdrive8_Setting_Set");
  ASSERT_EQ(sets.size(), 2u) << Dump(run);
  int resetRows = 0;
  for (const auto& [key, value] : sets[0].args) {
    if (key.rfind("set.", 0) != 0) continue;
    ++resetRows;
    EXPECT_EQ(value.substr(value.size() - 4), "/1/1") << key << "=" << value;
    EXPECT_EQ(sets[1].Arg(key).substr(sets[1].Arg(key).size() - 4), "/1/0") << key;
  }
  EXPECT_GT(resetRows, 20);  // every id the card takes, fan rows included
  EXPECT_EQ(sets[0].Arg("set.0"), "2100/1/1") << "a reset row carries the card's default";
  EXPECT_EQ(sets[1].Arg("set.4"), "1450/1/0");
  EXPECT_EQ(sets[1].Arg("set.6"), "2100/1/0");
  EXPECT_EQ(run.exitStatus, 0) << Dump(run);
}

TEST(HostSettersTest, AClockTheDriverRoundsIsShownAsAMismatchOnlyWhenAskedFor) {
  const char* const scenario = "[card polaris]\npreset = polaris\nbus = 1\nreadback_clock_offset = -50\n";
  for (const bool check : {true, false}) {
    Rig rig;
    rig.Scenario(scenario);
    rig.Ini(General(check ? "CheckValuesMismatch=1" : "CheckValuesMismatch=0") + PolarisProfile(300, 1350));
    const RigRun run = rig.Run({"-p0Polaris"});
    std::string mismatches = "GPU values mismatch for GPU 0.\n";
    const int sent[8] = {300, 600, 900, 1145, 1215, 1257, 1300, 1350};
    for (int i = 0; i < 8; ++i)
      mismatches += "GPU P" + std::to_string(i) + ": got '" + std::to_string(sent[i] - 1) + " MHz' instead of '" +
                    std::to_string(sent[i]) + " MHz'\n";
    // Half a megahertz less on every GPU state, nothing on the memory states.
    EXPECT_EQ(run.boxes, check ? std::vector<std::string>{ErrorBox(mismatches)} : std::vector<std::string>{})
        << Dump(run);
    EXPECT_EQ(run.exitStatus, 0);
  }
}

TEST(HostSettersTest, AnOverdrive8ValueTheDriverClampsIsShownAsAMismatch) {
  Rig rig;
  rig.Ini(General("CheckValuesMismatch=1") + NaviProfile(2200));
  const RigRun run = rig.Run({"-p2Navi"});
  EXPECT_EQ(run.boxes, std::vector<std::string>{ErrorBox(
                           "Values mismatch for GPU 2.\nGPU Maximum: got '2150 MHz' instead of '2200 MHz'\n")})
      << Dump(run);
  const std::vector<JournalEntry> sets = run.Calls("ADL2_Overdrive8_Setting_Set");
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].Arg("set.0"), "2200/1/0") << "the profile's value is what was sent";
}

struct LimitsCase {
  int firstClock;
  int lastClock;
  const char* which;
};

class HostLimitsTest : public ::testing::TestWithParam<LimitsCase> {};

TEST_P(HostLimitsTest, ARefusedClockRecordShowsWhichLimitAndTheCardsOwnRanges) {
  Rig rig;
  rig.Scenario("[card polaris]\npreset = polaris\nbus = 1\ngpu_clock_range = 300..1900\n");
  rig.Ini(General("") + PolarisProfile(GetParam().firstClock, GetParam().lastClock));
  const RigRun run = rig.Run({"-p0Polaris"});
  const std::vector<std::string> expected = {
      ErrorBox(std::string("Failed to set GPU values for GPU 0 (ErrorCode: -1) (Values are ") + GetParam().which +
               " driver limits)\nCurrent limits for GPU 0:\n300 Mhz < GPU clock < 1900 MHz\n"
               "750 mV < GPU voltage < 1200 mV"),
      ErrorBox("Failed to apply profile \"Polaris\" to GPU 0")};
  EXPECT_EQ(run.boxes, expected) << Dump(run);
  EXPECT_EQ(run.exitStatus, 255) << "a refused group fails the apply";
  const std::vector<JournalEntry> sets = run.Calls("ADL2_OverdriveN_SystemClocksX2_Set");
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].result, -1);
}

INSTANTIATE_TEST_SUITE_P(Host, HostLimitsTest,
                         ::testing::Values(LimitsCase{300, 1950, "above"}, LimitsCase{299, 1366, "below"},
                                           LimitsCase{299, 1950, "above/below"}));

// IgnoreError-8 takes "not supported" as done: the apply does not fail on it.
TEST(HostSettersTest, IgnoreErrorMinus8HidesTheFailureAndTheApplyCountsItAsDone) {
  for (const bool ignore : {true, false}) {
    Rig rig;
    rig.Scenario(
        "[card polaris]\npreset = polaris\nbus = 1\n[faults]\nADL2_OverdriveN_PowerLimit_Set = -8\n");
    rig.Ini(General(ignore ? "IgnoreError-8=1" : "IgnoreError-8=0") + PolarisProfile(300, 1366));
    const RigRun run = rig.Run({"-p0Polaris"});
    std::vector<std::string> expected;
    if (!ignore) {
      expected.push_back(ErrorBox("Failed to set Power values for GPU 0 (ErrorCode: -8) (ADL_ERR_NOT_SUPPORTED - "
                                  "Function not supported by the driver)"));
      expected.push_back(ErrorBox("Failed to apply profile \"Polaris\" to GPU 0"));
    }
    EXPECT_EQ(run.boxes, expected) << Dump(run);
    EXPECT_EQ(run.exitStatus, ignore ? 0 : 255) << Dump(run);
    EXPECT_EQ(run.Calls("ADL2_OverdriveN_PowerLimit_Set").size(), 1u);
  }
}

}  // namespace
}  // namespace tw::e2e
