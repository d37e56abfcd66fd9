// Only the values asked for reach a card: values that cannot arrive as given are refused
// before anything is sent, values a profile leaves out are the card's, and an apply the
// card partly refused is not a success.

#include <gtest/gtest.h>

#include <string>

#include "e2e_rigs.h"
#include "harness.h"

namespace tw::e2e {
namespace {

using Lines = std::vector<std::string>;

std::string With(std::string body, const std::string& from, const std::string& to) {
  const size_t at = body.find(from);
  return at == std::string::npos ? body + to + "\n" : body.replace(at, from.size(), to);
}

size_t SetCalls(const RigRun& run) {
  size_t sets = 0;
  for (const JournalEntry& e : run.journal) sets += e.name.size() > 4 && e.name.ends_with("_Set");
  return sets;
}

TEST(HostSentValuesTest, ValuesThatCannotArriveAsGivenAreRefusedBeforeAnythingIsSent) {
  // Per-GPU parameters: refused with the parameter's message, the status left alone.
  const std::pair<const char*, const char*> parameters[] = {
      {"-ac0", "gpu_p7=1073743324;1150"}, {"-ac0", "gpu_p1=2147483647;800"}, {"-ac1", "mem_p#=21474837;950"},
      {"-ac0", "power_target=-500"},      {"-ac0", "fan_min=-500"},          {"-ac0", "fan_p0=-500;20"},
      {"-ac2", "power_target=-500"},      {"-ac2", "FAN_P0=-500;20"},        {"-ac0", "gpu_p1=1000;800;05"},
      {"-ac0", "gpu_p1=1000;8;00"}};
  // Profiles (GPU_P7 replaced): refused naming the key, and the apply fails.
  const std::pair<const char*, const char*> profiles[] = {
      {"-p0X", "GPU_P7=1073743324;1150"}, {"-c0X", "GPU_P7=2147483647;800;0"}, {"cp0X", "GPU_P7=21474837;1150"}};
  for (const auto& [command, parameter] : parameters) {
    const RigRun run = Rig().Run({"-consoleonly", command, parameter});
    EXPECT_EQ(run.outLines, Lines{std::string("ERROR: Wrong command: ") + command + " " + parameter + "\"" + parameter +
                                  "\" is not valid parameter"});
    EXPECT_EQ(run.exitStatus, 0) << parameter;
    EXPECT_EQ(SetCalls(run), 0u) << parameter;
  }
  for (const auto& [command, state] : profiles) {
    Rig rig;
    rig.Ini(ProfileIni({{"X", With(kPolarisGaming, "GPU_P7=1400;1150", state)}}));
    const RigRun run = rig.Run({"-consoleonly", command});
    const std::string failed = command[0] == 'c' ? "ERROR: Failed to apply profile \"X\""
                                                 : "ERROR: Failed to apply profile \"X\" to GPU 0";
    EXPECT_EQ(run.outLines, (Lines{std::string("ERROR: Profile \"X\": \"") + state + "\" is not valid parameter", failed}));
    EXPECT_EQ(run.exitStatus, 255) << state;
    EXPECT_EQ(SetCalls(run), 0u) << state;
  }
}

TEST(HostSentValuesTest, AcousticLimitAndPowerTargetAProfileLeavesOutAreTheCards) {
  Rig rig;
  std::string polaris = With(kPolarisGaming, "Fan_Acoustic=1180\n", "");
  polaris = With(polaris, "Power_Target=0", "Power_Target=-500");
  rig.Ini(ProfileIni({{"X", polaris},
                      {"N", "GPU_P0=810;720\nGPU_P1=1460;810\nGPU_P2=2050;1150\nGPU_Min=800\nGPU_Max=2050\n"
                            "Mem_Max=870\nMem_TimingLevel=0\nFan_P0=45;23\nFan_P1=55;30\nFan_P2=65;40\n"
                            "Fan_P3=75;55\nFan_P4=85;70\nFan_ZeroRPM=1\nFan_Acoustic=1450\n"}}));
  rig.Run({"-consoleonly", "-ac0", "power_target=12", "fan_acoustic=1190", "-ac2", "power_target=7"});
  const RigRun run = rig.Run({"-consoleonly", "-p0X", "-p2N"});
  EXPECT_TRUE(run.outLines.empty());
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.Calls("ADL2_OverdriveN_FanControl_Set").size(), 1u);
  EXPECT_EQ(run.Calls("ADL2_OverdriveN_FanControl_Set")[0].Arg("acoustic"), "1190");
  ASSERT_EQ(run.Calls("ADL2_OverdriveN_PowerLimit_Set").size(), 1u);
  EXPECT_EQ(run.Calls("ADL2_OverdriveN_PowerLimit_Set")[0].Arg("power"), "12");
  ASSERT_EQ(run.Calls("ADL2_Overdrive8_Setting_Set").size(), 1u);
  EXPECT_EQ(run.Calls("ADL2_Overdrive8_Setting_Set")[0].Arg("set.9"), "7/1/0");
}

TEST(HostSentValuesTest, AnApplyTheCardPartlyRefusedFailsAfterEveryGroupWasTried) {
  const std::string refused = With(kPolarisGaming, "GPU_P7=1400;1150", "GPU_P7=9999;1150");
  struct Case {
    const char* command;
    std::string profile, general, faults;
    std::string lastLine;  // "" when nothing is printed
    int status;
  } const cases[] = {
      {"-p0X", refused, "", "", "ERROR: Failed to apply profile \"X\" to GPU 0", 255},
      {"-c0X", refused, "", "", "ERROR: Failed to apply profile \"X\" to GPU 0", 255},
      {"cp0X", refused, "", "", "ERROR: Failed to apply profile \"X\"", 255},
      {"cm0X", refused, "", "", "ERROR: Failed to apply profile \"X\" to GPU 0", 255},
      {"-c0X", kPolarisGaming, "", "ADL2_OverdriveN_FanControl_Set=-8", "ERROR: Failed to apply profile \"X\" to GPU 0", 255},
      {"-c0X", kPolarisGaming, "IgnoreError-8=1\n", "ADL2_OverdriveN_FanControl_Set=-8", "INFO: Succesfully applied profile \"X\" to GPU 0", 0},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.Ini(ProfileIni({{"X", c.profile}}, c.general));
    if (!c.faults.empty()) rig.Environment("ADLSIM_FAULTS", c.faults);
    const RigRun run = rig.Run({"-consoleonly", c.command});
    const std::string what = std::string(c.command) + " " + c.faults + c.general;
    ASSERT_FALSE(run.outLines.empty()) << what;
    EXPECT_EQ(run.outLines.back(), c.lastLine) << what;
    EXPECT_EQ(run.exitStatus, c.status) << what;
    for (const char* group : {"SystemClocksX2_Set", "MemoryClocksX2_Set", "FanControl_Set", "SettingsExt_Set",
                              "PowerLimit_Set"})
      EXPECT_EQ(run.Calls(std::string("ADL2_OverdriveN_") + group).size(), 1u) << what << group;
  }
}

TEST(HostSentValuesTest, AMismatchOnlyNamesValuesThatWereSentAndTheApplyStillSucceeds) {
  Rig rig;
  rig.Scenario(std::string(kOnePolarisCard) + "readback_clock_offset = -50\n");
  rig.Ini(ProfileIni({{"X", kPolarisGaming}}, "FanDeactivatedGpus=0\nCheckValuesMismatch=1\n"));
  const RigRun run = rig.Run({"-consoleonly", "-c0X"});
  // The clocks the card moved are listed; the fan curve, deliberately not sent, is not.
  ASSERT_EQ(run.outLines.size(), 2u);
  EXPECT_TRUE(run.outLines[0].starts_with("ERROR: GPU values mismatch for GPU 0.GPU P0: got '299 MHz'"));
  EXPECT_EQ(run.outLines[1], "INFO: Succesfully applied profile \"X\"");
  EXPECT_EQ(run.exitStatus, 0);
}

TEST(HostSentValuesTest, MemoryLevelsAboveAGapAreSentAsTheCardHoldsThem) {
  Rig rig;
  rig.Scenario(std::string(kOnePolarisCard) + "mem_levels = 300/750, 0/0, 2000/950\n");
  const RigRun run = rig.Run({"-consoleonly", "-ac0", "mem_p0=310;750"});
  ASSERT_EQ(run.Calls("ADL2_OverdriveN_MemoryClocksX2_Set").size(), 1u);
  const JournalEntry set = run.Calls("ADL2_OverdriveN_MemoryClocksX2_Set")[0];
  EXPECT_EQ(set.Arg("L0"), "31000/750/1");
  EXPECT_EQ(set.Arg("L2"), "200000/950/1");
  // The empty level in the gap is below the driver's limits, and the refusal says so.
  ASSERT_EQ(run.outLines.size(), 1u);
  EXPECT_NE(run.outLines[0].find("(Values are below driver limits)"), std::string::npos) << run.outLines[0];
}

}  // namespace
}  // namespace tw::e2e
