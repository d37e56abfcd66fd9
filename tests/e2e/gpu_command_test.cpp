// The per-GPU command (-ac) end to end: which groups reach the driver, with which values,
// and the messages of bad parameters.

#include <gtest/gtest.h>

#include <string>

#include "e2e_rigs.h"
#include "harness.h"

namespace tw::e2e {
namespace {

using Lines = std::vector<std::string>;

const char* const kClockSet = "ADL2_OverdriveN_SystemClocksX2_Set";
const char* const kPolarisClocks =
    "L0=30000/750/1 L1=60000/769/1 L2=90000/887/1 L3=114500/1100/1 L4=121500/1125/1 L5=125700/1150/1 "
    "L6=130000/1150/1 L7=136600/1150/1";

// The names of the calls that change a card, in order.
std::vector<std::string> WriteNames(const RigRun& run) {
  std::vector<std::string> names;
  for (const JournalEntry& entry : run.journal) {
    const std::string& n = entry.name;
    if ((n.size() > 4 && n.compare(n.size() - 4, 4, "_Set") == 0) ||
        (n.size() > 6 && n.compare(n.size() - 6, 6, "_Reset") == 0))
      names.push_back(n);
  }
  return names;
}

// "L0=... L7=..." of a clock set, as written in the journal.
std::string Levels(const JournalEntry& set) {
  std::string text;
  for (int i = 0; i < 8; ++i) {
    const std::string key = "L" + std::to_string(i);
    text += (i ? " " : "") + key + "=" + set.Arg(key);
  }
  return text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

struct ClockCase {
  std::vector<std::string> parameters;
  std::string levels;  // the record sent for the GPU clocks
};

TEST(HostGpuCommandTest, StateParametersWriteOnlyTheGpuClocksOverTheCardsValues) {
  const ClockCase cases[] = {
      {{"gpu_p2=1100;900"}, Replace(kPolarisClocks, "L2=90000/887/1", "L2=110000/900/1")},
      {{"gpu_p#=*;950;0"}, Replace(kPolarisClocks, "L7=136600/1150/1", "L7=136600/950/0")},
      {{"GPU_P1=1000;800"}, Replace(kPolarisClocks, "L1=60000/769/1", "L1=100000/800/1")},
      {{"gpu_p1=*;*;0", "gpu_p3=1150;*"},
       Replace(Replace(kPolarisClocks, "L1=60000/769/1", "L1=60000/769/0"), "L3=114500/1100/1", "L3=115000/1100/1")},
  };
  for (const ClockCase& c : cases) {
    Rig rig;
    std::vector<std::string> args{"-consoleonly", "-ac0"};
    args.insert(args.end(), c.parameters.begin(), c.parameters.end());
    const RigRun run = rig.Run(args);
    EXPECT_TRUE(run.outLines.empty()) << c.parameters[0];
    EXPECT_EQ(run.exitStatus, 0) << c.parameters[0];
    EXPECT_EQ(WriteNames(run), Lines{kClockSet}) << c.parameters[0];
    ASSERT_EQ(run.Calls(kClockSet).size(), 1u) << c.parameters[0];
    const JournalEntry set = run.Calls(kClockSet)[0];
    EXPECT_EQ(set.Arg("adapter"), "1");
    EXPECT_EQ(set.Arg("mode"), "3");
    EXPECT_EQ(Levels(set), c.levels) << c.parameters[0];
  }
}

struct MessageCase {
  std::vector<std::string> args;
  Lines lines;
  Lines writes;
};

TEST(HostGpuCommandTest, BadParametersAreReportedAndWriteNothing) {
  const MessageCase cases[] = {
      {{"-ac0", "gpu_p9=1000;800"},
       {"ERROR: Wrong command: -ac0 gpu_p9=1000;800\"9\" exceeds Pstates number for GPU 0"},
       {}},
      {{"-ac0", "gpu_p1=1000"}, {"ERROR: Wrong command: -ac0 gpu_p1=1000\"gpu_p1=1000\" is not valid parameter"}, {}},
      {{"-ac0", "gpu_px=1000;800"}, {"ERROR: Wrong command: -ac0 gpu_px=1000;800\"x\" is not valid Pstate number"}, {}},
      {{"-ac0", "fan_p5=60;70"}, {"ERROR: Wrong command: -ac0 fan_p5=60;70\"5\" exceeds Fan Pstates number (0-4) 0"}, {}},
      {{"-ac0", "power_target=abc"},
       {"ERROR: Failed to parse command: \"-ac0 power_target=abc\"'abc' is not a valid integer value"},
       {}},
      {{"-ac0", "volume=3"}, {"ERROR: Wrong command: -ac0 volume=3\"volume=3\" is not valid parameter"}, {}},
      {{"-acx", "power_target=5"}, {"ERROR: Wrong command: -acx power_target=5\"x\" cannot be used as [gpu_id]"}, {}},
      {{"-ac12", "power_target=5"}, {"ERROR: Wrong command: -ac12 power_target=5GPU with id=12 not found"}, {}},
      {{"-ac3", "power_target=5"}, {"ERROR: Wrong command: -ac3 power_target=5GPU with id=3 is not supported"}, {}},
      {{"-ac0", "fan_p2=60"}, {}, {"ADL2_OverdriveN_SettingsExt_Set"}},
      {{"-ac0", "gpu_min=900"}, {}, {}},
      {{"-ac1", "setconstantfanspeed=150", "setchill=on"},
       {"ERROR: Wrong command: -ac1 setconstantfanspeed=150 setchill=onPut fan speed value between 0 and 100"},
       {}},
      {{"-ac1", "setchill=maybe"}, {"ERROR: Wrong command: -ac1 setchill=maybePut correct Chill value: on/off (1/0) "}, {}},
  };
  for (const MessageCase& c : cases) {
    Rig rig;
    std::vector<std::string> args{"-consoleonly"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RigRun run = rig.Run(args);
    EXPECT_EQ(run.outLines, c.lines) << c.args[1];
    EXPECT_EQ(WriteNames(run), c.writes) << c.args[1];
    EXPECT_EQ(run.exitStatus, 0) << c.args[1] << ": the per-GPU command leaves the status alone";
    EXPECT_TRUE(run.Calls("ADL2_Chill_Settings_Set").empty()) << c.args[1];
  }
}

TEST(HostGpuCommandTest, AFanPointWithoutItsSpeedStillWritesTheCardsCurve) {
  Rig rig;
  // A curve of the card's own that is not the driver's default (which would be sent as -1).
  const RigRun first = rig.Run({"-consoleonly", "-ac0", "fan_p0=30;25"});
  ASSERT_EQ(first.Calls("ADL2_OverdriveN_SettingsExt_Set").size(), 1u);
  EXPECT_EQ(first.Calls("ADL2_OverdriveN_SettingsExt_Set")[0].Arg("values"), "0,1,0,0,0,30,25,50,30,65,45,75,60,85,80");
  const RigRun run = rig.Run({"-consoleonly", "-ac0", "fan_p2=60"});
  EXPECT_TRUE(run.outLines.empty());
  ASSERT_EQ(run.Calls("ADL2_OverdriveN_SettingsExt_Set").size(), 1u);
  EXPECT_EQ(run.Calls("ADL2_OverdriveN_SettingsExt_Set")[0].Arg("values"), "0,1,0,0,0,30,25,50,30,65,45,75,60,85,80");
}

TEST(HostGpuCommandTest, TheDriversDefaultCurveIsSentAsDefaultMarkers) {
  Rig rig;
  const RigRun run = rig.Run({"-consoleonly", "-ac0", "fan_zerorpm=0"});
  ASSERT_EQ(run.Calls("ADL2_OverdriveN_SettingsExt_Set").size(), 1u);
  EXPECT_EQ(run.Calls("ADL2_OverdriveN_SettingsExt_Set")[0].Arg("values"), "0,0,0,0,0,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1");
}

TEST(HostGpuCommandTest, AutomaticFanSpeedResetsTheFanTestThenSwitchesChill) {
  Rig rig;
  const RigRun run = rig.Run({"-consoleonly", "-ac1", "setconstantfanspeed=auto", "setchill=on"});
  EXPECT_TRUE(run.outLines.empty());
  // Overdrive5 refuses on this card, Overdrive6 resets, the OverdriveN fan goes back to mode 3.
  EXPECT_EQ(WriteNames(run), (Lines{"ADL2_Overdrive5_FanSpeedToDefault_Set", "ADL2_Overdrive6_FanSpeed_Reset",
                                    "ADL2_OverdriveN_FanControl_Set", "ADL2_Chill_Settings_Set"}));
  ASSERT_EQ(run.Calls("ADL2_OverdriveN_FanControl_Set").size(), 1u);
  EXPECT_EQ(run.Calls("ADL2_OverdriveN_FanControl_Set")[0].Arg("mode"), "3");
  ASSERT_EQ(run.Calls("ADL2_Chill_Settings_Set").size(), 1u);
  EXPECT_EQ(run.Calls("ADL2_Chill_Settings_Set")[0].Arg("state"), "1");
  EXPECT_EQ(run.Calls("ADL2_Chill_Settings_Set")[0].Arg("adapter"), "0");
}

TEST(HostGpuCommandTest, TheStarRunsForEverySupportedCardInListOrder) {
  Rig rig;
  rig.Scenario(kMiddleUnsupported);
  const RigRun run = rig.Run({"-consoleonly", "-ac*", "power_target=20"});
  EXPECT_TRUE(run.outLines.empty());
  const std::vector<JournalEntry> sets = run.Calls("ADL2_OverdriveN_PowerLimit_Set");
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].Arg("adapter"), "0");
  EXPECT_EQ(sets[1].Arg("adapter"), "2");
  for (const JournalEntry& set : sets) EXPECT_EQ(set.Arg("power"), "20") << set.line;
  for (const JournalEntry& entry : run.journal) EXPECT_NE(entry.Arg("adapter"), "1") << entry.line;
}

TEST(HostGpuCommandTest, APendingCommandIsWrittenBeforeTheReportThatFollowsIt) {
  Rig rig;
  const RigRun run = rig.Run({"-ac0", "gpu_p2=1100;900", "-getcurrent"});
  ASSERT_EQ(run.outLines.size(), 3u);
  EXPECT_NE(run.outLines[0].find("|GPU_P2=1100;900|"), std::string::npos) << run.outLines[0];
  size_t setAt = 0, lastReadAt = 0;
  for (size_t i = 0; i < run.journal.size(); ++i) {
    if (run.journal[i].name == kClockSet) setAt = i;
    if (run.journal[i].name == "ADL2_OverdriveN_SystemClocksX2_Get" && run.journal[i].Arg("adapter") == "1")
      lastReadAt = i;
  }
  EXPECT_GT(setAt, 0u);
  EXPECT_LT(setAt, lastReadAt);
}

TEST(HostGpuCommandTest, AnAcCommandEndedByAnotherAcRunsFirst) {
  Rig rig;
  const RigRun run = rig.Run({"-consoleonly", "-ac0", "power_target=10", "-ac1", "power_target=20"});
  const std::vector<JournalEntry> sets = run.Calls("ADL2_OverdriveN_PowerLimit_Set");
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].Arg("adapter"), "1");
  EXPECT_EQ(sets[0].Arg("power"), "10");
  EXPECT_EQ(sets[1].Arg("adapter"), "0");
  EXPECT_EQ(sets[1].Arg("power"), "20");
}

TEST(HostGpuCommandTest, WithElevenCardsTheIdIsTakenWhole) {
  Rig rig;
  rig.Scenario("[machine]\nkernel_drivers = atikmdag.sys\n\n[card rx580]\npreset = polaris\nbus = 1\ncopies = 11\n");
  const RigRun missing = rig.Run({"-consoleonly", "-ac12", "power_target=5"});
  EXPECT_EQ(missing.outLines, Lines{"ERROR: Wrong command: -ac12 power_target=5GPU with id=12 not found"});
  EXPECT_TRUE(missing.Calls("ADL2_OverdriveN_PowerLimit_Set").empty());
  const RigRun last = rig.Run({"-consoleonly", "-ac10", "power_target=5"});
  EXPECT_TRUE(last.outLines.empty());
  ASSERT_EQ(last.Calls("ADL2_OverdriveN_PowerLimit_Set").size(), 1u);
  EXPECT_EQ(last.Calls("ADL2_OverdriveN_PowerLimit_Set")[0].Arg("adapter"), "10");
}

}  // namespace
}  // namespace tw::e2e
