#include "app/current_values_report.h"

#include <gmock/gmock.h>

#include "gpu/driver_fixture.h"
#include "gpu/gpu_list_builder.h"

namespace tw {
namespace {

class PrintCurrentValuesTest : public test::DriverFixture {
 protected:
  void OverdriveNCard(int index, int bus) {
    adl.AddAdapter(index, bus, 0, 0, "Radeon RX 580 Series");
    test::FakeAdlCard& card = adl.AddOverdriveNCard(index);
    card.caps.iMaximumNumberOfPerformanceLevels = 3;
    card.gpuLevels = {{30000, 750, 1, 0}, {60000, 769, 0, 0}, {134000, 1000, 1, 0}};
    card.memLevels = {{30000, 750, 1, 0}, {200000, 950, 1, 0}, {0, 0, 0, 0}};
    card.fan.iMinPerformanceClock = 1200;
    card.power.iTDPLimit = 0;
    card.extValues = {1, 0, 0, 0, 0, 30, 20, 45, 30, 60, 45, 75, 70, 90, 100};
  }
  void Overdrive8Card(int index, int bus) {
    adl.AddAdapter(index, bus, 0, 0, "Radeon RX 5700 XT");
    adl.AddOverdrive8Card(index);
  }
  void Print() {
    ASSERT_TRUE(ListCards(app));
    PrintCurrentValues(app);
  }
};

const std::string kOdnLine =
    "|GPU_P0=300;750|GPU_P1=600;769;0|GPU_P2=1340;1000|Mem_P0=300;750|Mem_P1=2000;950|Fan_Acoustic=1200"
    "|Power_Target=0|Fan_P0=30;20|Fan_P1=45;30|Fan_P2=60;45|Fan_P3=75;70|Fan_P4=90;100|Fan_ZeroRPM=0"
    "|Mem_TimingLevel=1\n";
const std::string kOd8Line =
    "|GPU_P0=800;750|GPU_P1=1500;900|GPU_P2=2100;1150|Fan_Acoustic=2400|Power_Target=0|Fan_P0=30;20|Fan_P1=45;30"
    "|Fan_P2=60;45|Fan_P3=75;70|Fan_P4=90;100|Fan_ZeroRPM=1|Mem_TimingLevel=0|GPU_Min=800|GPU_Max=2100"
    "|Mem_Max=1750\n";

TEST_F(PrintCurrentValuesTest, OverdriveNCardLineShowsDisabledStates) {
  OverdriveNCard(0, 1);
  Print();
  EXPECT_EQ(fake.console.Output(), "0: Radeon RX 580 Series" + kOdnLine);
}

TEST_F(PrintCurrentValuesTest, Overdrive8CardLineEndsWithItsClockLimits) {
  Overdrive8Card(0, 1);
  adl.cards[0].od8Values[adl::kOd8GfxclkFreq2] = 1500;
  Print();
  EXPECT_EQ(fake.console.Output(), "0: Radeon RX 5700 XT" + kOd8Line);
}

TEST_F(PrintCurrentValuesTest, UnsupportedCardsAreSkipped) {
  OverdriveNCard(0, 1);
  adl.AddAdapter(1, 2, 0, 0, "Other", 4318);
  Overdrive8Card(2, 3);
  Print();
  EXPECT_EQ(fake.console.Output(), "0: Radeon RX 580 Series" + kOdnLine + "2: Radeon RX 5700 XT" + kOd8Line);
  EXPECT_EQ(adl.contextsCreated, 3);  // discovery, then one per card read
}

TEST_F(PrintCurrentValuesTest, ACardThatCannotBeReadGetsTheErrorLineAndTheOthersStillPrint) {
  OverdriveNCard(0, 1);
  Overdrive8Card(1, 2);
  adl.Fail("ADL2_OverdriveN_PowerLimit_Get", -1);
  Print();
  EXPECT_EQ(fake.console.Output(),
            "ERROR: PowerLimit_Get function failed (ErrorCode: -1)\n"
            "ERROR: Could not get current values for GPU 0\n"
            "1: Radeon RX 5700 XT" + kOd8Line);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(PrintCurrentValuesTest, NoSupportedCardPrintsNothing) {
  adl.AddAdapter(0, 1, 0, 0, "Other", 4318);
  Print();
  EXPECT_EQ(fake.console.Output(), "");
}

TEST_F(PrintCurrentValuesTest, LinesAreNotReadAsFormats) {
  adl.AddAdapter(0, 1, 0, 0, "100% %s %d");
  adl.AddOverdrive8Card(0);
  Print();
  EXPECT_EQ(fake.console.Output().rfind("0: 100% %s %d|GPU_P0=", 0), 0u);
}

TEST_F(PrintCurrentValuesTest, WithoutConsoleTheLinesAreLostAndErrorsBecomeBoxes) {
  fake.console.attachSucceeds = false;
  OverdriveNCard(0, 1);
  Overdrive8Card(1, 2);
  ASSERT_TRUE(ListCards(app));
  test::FakeAdl local;
  local.adapters = adl.adapters;
  local.cards = adl.cards;
  local.Fail("ADL2_Overdrive8_Current_SettingX2_Get", -1);
  PrintCurrentValues(app);
  EXPECT_EQ(fake.console.Output(), "");
  EXPECT_THAT(BoxTexts(), ::testing::ElementsAre("ADL2_Overdrive8_Current_SettingX2_Get function failed for GPU 1 "
                                                 "(ErrorCode: -1)",
                                                 "Could not get current values for GPU 1"));
}

}  // namespace
}  // namespace tw
