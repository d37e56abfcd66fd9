// The command-line start-up up to the GPU list, and "-getcurrent", on the fake driver.

#include <gmock/gmock.h>

#include "app/program.h"
#include "gpu/driver_fixture.h"

namespace tw {
namespace {

using ::testing::ElementsAre;

class CardStartupTest : public test::DriverFixture {
 protected:
  int Run(std::vector<std::string> args) { return RunProgram(app, args, nullptr); }
};

TEST_F(CardStartupTest, GetCurrentPrintsEverySupportedCard) {
  adl.AddAdapter(0, 1, 0, 0, "Radeon RX 580 Series");
  adl.AddOverdriveNCard(0);
  adl.AddAdapter(1, 2, 0, 0, "Radeon RX 5700 XT");
  adl.AddOverdrive8Card(1);
  EXPECT_EQ(Run({"-getcurrent"}), 0);
  const std::string out = fake.console.Output();
  EXPECT_EQ(out.rfind("0: Radeon RX 580 Series|GPU_P0=300;750|", 0), 0u) << out;
  EXPECT_NE(out.find("\n1: Radeon RX 5700 XT|GPU_P0=800;750|"), std::string::npos) << out;
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(CardStartupTest, OldDriverIsNamedAfterTheMissingFunctions) {
  fake.libraries.libraries.clear();
  test::FakeAdl::Install(fake.libraries, "atiadlxx.dll",
                         {"ADL2_OverdriveN_SettingsExt_Get", "ADL2_OverdriveN_SettingsExt_Set"});
  EXPECT_EQ(Run({"-getcurrent"}), -1);
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to get ADL function pointers.\nMissing functions:\n"
                                      "ADL2_OverdriveN_SettingsExt_Get (18.12.2 driver or newer)\n"
                                      "ADL2_OverdriveN_SettingsExt_Set (18.12.2 driver or newer)\n"
                                      " (ErrorCode: 127) (The specified procedure could not be found.)",
                                      "This application requires driver 18.12.2 or newer"));
  EXPECT_EQ(fake.console.Output(), "");
}

TEST_F(CardStartupTest, MissingLibraryFileIsNamed) {
  fake.libraries.libraries.clear();
  EXPECT_EQ(Run({"-getcurrent"}), -1);
  EXPECT_THAT(BoxTexts(),
              ElementsAre("Failed to load ADL library (ErrorCode: 126) (The specified module could not be found.)",
                          "Required driver file: C:\\Windows\\SysWOW64\\atiadlxx.dll not found."));
}

TEST_F(CardStartupTest, FailedAdapterCountEndsTheRun) {
  adl.Fail("ADL2_Adapter_NumberOfAdapters_Get", -5);
  EXPECT_EQ(Run({"-getcurrent"}), -1);
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to get adapters count (ErrorCode: -5) (ADL_ERR_INVALID_ADL_IDX - Invalid "
                                      "ADL index passed)"));
}

TEST_F(CardStartupTest, UnsupportedCardIsRefusedByGpuCommands) {
  adl.AddAdapter(0, 1, 0, 0, "Other", 4318);
  EXPECT_EQ(Run({"-consoleonly", "-r0"}), -1);
  EXPECT_EQ(fake.console.Output(), "ERROR: Wrong command - GPU with id=0 is not supported\n");
}

}  // namespace
}  // namespace tw
