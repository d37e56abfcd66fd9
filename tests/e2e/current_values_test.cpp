// -getcurrent end to end: the report lines a script reads, the driver calls behind them,
// and the start-up failures of the driver library that end the run before any report.

#include <gtest/gtest.h>

#include "e2e_rigs.h"
#include "harness.h"

namespace tw::e2e {
namespace {

using Lines = std::vector<std::string>;

const char* const kPolarisLine =
    "0: Radeon RX 580 Series|GPU_P0=300;750|GPU_P1=600;769|GPU_P2=900;887|GPU_P3=1145;1100|GPU_P4=1215;1125"
    "|GPU_P5=1257;1150|GPU_P6=1300;1150|GPU_P7=1366;1150|Mem_P0=300;750|Mem_P1=1000;800|Mem_P2=2000;950"
    "|Fan_Acoustic=1180|Power_Target=0|Fan_P0=35;20|Fan_P1=50;30|Fan_P2=65;45|Fan_P3=75;60|Fan_P4=85;80"
    "|Fan_ZeroRPM=1|Mem_TimingLevel=0";
const char* const kVegaLine =
    "1: Radeon RX Vega|GPU_P0=852;800|GPU_P1=991;900|GPU_P2=1084;950|GPU_P3=1138;1000|GPU_P4=1200;1050"
    "|GPU_P5=1401;1100|GPU_P6=1536;1150|GPU_P7=1630;1200|Mem_P0=167;800|Mem_P1=500;800|Mem_P2=800;900"
    "|Mem_P3=945;950|Fan_Acoustic=1500|Power_Target=0|Fan_P0=40;20|Fan_P1=55;30|Fan_P2=65;45|Fan_P3=75;65"
    "|Fan_P4=85;90|Fan_ZeroRPM=1|Mem_TimingLevel=0";
const char* const kNaviLine =
    "2: Radeon RX 5700 XT|GPU_P0=800;711|GPU_P1=1450;801|GPU_P2=2100;1200|Fan_Acoustic=1450|Power_Target=0"
    "|Fan_P0=45;23|Fan_P1=55;30|Fan_P2=65;40|Fan_P3=75;55|Fan_P4=85;70|Fan_ZeroRPM=1|Mem_TimingLevel=0"
    "|GPU_Min=800|GPU_Max=2100|Mem_Max=875";

const char* const kMissingExtSettingsBox =
    "BOX error \"Tunewright\" Failed to get ADL function pointers.\\nMissing functions:\\n"
    "ADL2_OverdriveN_SettingsExt_Get (18.12.2 driver or newer)\\n"
    "ADL2_OverdriveN_SettingsExt_Set (18.12.2 driver or newer)\\n"
    " (ErrorCode: 127) (The specified procedure could not be found.)";

TEST(HostCurrentValuesTest, TheDefaultRigGivesOneLinePerSupportedCard) {
  Rig rig;
  const RigRun run = rig.Run({"-getcurrent"});
  EXPECT_EQ(run.outLines, (Lines{kPolarisLine, kVegaLine, kNaviLine}));
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(run.exitStatus, 0);
}

TEST(HostCurrentValuesTest, TheReportUsesTheConsoleWhateverConsoleOnlySays) {
  Rig rig;
  const RigRun run = rig.Run({"-consoleonly", "-getcurrent"});
  EXPECT_EQ(run.outLines, (Lines{kPolarisLine, kVegaLine, kNaviLine}));
}

TEST(HostCurrentValuesTest, DiscoveryAndEachCardReadOpenAndCloseTheirOwnConnection) {
  Rig rig;
  const RigRun run = rig.Run({"-getcurrent"});
  // Discovery, then Polaris, Vega and Navi: four connections, each closed.
  EXPECT_EQ(run.Calls("ADL2_Main_Control_Create").size(), 4u);
  EXPECT_EQ(run.Calls("ADL2_Main_Control_Destroy").size(), 4u);
  std::vector<std::string> order;
  for (const JournalEntry& entry : run.journal)
    if (entry.name == "ADL2_Main_Control_Create" || entry.name == "ADL2_Main_Control_Destroy")
      order.push_back(entry.name == "ADL2_Main_Control_Create" ? "C" : "D");
  EXPECT_EQ(order, (std::vector<std::string>{"C", "D", "C", "D", "C", "D", "C", "D"}));
  // The other vendor's card (adapter 3) is never asked for values.
  for (const JournalEntry& entry : run.journal) EXPECT_NE(entry.Arg("adapter"), "3") << entry.line;
}

TEST(HostCurrentValuesTest, AnUnsupportedCardInTheMiddleIsSkippedWithoutALine) {
  Rig rig;
  rig.Scenario(kMiddleUnsupported);
  const RigRun run = rig.Run({"-getcurrent"});
  ASSERT_EQ(run.outLines.size(), 2u);
  EXPECT_EQ(run.outLines[0].rfind("0: Radeon RX 580 Series|GPU_P0=300;750|", 0), 0u) << run.outLines[0];
  EXPECT_EQ(run.outLines[1].rfind("2: Radeon RX 580 Series|GPU_P0=300;750|", 0), 0u) << run.outLines[1];
  EXPECT_EQ(run.exitStatus, 0);
}

TEST(HostCurrentValuesTest, ADisabledStateIsMarkedAndAChangedValueIsReported) {
  Rig rig;
  rig.Scenario(
      "[machine]\nkernel_drivers = atikmdag.sys\n\n[card rx580]\npreset = polaris\nbus = 1\n"
      "gpu_levels = 300/750, 600/769/0, 1340/1000\nmem_levels = 300/750, 2000/950\n");
  const RigRun run = rig.Run({"-getcurrent"});
  ASSERT_EQ(run.outLines.size(), 1u);
  EXPECT_EQ(run.outLines[0].rfind("0: Radeon RX 580 Series|GPU_P0=300;750|GPU_P1=600;769;0|GPU_P2=1340;1000|"
                                  "Mem_P0=300;750|Mem_P1=2000;950|Fan_Acoustic=",
                                  0),
            0u)
      << run.outLines[0];
}

TEST(HostCurrentValuesTest, OnlyTheLastLibraryNameIsEnough) {
  Rig rig;
  rig.Simulator("full", "amdadlxx.dll");
  const RigRun run = rig.Run({"-getcurrent"});
  EXPECT_EQ(run.outLines, (Lines{kPolarisLine, kVegaLine, kNaviLine}));
}

struct StartFailureCase {
  const char* name;
  const char* variant;
  const char* scenario;  // nullptr: the default rig
  const char* ini;
  Lines boxes;
};

TEST(HostCurrentValuesTest, DriverLibraryFailuresEndTheRunBeforeAnyReport) {
  const StartFailureCase cases[] = {
      {"old driver", "old-driver", nullptr, "",
       {kMissingExtSettingsBox, "BOX error \"Tunewright\" This application requires driver 18.12.2 or newer"}},
      {"no destroy", "no-destroy", nullptr, "",
       {"BOX error \"Tunewright\" Failed to get ADL function pointers (ErrorCode: 127) (The specified procedure "
        "could not be found.)"}},
      {"no active", "no-active", nullptr, "",
       {"BOX error \"Tunewright\" Failed to get ADL function pointers.\\nMissing functions:\\n"
        "ADL2_Adapter_Active_Get\\n (ErrorCode: 127) (The specified procedure could not be found.)"}},
      {"adapter count", "full", "[faults]\nADL2_Adapter_NumberOfAdapters_Get = -5\n", "",
       {"BOX error \"Tunewright\" Failed to get adapters count (ErrorCode: -5) (ADL_ERR_INVALID_ADL_IDX - Invalid "
        "ADL index passed)"}},
      {"context -8 shown", "full", "[faults]\nADL2_Main_Control_Create = -8\n", "",
       {"BOX error \"Tunewright\" Failed to initialize ADL context (ErrorCode: -8) (ADL_ERR_NOT_SUPPORTED - Function not "
        "supported by the driver)"}},
      {"context -8 ignored", "full", "[faults]\nADL2_Main_Control_Create = -8\n", "[General]\nIgnoreError-8=1\n",
       {}},
  };
  for (const StartFailureCase& c : cases) {
    Rig rig;
    rig.Simulator(c.variant);
    if (c.scenario) rig.Scenario(std::string("[machine]\nkernel_drivers = atikmdag.sys\n\n[card rx580]\n"
                                             "preset = polaris\nbus = 1\n\n") + c.scenario);
    if (*c.ini) rig.Ini(c.ini);
    const RigRun run = rig.Run({"-getcurrent"});
    EXPECT_EQ(run.boxes, c.boxes) << c.name;
    EXPECT_TRUE(run.outLines.empty()) << c.name;
    EXPECT_EQ(run.exitStatus, 255) << c.name;
  }
}

TEST(HostCurrentValuesTest, ACardWhoseValuesCannotBeReadGetsAnErrorLineAndTheOthersAreStillReported) {
  Rig rig;
  // Discovery reads the GPU clocks of both cards; the third read is the report's first.
  rig.Scenario(
      "[card a]\npreset = polaris\nbus = 1\n\n[card b]\npreset = vega\nbus = 2\n\n"
      "[faults]\nADL2_OverdriveN_SystemClocksX2_Get = -3 from 3\n");
  const RigRun run = rig.Run({"-getcurrent"});
  ASSERT_EQ(run.outLines.size(), 4u);
  EXPECT_EQ(run.outLines[1], "ERROR: Could not get current values for GPU 0");
  EXPECT_EQ(run.outLines[3], "ERROR: Could not get current values for GPU 1");
  EXPECT_EQ(run.exitStatus, 0);
}

TEST(HostCurrentValuesTest, OnlyTheFailingCardLosesItsLine) {
  Rig rig;
  // The fourth GPU clock read is the report's read of the second card.
  rig.Scenario(
      "[card a]\npreset = polaris\nbus = 1\n\n[card b]\npreset = vega\nbus = 2\n\n"
      "[faults]\nADL2_OverdriveN_SystemClocksX2_Get = -3 from 4\n");
  const RigRun run = rig.Run({"-getcurrent"});
  ASSERT_EQ(run.outLines.size(), 3u);
  EXPECT_EQ(run.outLines[0].rfind("0: Radeon RX 580 Series|GPU_P0=300;750|", 0), 0u) << run.outLines[0];
  EXPECT_EQ(run.outLines[2], "ERROR: Could not get current values for GPU 1");
  EXPECT_EQ(run.exitStatus, 0);
}

}  // namespace
}  // namespace tw::e2e
