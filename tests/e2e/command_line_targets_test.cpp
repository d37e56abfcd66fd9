// The command line on both products: the host program and the Windows exe started from
// cmd under wine, where the console lines, the boxes the watcher sees and the exit status
// as cmd reports it are what a scheduled task or a batch file gets.

#include <gtest/gtest.h>

#include "e2e_rigs.h"
#include "harness.h"

namespace tw::e2e {
namespace {

using Lines = std::vector<std::string>;

class CommandLineTargetTest : public ::testing::TestWithParam<Target> {
 protected:
  void SetUp() override {
    if (GetParam() == Target::Windows && !GetProducts().HasWindows())
      GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  }
};

TEST_P(CommandLineTargetTest, WrongCommandsGiveOneConsoleLineEachAndStatus255) {
  Rig rig(GetParam());
  rig.Ini(ProfileIni({{"Gaming", kPolarisDefaults}}));
  const RigRun run = rig.Run({"-consoleonly", "xy", "-pxGaming", "-p5Gaming", "-p0gaming"});
  EXPECT_EQ(run.outLines, (Lines{"ERROR: Wrong command: xy",
                                 "ERROR: Wrong command: -pxGaming\"x\" cannot be used as [gpu_id]",
                                 "ERROR: Wrong command - GPU with id=5 not found",
                                 "ERROR: Wrong command - profile: \"gaming\" not found"}));
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(run.exitStatus, 255);
}

TEST_P(CommandLineTargetTest, MessagesBeforeConsoleOnlyAreBoxes) {
  Rig rig(GetParam());
  if (GetParam() == Target::Windows) rig.WatchBoxes({"OK"});
  const RigRun run = rig.Run({"-p5Gaming", "-consoleonly", "xy"});
  EXPECT_EQ(run.boxes, Lines{"BOX error \"Tunewright\" Wrong command - GPU with id=5 not found"});
  EXPECT_EQ(run.outLines, Lines{"ERROR: Wrong command: xy"});
  EXPECT_EQ(run.exitStatus, 255);
}

TEST_P(CommandLineTargetTest, AConfirmedApplyWritesTheCardAndEndsWithZero) {
  Rig rig(GetParam());
  rig.Ini(ProfileIni({{"Gaming", kPolarisGaming}}));
  const RigRun run = rig.Run({"-consoleonly", "-c0Gaming"});
  EXPECT_EQ(run.outLines, Lines{"INFO: Succesfully applied profile \"Gaming\" to GPU 0"});
  EXPECT_EQ(run.exitStatus, 0);
  const std::vector<JournalEntry> sets = run.Calls("ADL2_OverdriveN_SystemClocksX2_Set");
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].Arg("L7"), "140000/1150/1");
}

TEST_P(CommandLineTargetTest, APendingAcIsWrittenBeforeTheReport) {
  Rig rig(GetParam());
  const RigRun run = rig.Run({"-consoleonly", "-ac0", "gpu_p2=1100;900", "-getcurrent"});
  ASSERT_EQ(run.outLines.size(), 3u);
  EXPECT_EQ(run.outLines[0].rfind("0: Radeon RX 580 Series|GPU_P0=300;750|GPU_P1=600;769|GPU_P2=1100;900|", 0), 0u)
      << run.outLines[0];
  EXPECT_EQ(run.outLines[2].rfind("2: Radeon RX 5700 XT|", 0), 0u) << run.outLines[2];
  EXPECT_EQ(run.exitStatus, 0);
}

INSTANTIATE_TEST_SUITE_P(Host, CommandLineTargetTest, ::testing::Values(Target::Host));
INSTANTIATE_TEST_SUITE_P(Windows, CommandLineTargetTest, ::testing::Values(Target::Windows));

}  // namespace
}  // namespace tw::e2e
