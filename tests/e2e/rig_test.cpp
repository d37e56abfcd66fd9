// The harness itself, end to end: the host program and the simulated-hardware exe under
// wine, each with the simulator beside it, through the start-up and the argument loop.

#include <gtest/gtest.h>

#include "harness.h"

namespace tw::e2e {
namespace {

const char* const kNoAmdDriver = "[machine]\nkernel_drivers = ntoskrnl.exe, amdkmdag.sy, ATIKMDAG.SYS\n";
const char* const kWaitBox = "BOX error \"Tunewright\" Wrong command: -waitabc\\r\\n\"abc\" cannot be used as wait time";

std::vector<std::string> AskedDrivers(const RigRun& run) {
  std::vector<std::string> asked;
  for (const JournalEntry& call : run.Calls("adlsim_KernelDriver_Name")) asked.push_back(call.Arg("name"));
  return asked;
}

bool AnyDriverCall(const RigRun& run) {
  for (const JournalEntry& entry : run.journal)
    if (entry.name.rfind("ADL2_", 0) == 0) return true;
  return false;
}

class RigTest : public ::testing::TestWithParam<Target> {
 protected:
  void SetUp() override {
    if (GetParam() == Target::Windows && !GetProducts().HasWindows())
      GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  }
};

TEST_P(RigTest, WithoutTheAmdKernelDriverTheRunEndsSilentlyWith255BeforeAnyDriverCall) {
  Rig rig(GetParam());
  rig.Scenario(kNoAmdDriver);
  const RigRun run = rig.Run({"-p0Gaming", "-getcurrent"});
  EXPECT_EQ(run.exitStatus, 255);
  EXPECT_TRUE(run.outLines.empty());
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(AskedDrivers(run).size(), 3u) << "every name looked at, none matches exactly";
  EXPECT_FALSE(AnyDriverCall(run));
}

TEST_P(RigTest, TheSimulatorsDriverListLetsTheStartGoOnWhicheverNameTheLibraryHas) {
  for (const char* name : {"atiadlxx.dll", "amdadlxx.dll"}) {
    Rig rig(GetParam());
    rig.Simulator("full", name);
    if (GetParam() == Target::Windows) rig.WatchBoxes({"OK"});
    const RigRun run = rig.Run({"-p0Gaming"});
    EXPECT_EQ(AskedDrivers(run), (std::vector<std::string>{"ntoskrnl.exe", "hal.dll", "atikmdag.sys"})) << name;
    // The start went on to the arguments: the unknown profile is reported.
    EXPECT_EQ(run.boxes, std::vector<std::string>{"BOX error \"Tunewright\" Wrong command - profile: \"Gaming\" not found"})
        << name;
  }
}

TEST_P(RigTest, AFailingDriverEnumerationIsShownAndTheStartGoesOn) {
  Rig rig(GetParam());
  rig.Scenario("[faults]\nadlsim_KernelDrivers_Count = 5\n");
  if (GetParam() == Target::Windows) rig.WatchBoxes({"OK"});
  const RigRun run = rig.Run({"-p0Gaming"});
  ASSERT_FALSE(run.boxes.empty());
  EXPECT_EQ(run.boxes[0].rfind("BOX error \"Tunewright\" EnumDeviceDrivers function failed", 0), 0u) << run.boxes[0];
  EXPECT_NE(run.boxes[0].find("(ErrorCode: 5)"), std::string::npos) << run.boxes[0];
}

TEST_P(RigTest, AWrongLeadingWaitIsReportedInABoxAndTheStatusFollowsTheStart) {
  Rig rig(GetParam());
  rig.Scenario(kNoAmdDriver);
  if (GetParam() == Target::Windows) rig.WatchBoxes({"OK"});
  const RigRun run = rig.Run({"-waitabc", "-p0Gaming"});
  EXPECT_EQ(run.boxes, std::vector<std::string>{kWaitBox});
  EXPECT_EQ(run.exitStatus, 255);
}

INSTANTIATE_TEST_SUITE_P(Host, RigTest, ::testing::Values(Target::Host));
INSTANTIATE_TEST_SUITE_P(Windows, RigTest, ::testing::Values(Target::Windows));

// The adlsim tool in a rig's folder, where a scenario file lies beside the simulator.
TEST(AdlsimToolTest, JournalAndClearJournalWorkBesideAScenario) {
  Rig rig;
  rig.Scenario("[card a]\npreset = polaris\nbus = 1\n");
  rig.Run({"-consoleonly", "-getcurrent"});
  const std::string journal = rig.File("adlsim.journal");
  ASSERT_FALSE(journal.empty());
  const auto tool = [&](const char* command) {
    return RunProcess({(GetProducts().hostBin / "adlsim").string(), "--dir", rig.folder().string(), command},
                      rig.folder());
  };
  const RunResult printed = tool("journal");
  EXPECT_EQ(printed.exitStatus, 0) << printed.err;
  EXPECT_EQ(printed.out, journal);
  const RunResult cleared = tool("clear-journal");
  EXPECT_EQ(cleared.exitStatus, 0) << cleared.err;
  EXPECT_EQ(rig.File("adlsim.journal"), "");
}

TEST(JournalParseTest, LinesBecomeNamesArgumentsAndResults) {
  const std::vector<JournalEntry> entries = ParseJournal(
      "# a note\n"
      "ADL2_OverdriveN_SystemClocksX2_Set adapter=1 size=140 mode=3 L0=30000/750/1 result=-1 us=12 pid=7\n"
      "ERROR adlsim: bad scenario\n"
      "adlsim_DisplayDevice_SetFriendlyName name=\"My \\\"card\\\" \\\\ 1\" index=0 result=0 us=3 pid=7\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "ADL2_OverdriveN_SystemClocksX2_Set");
  EXPECT_EQ(entries[0].Arg("L0"), "30000/750/1");
  EXPECT_EQ(entries[0].result, -1);
  EXPECT_EQ(entries[1].Arg("name"), "My \"card\" \\ 1");
  EXPECT_EQ(entries[1].Arg("index"), "0");
  EXPECT_EQ(entries[1].Arg("missing"), "");
}

}  // namespace
}  // namespace tw::e2e
