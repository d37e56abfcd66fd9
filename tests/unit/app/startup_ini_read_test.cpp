// The command-line start reads "Tunewright.ini" once for the settings and the profiles: a
// file with hundreds of profiles took as long again to read and parse a second time.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/app_operations.h"
#include "profiles/profiles_fixture.h"

namespace tw::test {
namespace {

class StartupIniReadTest : public ProfilesTest {
 protected:
  AppOperations operations{app, {}};

  long IniReads() const {
    return std::count(fake.files.calls.begin(), fake.files.calls.end(), "ReadFile " + IniKey());
  }
  long ReadFailuresShown() const {
    return std::count_if(fake.dialogs.boxes.begin(), fake.dialogs.boxes.end(), [&](const ShownBox& box) {
      return box.text.rfind("Failed to read \"", 0) == 0 && box.text.find("Tunewright.ini") != std::string::npos;
    });
  }
};

TEST_F(StartupIniReadTest, SettingsAndProfilesComeFromOneRead) {
  PutIni("[General]\nIgnoreError-8=1\n\n[Profile_0]\nName=A\n\n[Profile_1]\nName=B\n\n");
  operations.LoadSettings();
  EXPECT_EQ(operations.LoadProfiles(), 2);
  EXPECT_TRUE(app.options.IgnoreError8);
  EXPECT_EQ(operations.FindProfile("B"), 1);
  EXPECT_EQ(IniReads(), 1);
}

TEST_F(StartupIniReadTest, ALaterLoadOfTheProfilesReadsTheFileAsItIsThen) {
  PutIni("[Profile_0]\nName=A\n\n");
  operations.LoadSettings();
  EXPECT_EQ(operations.LoadProfiles(), 1);
  PutIni("[Profile_0]\nName=A\n\n[Profile_1]\nName=Restored\n\n");
  app.profiles.clear();
  EXPECT_EQ(operations.LoadProfiles(), 2);
  EXPECT_EQ(operations.FindProfile("Restored"), 1);
  EXPECT_EQ(IniReads(), 2);
}

TEST_F(StartupIniReadTest, AnUnreadableFileIsReadAgainForTheProfilesButReportedOnce) {
  PutIni("[Profile_0]\nName=A\n\n");
  fake.files.failures["ReadFile"] = 5;  // access denied
  operations.LoadSettings();
  EXPECT_EQ(operations.LoadProfiles(), 0);
  EXPECT_EQ(IniReads(), 2) << "a failed read is never taken as an empty file";
  EXPECT_EQ(ReadFailuresShown(), 1) << "one report per run";
}

}  // namespace
}  // namespace tw::test
