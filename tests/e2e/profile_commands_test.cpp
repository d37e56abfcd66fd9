// The profile commands (-p, -c, cp, cm, co), reset (-r) and restart (-t) run against the
// simulator: what the driver received, in order, and what the user was told.

#include <gtest/gtest.h>

#include <string>

#include "e2e_rigs.h"
#include "harness.h"

namespace tw::e2e {
namespace {

using Lines = std::vector<std::string>;

const char* const kClockSet = "ADL2_OverdriveN_SystemClocksX2_Set";
const char* const kExtSet = "ADL2_OverdriveN_SettingsExt_Set";

std::vector<std::string> Adapters(const std::vector<JournalEntry>& calls) {
  std::vector<std::string> adapters;
  for (const JournalEntry& call : calls) adapters.push_back(call.Arg("adapter"));
  return adapters;
}

// Every call that changes a card (the name ends in _Set or _Reset, or a restart).
std::vector<JournalEntry> Writes(const RigRun& run) {
  std::vector<JournalEntry> writes;
  for (const JournalEntry& entry : run.journal) {
    const std::string& n = entry.name;
    const bool isSet = n.size() > 4 && n.compare(n.size() - 4, 4, "_Set") == 0;
    const bool isReset = n.size() > 6 && n.compare(n.size() - 6, 6, "_Reset") == 0;
    if (isSet || isReset || n == "adlsim_DisplayDevice_Restart") writes.push_back(entry);
  }
  return writes;
}

std::string Without(std::string body, const std::string& line) {
  const size_t at = body.find(line);
  if (at != std::string::npos) body.erase(at, line.size());
  return body;
}

TEST(HostProfileCommandTest, ApplyWritesEveryGroupOfTheProfileToTheCard) {
  Rig rig;
  rig.Ini(ProfileIni({{"Gaming", kPolarisGaming}}));
  const RigRun run = rig.Run({"-consoleonly", "-p0Gaming"});
  EXPECT_TRUE(run.outLines.empty());
  EXPECT_EQ(run.exitStatus, 0);
  std::vector<std::string> names;
  for (const JournalEntry& write : Writes(run)) {
    names.push_back(write.name);
    EXPECT_EQ(write.Arg("adapter"), "1") << write.line;
    EXPECT_EQ(write.result, 0) << write.line;
  }
  EXPECT_EQ(names, (std::vector<std::string>{kClockSet, "ADL2_OverdriveN_MemoryClocksX2_Set",
                                             "ADL2_OverdriveN_FanControl_Set", kExtSet,
                                             "ADL2_OverdriveN_PowerLimit_Set"}));
  ASSERT_FALSE(run.Calls(kClockSet).empty());
  EXPECT_EQ(run.Calls(kClockSet)[0].Arg("mode"), "3");
  EXPECT_EQ(run.Calls(kClockSet)[0].Arg("L7"), "140000/1150/1");
  EXPECT_EQ(run.Calls(kClockSet)[0].Arg("L0"), "30000/750/1");
  ASSERT_FALSE(run.Calls(kExtSet).empty());
  // The profile's curve is the driver's default one, which is sent as default markers.
  EXPECT_EQ(run.Calls(kExtSet)[0].Arg("values"), "0,1,0,0,0,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1");
}

TEST(HostProfileCommandTest, ConfirmingApplyNamesTheGpuOnlyWhenThereIsMoreThanOne) {
  struct Case {
    const char* scenario;
    const char* line;
  } const cases[] = {
      {kOnePolarisCard, "INFO: Succesfully applied profile \"X\""},
      {kTwoPolarisCards, "INFO: Succesfully applied profile \"X\" to GPU 0"},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.Scenario(c.scenario);
    rig.Ini(ProfileIni({{"X", kPolarisGaming}}));
    const RigRun run = rig.Run({"-consoleonly", "-c0X"});
    EXPECT_EQ(run.outLines, Lines{c.line});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.Calls(kClockSet).size(), 1u);
  }
}

TEST(HostProfileCommandTest, TheStarAppliesToEverySupportedCardAndSkipsTheOthersSilently) {
  Rig rig;
  rig.Scenario(kMiddleUnsupported);
  rig.Ini(ProfileIni({{"X", kPolarisGaming}}));
  const RigRun run = rig.Run({"-consoleonly", "-p*X"});
  EXPECT_TRUE(run.outLines.empty());
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(Adapters(run.Calls(kClockSet)), (std::vector<std::string>{"0", "2"}));
  for (const JournalEntry& entry : run.journal) EXPECT_NE(entry.Arg("adapter"), "1") << entry.line;
}

TEST(HostProfileCommandTest, CompareCommandsWriteOnlyWhenTheCardDiffers) {
  struct Case {
    const char* command;
    const char* profile;
    Lines lines;
    bool writes;
  } const cases[] = {
      {"cp0X", kPolarisGaming, {}, true},
      {"cp0X", kPolarisDefaults, {}, false},
      {"cm0X", kPolarisGaming,
       {"INFO: GPU 0 values were not equal with profile \"X\".Succesfully applied this profile."}, true},
      {"cm0X", kPolarisDefaults, {}, false},
      {"co0X", kPolarisGaming, {"INFO: GPU 0 values are not equal with profile \"X\"."}, false},
      {"co0X", kPolarisDefaults, {}, false},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.Ini(ProfileIni({{"X", c.profile}}));
    const RigRun run = rig.Run({"-consoleonly", c.command});
    const std::string what = std::string(c.command) + (c.writes ? " differing" : "");
    EXPECT_EQ(run.outLines, c.lines) << what;
    EXPECT_EQ(run.exitStatus, 0) << what;
    EXPECT_EQ(Writes(run).empty(), !c.writes) << what;
    if (c.writes) {
      ASSERT_EQ(run.Calls(kClockSet).size(), 1u) << what;
      EXPECT_EQ(run.Calls(kClockSet)[0].Arg("L7"), "140000/1150/1") << what;
    }
  }
}

TEST(HostProfileCommandTest, CmShowsItsInformationInABoxWithoutConsoleOnly) {
  Rig rig;
  rig.Ini(ProfileIni({{"X", kPolarisGaming}}));
  const RigRun run = rig.Run({"cm0X"});
  EXPECT_EQ(run.boxes, Lines{"BOX information \"Tunewright\" GPU 0 values were not equal with profile \"X\"."
                             "\\r\\nSuccesfully applied this profile."});
}

TEST(HostProfileCommandTest, AShortProfileWarnsAndTakesTheMissingStateFromTheCard) {
  Rig rig;
  // The card's own state 7 is moved so that it cannot be confused with any profile value.
  rig.Scenario(std::string(kOnePolarisCard) +
               "gpu_levels = 300/750, 600/769, 900/887, 1145/1100, 1215/1125, 1257/1150, 1300/1150, 1377/1140\n");
  rig.Ini(ProfileIni({{"Seven", Without(kPolarisGaming, "GPU_P7=1400;1150\n")}}));
  const RigRun run = rig.Run({"-consoleonly", "-p0Seven"});
  EXPECT_EQ(run.outLines, Lines{"WARNING: Warning: profile \"Seven\" contains less PStates than GPU 0 has."});
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.Calls(kClockSet).size(), 1u);
  EXPECT_EQ(run.Calls(kClockSet)[0].Arg("L6"), "130000/1150/1");
  EXPECT_EQ(run.Calls(kClockSet)[0].Arg("L7"), "137700/1140/1");
}

TEST(HostProfileCommandTest, MissingTimingLevelAndZeroRpmAreTakenFromTheCard) {
  Rig rig;
  rig.Scenario(kOnePolarisCard);
  rig.Ini(ProfileIni({{"X", Without(Without(kPolarisGaming, "Mem_TimingLevel=0\n"), "Fan_ZeroRPM=1\n")}}));
  const RigRun before = rig.Run({"-consoleonly", "-ac0", "mem_timinglevel=1", "fan_zerorpm=0"});
  ASSERT_EQ(before.Calls(kExtSet).size(), 1u);
  const RigRun run = rig.Run({"-consoleonly", "-p0X"});
  ASSERT_EQ(run.Calls(kExtSet).size(), 1u);
  EXPECT_EQ(run.Calls(kExtSet)[0].Arg("values"), "1,0,0,0,0,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1");
}

TEST(HostProfileCommandTest, AMissingFanPointSendsTheFirstCardsCurveToTheSecondCardToo) {
  Rig rig;  // Polaris (adapter 1) first, then Vega (adapter 0) with a curve of its own
  rig.Ini(ProfileIni({{"X", Without(kPolarisGaming, "Fan_P3=75;60\n")}}));
  // Polaris's curve moved away from the driver's default, so that it is sent as values.
  ASSERT_EQ(rig.Run({"-consoleonly", "-ac0", "fan_p0=30;25"}).Calls(kExtSet).size(), 1u);
  const RigRun run = rig.Run({"-consoleonly", "-p*X"});
  const std::vector<JournalEntry> sets = run.Calls(kExtSet);
  ASSERT_EQ(Adapters(sets), (std::vector<std::string>{"1", "0"}));
  EXPECT_EQ(sets[0].Arg("values"), "0,1,0,0,0,30,25,50,30,65,45,75,60,85,80");
  EXPECT_EQ(sets[1].Arg("values"), "0,1,0,0,0,30,25,50,30,65,45,75,60,85,80");
}

TEST(HostProfileCommandTest, ADeactivatedFanIsNeverWrittenAndItsCurveIsSentAsZeros) {
  Rig rig;
  rig.Ini(ProfileIni({{"X", kPolarisGaming}}, "FanDeactivatedGpus=0\n"));
  const RigRun run = rig.Run({"-consoleonly", "-p0X"});
  EXPECT_TRUE(run.Calls("ADL2_OverdriveN_FanControl_Set").empty());
  ASSERT_EQ(run.Calls(kExtSet).size(), 1u);
  EXPECT_EQ(run.Calls(kExtSet)[0].Arg("values"), "0,1,0,0,0,0,0,0,0,0,0,0,0,0,0");
  EXPECT_EQ(run.Calls(kClockSet).size(), 1u);
}

TEST(HostProfileCommandTest, AnOverdrive8ProfileWithoutGpuMinKeepsTheCardsMinimum) {
  Rig rig;
  rig.Ini(ProfileIni({{"Navi",
                       "GPU_P0=810;720\nGPU_P1=1460;810\nGPU_P2=2050;1150\nGPU_Max=2050\nMem_Max=870\n"
                       "Mem_TimingLevel=0\nFan_P0=45;23\nFan_P1=55;30\nFan_P2=65;40\nFan_P3=75;55\n"
                       "Fan_P4=85;70\nFan_ZeroRPM=1\nFan_Acoustic=1450\nPower_Target=5\n"}}));
  const RigRun run = rig.Run({"-consoleonly", "-p2Navi"});
  EXPECT_TRUE(run.outLines.empty());
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.Calls("ADL2_Overdrive8_Setting_Set").size(), 1u);
  const JournalEntry set = run.Calls("ADL2_Overdrive8_Setting_Set")[0];
  // The current values were read before the write.
  bool readFirst = false;
  for (const JournalEntry& entry : run.journal) {
    if (entry.name == "ADL2_Overdrive8_Setting_Set") break;
    if (entry.name == "ADL2_Overdrive8_Current_SettingX2_Get" && entry.Arg("adapter") == "4") readFirst = true;
  }
  EXPECT_TRUE(readFirst);
  EXPECT_EQ(set.Arg("set.0"), "2050/1/0");  // GPU maximum
  EXPECT_EQ(set.Arg("set.1"), "800/1/0");   // GPU minimum: the card's
  EXPECT_EQ(set.Arg("set.2"), "810/1/0");
  EXPECT_EQ(set.Arg("set.3"), "720/1/0");
  EXPECT_EQ(set.Arg("set.6"), "2050/1/0");
  EXPECT_EQ(set.Arg("set.8"), "870/1/0");   // memory maximum
}

TEST(HostProfileCommandTest, ResetIgnoresTrailingTextAndSendsTheDriverDefaults) {
  Rig rig;
  const RigRun run = rig.Run({"-consoleonly", "-r0junk"});
  EXPECT_TRUE(run.outLines.empty());
  EXPECT_EQ(run.exitStatus, 0);
  std::vector<std::string> names;
  for (const JournalEntry& write : Writes(run)) {
    names.push_back(write.name);
    EXPECT_EQ(write.Arg("adapter"), "1") << write.line;
    if (write.name != kExtSet) {
      EXPECT_EQ(write.Arg("mode"), "1") << write.line;
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{kClockSet, "ADL2_OverdriveN_MemoryClocksX2_Set",
                                             "ADL2_OverdriveN_FanControl_Set", kExtSet,
                                             "ADL2_OverdriveN_PowerLimit_Set"}));
  ASSERT_EQ(run.Calls("ADL2_OverdriveN_PowerLimit_Set").size(), 1u);
  EXPECT_EQ(run.Calls("ADL2_OverdriveN_PowerLimit_Set")[0].Arg("max_temp"), "-1");
}

// Probes of the driver made after the card's device restart.
size_t ProbesAfterRestart(const RigRun& run, const std::string& adapter) {
  size_t probes = 0;
  bool restarted = false;
  for (const JournalEntry& entry : run.journal) {
    if (entry.name == "adlsim_DisplayDevice_Restart") restarted = true;
    if (restarted && entry.name == "ADL2_OverdriveN_PowerLimit_Get" && entry.Arg("adapter") == adapter) ++probes;
  }
  return probes;
}

TEST(HostProfileCommandTest, RestartWaitsForTheDriverOnlyWhenAnotherCommandFollows) {
  struct Case {
    std::vector<std::string> args;
    size_t restarts;
    bool waits;
  } const cases[] = {
      {{"-consoleonly", "-t0", "-t1"}, 2, false},
      {{"-consoleonly", "-t0"}, 1, false},
      {{"-consoleonly", "-t0", "xyz"}, 1, true},
      {{"-consoleonly", "-showgui", "-t0"}, 1, true},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.Scenario(kOnePolarisCard);
    if (c.restarts == 2) rig.Scenario(kTwoPolarisCards);
    const RigRun run = rig.Run(c.args);
    EXPECT_EQ(run.Calls("adlsim_DisplayDevice_Restart").size(), c.restarts) << c.args.back();
    EXPECT_EQ(ProbesAfterRestart(run, "0") > 0, c.waits) << c.args[1] << " " << c.args.back();
    EXPECT_EQ(run.exitStatus, c.args.back() == "xyz" ? 255 : 0) << c.args[1];
  }
}

TEST(HostProfileCommandTest, RestartWithoutAdministratorRightsNeverTouchesTheDevice) {
  Rig rig;
  rig.Scenario("[machine]\nadmin = 0\n\n[card a]\npreset = polaris\nbus = 1\n");
  const RigRun run = rig.Run({"-consoleonly", "-t0"});
  EXPECT_EQ(run.outLines, Lines{"ERROR: -t command requires administrator rights, failed to restart GPU 0"});
  EXPECT_EQ(run.exitStatus, 0);
  for (const JournalEntry& entry : run.journal) EXPECT_EQ(entry.name.rfind("adlsim_DisplayDevice", 0), std::string::npos);
}

TEST(HostProfileCommandTest, AFailedDeviceRestartIsReportedAndLeavesTheRestartToolAlone) {
  Rig rig;
  rig.Scenario("[card a]\npreset = polaris\nbus = 1\n\n[faults]\nadlsim_DisplayDevice_Restart = 5\n");
  WriteFileBytes(rig.folder() / "devcon.exe", "#!/bin/sh\necho \"$@\" > devcon.args\n");
  fs::permissions(rig.folder() / "devcon.exe", fs::perms::owner_all);
  const RigRun run = rig.Run({"-consoleonly", "-t0"});
  EXPECT_EQ(run.outLines, (Lines{"ERROR: SetupDiRestartDevices function failed (ErrorCode: 5) (Access is denied.)",
                                 "ERROR: Failed to restart GPU 0"}));
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_FALSE(rig.Exists("devcon.args"));
}

}  // namespace
}  // namespace tw::e2e
