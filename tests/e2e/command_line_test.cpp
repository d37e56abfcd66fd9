// The argument loop as a script sees it: wrong commands and their messages, the exit
// status, where messages go before and after -consoleonly, and two-digit gpu_ids.

#include <gtest/gtest.h>

#include "e2e_rigs.h"
#include "harness.h"

namespace tw::e2e {
namespace {

using Lines = std::vector<std::string>;

struct WrongCommandCase {
  const char* argument;
  Lines lines;
};

TEST(HostCommandLineTest, WrongCommandsArePrintedOneLineEachAndTheStatusIs255) {
  const WrongCommandCase cases[] = {
      {"xy", {"ERROR: Wrong command: xy"}},
      {"-pxGaming", {"ERROR: Wrong command: -pxGaming\"x\" cannot be used as [gpu_id]"}},
      {"-p5Gaming", {"ERROR: Wrong command - GPU with id=5 not found"}},
      {"-p3Gaming", {"ERROR: Wrong command - GPU with id=3 is not supported"}},
      {"-p0gaming", {"ERROR: Wrong command - profile: \"gaming\" not found"}},
      {"cpxGaming", {"ERROR: Wrong command: cpxGaming\"x\" cannot be used as [gpu_id]"}},
      {"-getcurrentx", {"ERROR: Wrong command: -getcurrentx"}},
  };
  for (const WrongCommandCase& c : cases) {
    Rig rig;
    rig.Ini(ProfileIni({{"Gaming", kPolarisDefaults}}));
    const RigRun run = rig.Run({"-consoleonly", c.argument});
    EXPECT_EQ(run.outLines, c.lines) << c.argument;
    EXPECT_EQ(run.exitStatus, 255) << c.argument;
    EXPECT_TRUE(run.boxes.empty()) << c.argument;
    EXPECT_TRUE(run.Calls("ADL2_OverdriveN_SystemClocksX2_Set").empty()) << c.argument;
  }
}

TEST(HostCommandLineTest, AFailingArgumentDoesNotStopTheNextOne) {
  Rig rig;
  rig.Ini(ProfileIni({{"Gaming", kPolarisGaming}}));
  const RigRun run = rig.Run({"-consoleonly", "xy", "-p0Gaming"});
  EXPECT_EQ(run.outLines, Lines{"ERROR: Wrong command: xy"});
  EXPECT_EQ(run.exitStatus, 255);
  ASSERT_EQ(run.Calls("ADL2_OverdriveN_SystemClocksX2_Set").size(), 1u);
  EXPECT_EQ(run.Calls("ADL2_OverdriveN_SystemClocksX2_Set")[0].Arg("L7"), "140000/1150/1");
}

TEST(HostCommandLineTest, ASucceedingRunEndsWithZero) {
  Rig rig;
  rig.Ini(ProfileIni({{"Gaming", kPolarisGaming}}));
  const RigRun run = rig.Run({"-consoleonly", "-p0Gaming"});
  EXPECT_TRUE(run.outLines.empty());
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(run.exitStatus, 0);
}

TEST(HostCommandLineTest, ConsoleOnlyAfterACommandLeavesThatCommandsMessagesInBoxes) {
  Rig rig;
  rig.Ini(ProfileIni({{"Gaming", kPolarisDefaults}}));
  const RigRun run = rig.Run({"-p5Gaming", "-consoleonly", "xy"});
  EXPECT_EQ(run.boxes, Lines{"BOX error \"Tunewright\" Wrong command - GPU with id=5 not found"});
  EXPECT_EQ(run.outLines, Lines{"ERROR: Wrong command: xy"});
  EXPECT_EQ(run.exitStatus, 255);
  // A per-GPU command run after the last argument too, though a -consoleonly follows it.
  const RigRun pending = rig.Run({"-ac0", "gpu_p9=1000;800", "-consoleonly"});
  EXPECT_EQ(pending.boxes, Lines{"BOX error \"Tunewright\" Wrong command: -ac0 gpu_p9=1000;800\\r\\n\"9\" exceeds "
                                 "Pstates number for GPU 0"});
  EXPECT_TRUE(pending.outLines.empty());
}

TEST(HostCommandLineTest, WithMoreThanTenCardsTheGpuIdHasTwoDigits) {
  Rig rig;
  rig.Scenario(kTwelvePolarisCards);
  rig.Ini(ProfileIni({{"X", kPolarisGaming}}));

  const RigRun good = rig.Run({"-consoleonly", "-p05X"});
  EXPECT_TRUE(good.outLines.empty());
  EXPECT_EQ(good.exitStatus, 0);
  ASSERT_EQ(good.Calls("ADL2_OverdriveN_SystemClocksX2_Set").size(), 1u);
  EXPECT_EQ(good.Calls("ADL2_OverdriveN_SystemClocksX2_Set")[0].Arg("adapter"), "5");

  const RigRun oneDigit = rig.Run({"-consoleonly", "-p5X"});
  EXPECT_EQ(oneDigit.outLines,
            Lines{"ERROR: Wrong command: -p5XFor systems with more than 10 GPUs two digits must be used as [gpu_id] "
                  "(00,01,02 ... 09,10,11,12,13 ...)"});
  EXPECT_EQ(oneDigit.exitStatus, 255);
  EXPECT_TRUE(oneDigit.Calls("ADL2_OverdriveN_SystemClocksX2_Set").empty());

  const RigRun beyond = rig.Run({"-consoleonly", "-p12X"});
  EXPECT_EQ(beyond.outLines, Lines{"ERROR: Wrong command - GPU with id=12 not found"});
  EXPECT_EQ(beyond.exitStatus, 255);
}

TEST(HostCommandLineTest, AWrongWaitAfterTheFirstArgumentFailsTheRun) {
  Rig rig;
  const RigRun run = rig.Run({"-consoleonly", "-waitabc"});
  EXPECT_EQ(run.outLines, Lines{"ERROR: Wrong command: -waitabc\"abc\" cannot be used as wait time"});
  EXPECT_EQ(run.exitStatus, 255);
}

TEST(HostCommandLineTest, AFailedApplyIsReportedAfterTheSettersOwnMessage) {
  Rig rig;
  rig.Scenario(std::string(kOnePolarisCard) + "\n[faults]\nADL2_OverdriveN_PowerLimit_Set = -1\n");
  rig.Ini(ProfileIni({{"X", kPolarisGaming}}));
  const RigRun run = rig.Run({"-consoleonly", "-p0X"});
  EXPECT_EQ(run.outLines, (Lines{"ERROR: Failed to set Power values for GPU 0 (ErrorCode: -1)",
                                 "ERROR: Failed to apply profile \"X\" to GPU 0"}));
  EXPECT_EQ(run.exitStatus, 255);
  EXPECT_EQ(run.Calls("ADL2_OverdriveN_SystemClocksX2_Set").size(), 1u) << "the earlier groups are still written";
}

TEST(HostCommandLineTest, AnOverdrive8ProfileWithTooFewStatesIsAFailedCommand) {
  Rig rig;
  rig.Ini(ProfileIni({{"Two", "GPU_P0=800;711\nGPU_P1=1450;801\nFan_Acoustic=1450\nPower_Target=0\n"}}));
  const RigRun run = rig.Run({"-consoleonly", "-p2Two"});
  EXPECT_EQ(run.outLines, Lines{"ERROR: Failed to parse command: -p2Two"});
  EXPECT_EQ(run.exitStatus, 255);
  EXPECT_TRUE(run.Calls("ADL2_Overdrive8_Setting_Set").empty());
}

TEST(HostCommandLineTest, StatesBeyondTheCardsAreIgnoredWithoutAMessage) {
  Rig rig;
  rig.Ini(ProfileIni({{"Nine", std::string(kPolarisGaming) + "GPU_P8=1500;1200\n"}}));
  const RigRun run = rig.Run({"-consoleonly", "-p0Nine"});
  EXPECT_TRUE(run.outLines.empty());
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.Calls("ADL2_OverdriveN_SystemClocksX2_Set").size(), 1u);
  const JournalEntry set = run.Calls("ADL2_OverdriveN_SystemClocksX2_Set")[0];
  EXPECT_EQ(set.Arg("levels"), "8");
  EXPECT_EQ(set.Arg("L7"), "140000/1150/1");
  EXPECT_EQ(set.Arg("L8"), "");
}

}  // namespace
}  // namespace tw::e2e
