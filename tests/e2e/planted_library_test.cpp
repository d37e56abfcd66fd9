// A setupapi.dll planted beside the Windows exe, with wine told to search for it as Windows
// does (without the override wine always takes its own and nothing would be shown).

#include <gtest/gtest.h>

#include "harness.h"

namespace tw::e2e {
namespace {

const std::map<std::string, std::string> kWindowsSearch = {{"WINEDLLOVERRIDES", "setupapi=n,b"}};

class WindowsPlantedLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GetProducts().HasWindows() || GetProducts().windowsReleaseBin.empty())
      GTEST_FAIL() << "TW_E2E_WINDOWS_RELEASE_BIN, TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
    fs::copy_file(GetProducts().windowsSimBin / "planted_marker.dll", folder / "setupapi.dll");
  }
  bool Loaded() { return fs::exists(folder / "planted.marker") && fs::remove(folder / "planted.marker"); }
  TempFolder folder;
};

TEST_F(WindowsPlantedLibraryTest, TheReleaseExeDoesNotTakeItAtStart) {
  const RunResult run = RunWindowsExe(GetProducts().windowsReleaseBin, "Tunewright.exe", {"-p0Gaming"}, folder.path(),
                                      std::chrono::seconds(90), kWindowsSearch);
  EXPECT_EQ(run.exitStatus, 255);
  EXPECT_FALSE(Loaded());
}

// The release exe ends at wine's missing AMD driver before it first lists the display
// devices; a probe lists them as the program does, with the search as Windows has it and
// restricted as the exe restricts it: the planted copy must be taken by neither.
TEST_F(WindowsPlantedLibraryTest, TheFirstDeviceListingDoesNotTakeIt) {
  const auto probe = [&](const std::vector<std::string>& args) {
    return RunWindowsExe(GetProducts().windowsSimBin, "planted_probe.exe", args, folder.path(), std::chrono::seconds(90),
                         kWindowsSearch);
  };
  EXPECT_EQ(probe({"plain"}).exitStatus, 0);
  EXPECT_TRUE(Loaded()) << "a load by bare name does not take the planted copy: the test shows nothing";
  for (const std::string mode : {"unrestricted", "restricted"}) {
    EXPECT_EQ(probe({mode}).exitStatus, 0) << mode;
    EXPECT_FALSE(Loaded()) << mode;
  }
}

}  // namespace
}  // namespace tw::e2e
