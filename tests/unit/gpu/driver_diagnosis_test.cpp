#include "gpu/driver_diagnosis.h"

#include <gmock/gmock.h>

#include "gpu/driver_fixture.h"

namespace tw {
namespace {

using ::testing::ElementsAre;

class DiagnoseDriverTest : public test::DriverFixture {
 protected:
  int Diagnose() { return DiagnoseDriver(fake.platform, app.messages); }
  void NoLibrary() { fake.libraries.libraries.clear(); }
};

TEST_F(DiagnoseDriverTest, LibraryWithExtendedSettingsIsUsable) {
  EXPECT_EQ(Diagnose(), kDiagnosisUsable);
  EXPECT_THAT(fake.libraries.resolved, ElementsAre("ADL2_OverdriveN_SettingsExt_Get"));
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(DiagnoseDriverTest, LibraryWithoutExtendedSettingsIsTooOld) {
  fake.libraries.libraries.clear();
  test::FakeAdl::Install(fake.libraries, "atiadlxy.dll", {"ADL2_OverdriveN_SettingsExt_Get"});
  EXPECT_EQ(Diagnose(), kDiagnosisTooOld);
  EXPECT_THAT(fake.libraries.loadAttempts, ElementsAre("atiadlxx.dll", "atiadlxy.dll"));
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(DiagnoseDriverTest, TheThirdLibraryNameIsNotTried) {
  fake.libraries.libraries.clear();
  test::FakeAdl::Install(fake.libraries, "amdadlxx.dll");
  fake.machine.existingFiles = {"C:\\Windows\\SysWOW64\\atiadlxx.dll"};
  EXPECT_EQ(Diagnose(), kDiagnosisUnknown);
  EXPECT_THAT(fake.libraries.loadAttempts, ElementsAre("atiadlxx.dll", "atiadlxy.dll"));
}

struct PathCase {
  std::string systemDirectory;
  bool wow64;
  std::string tested;
};

TEST_F(DiagnoseDriverTest, MissingFileIsNamedWithTheWow64AndWindowsSpellings) {
  const PathCase cases[] = {
      {"C:\\windows\\system32", true, "C:\\Windows\\SysWOW64\\atiadlxx.dll"},
      {"C:\\WINDOWS\\SYSTEM32", true, "C:\\WINDOWS\\SysWOW64\\atiadlxx.dll"},  // "\\windows" is case-sensitive
      {"C:\\windows\\System32", false, "C:\\Windows\\System32\\atiadlxx.dll"},
      {"D:\\windows\\sub\\windows\\system32\\x\\system32", true,
       "D:\\Windows\\sub\\Windows\\SysWOW64\\x\\system32\\atiadlxx.dll"},  // only the first System32
  };
  NoLibrary();
  for (const PathCase& c : cases) {
    fake.dialogs.boxes.clear();
    fake.machine.systemDirectory = c.systemDirectory;
    fake.machine.wow64 = c.wow64;
    EXPECT_EQ(Diagnose(), kDiagnosisFileMissing) << c.systemDirectory;
    EXPECT_EQ(fake.machine.existenceTests.back(), c.tested);
    EXPECT_THAT(BoxTexts(), ElementsAre("Required driver file: " + c.tested + " not found."));
  }
}

TEST_F(DiagnoseDriverTest, ExistingFileGivesNoAnswer) {
  NoLibrary();
  fake.machine.existingFiles = {"C:\\Windows\\SysWOW64\\atiadlxx.dll"};
  EXPECT_EQ(Diagnose(), kDiagnosisUnknown);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(DiagnoseDriverTest, UnavailableSystemDirectoryIsReported) {
  NoLibrary();
  fake.machine.systemDirectory = "";  // the call fails with error 6
  EXPECT_EQ(Diagnose(), kDiagnosisUnknown);
  EXPECT_THAT(BoxTexts(), ElementsAre("GetSystemDirectory function failed (ErrorCode: 6) (The handle is invalid.)"));
  EXPECT_TRUE(fake.machine.existenceTests.empty());
}

TEST_F(DiagnoseDriverTest, FailedWow64QueryIsReported) {
  NoLibrary();
  fake.machine.wow64 = std::nullopt;
  EXPECT_EQ(Diagnose(), kDiagnosisUnknown);
  EXPECT_THAT(BoxTexts(), ElementsAre("IsWow64Process function failed (ErrorCode: 5) (Access is denied.)"));
  EXPECT_TRUE(fake.machine.existenceTests.empty());
}

}  // namespace
}  // namespace tw
