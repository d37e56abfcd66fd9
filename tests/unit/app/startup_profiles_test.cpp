// Command-line start-up steps 5 and 6 through the real operations: settings, profiles and
// the automatic restore, on the in-memory platform.

#include <gtest/gtest.h>

#include "app/app_operations.h"
#include "app/command_line.h"
#include "profiles/profiles_fixture.h"

namespace tw::test {
namespace {

class StartupProfilesTest : public ProfilesTest {
 protected:
  // The run goes on to GPU discovery, which finds no driver library here and says so; only
  // the restore's question matters to these tests.
  std::vector<ShownBox> Questions() const {
    std::vector<ShownBox> questions;
    for (const ShownBox& box : fake.dialogs.boxes)
      if (box.icon == BoxIcon::Question) questions.push_back(box);
    return questions;
  }

  AppOperations operations{app, {}};
  CommandLine commandLine{operations, app.messages};

  void SetUp() override {
    PutIni("[General]\nEnableI2c=1\n\n");
    PutFile(BackupIniKey(), "[General]\nRestoreAutomatically=1\nDoNotConfirmOnRestore=1\n\n");
    PutBackup("2026-01-01 10.00.00 Tunewright.ini", "[General]\nIgnoreError-8=1\n\n[Profile_0]\nName=Kept\n\n");
    PutBackup("2026-01-02 10.00.00 Tunewright.ini", "[General]\n\n");
  }
};

TEST_F(StartupProfilesTest, AFileWithoutProfilesIsRestoredSilentlyFromTheNewestBackupHoldingOne) {
  commandLine.Run({"-p0Kept"});  // ends at the GPU list, which this test does not build
  EXPECT_TRUE(app.regulatorDetection.consoleMode);
  EXPECT_TRUE(app.options.IgnoreError8);  // the settings were read again from the restored file
  ASSERT_EQ(app.profiles.size(), 1u);
  EXPECT_EQ(operations.FindProfile("Kept"), 0);
  EXPECT_EQ(operations.FindProfile("kept"), -1);
  EXPECT_EQ(IniText(), "[General]\nIgnoreError-8=1\n\n[Profile_0]\nName=Kept\n\n");
  EXPECT_NE(fake.files.files["Tunewright.log"].find(
                "\"Tunewright.ini\" was restored from \"2026-01-01 10.00.00 Tunewright.ini\""),
            std::string::npos);
  EXPECT_TRUE(Questions().empty());
}

TEST_F(StartupProfilesTest, WithConfirmationOnTheQuestionIsAskedAndNoKeepsTheFile) {
  PutFile(BackupIniKey(), "[General]\nRestoreAutomatically=1\n\n");
  commandLine.Run({"-p0Kept"});
  const std::vector<ShownBox> questions = Questions();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].caption, "Restore from backup");
  EXPECT_EQ(questions[0].text,
            "Tunewright.ini contains 0 profiles. Restore it from last backup that contains profiles (not the last "
            "one) \"2026-01-01 10.00.00 Tunewright.ini\"?");
  EXPECT_EQ(IniText(), "[General]\nEnableI2c=1\n\n");
  EXPECT_TRUE(app.profiles.empty());
  EXPECT_TRUE(app.options.EnableI2c);
  EXPECT_TRUE(app.regulatorDetection.scan);  // no [I2C] section yet
}

TEST_F(StartupProfilesTest, ProfilesInTheFileMeanNoRestore) {
  PutIni("[Profile_0]\nName=Own\n\n");
  commandLine.Run({"-p0Own"});
  ASSERT_EQ(app.profiles.size(), 1u);
  EXPECT_EQ(app.profiles[0].name, "Own");
  EXPECT_FALSE(fake.files.files.count("Tunewright.log"));
}

TEST_F(StartupProfilesTest, WithoutTheDriverNothingIsRead) {
  fake.machine.kernelDrivers = {"ntoskrnl.exe"};
  EXPECT_EQ(commandLine.Run({"-p0Kept"}), kExitFailure);
  EXPECT_TRUE(app.profiles.empty());
  EXPECT_TRUE(fake.files.calls.empty());
}

}  // namespace
}  // namespace tw::test
