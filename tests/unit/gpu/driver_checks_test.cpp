#include "gpu/driver_checks.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "messages/message_writer.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

class CheckDriverLoadedTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};

  bool Check() { return CheckDriverLoaded(fake.machine, fake.errors, messages); }
};

TEST_F(CheckDriverLoadedTest, FindsEitherAmdDriverNameExactly) {
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{"ntoskrnl.exe", "atikmdag.sys"}, true},
      {{"amdkmdag.sys"}, true},
      {{"ATIKMDAG.SYS", "Amdkmdag.sys"}, false},  // letter case matters
      {{"atikmdag.sys2"}, false},
      {{}, false},
  };
  for (const auto& [drivers, loaded] : cases) {
    fake.machine.kernelDrivers = drivers;
    EXPECT_EQ(Check(), loaded);
  }
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(CheckDriverLoadedTest, UnreadableDriverListIsReportedAndTreatedAsLoaded) {
  fake.machine.enumerateSucceeds = false;
  fake.machine.enumerateError = 5;
  EXPECT_TRUE(Check());
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text, "EnumDeviceDrivers function failed (ErrorCode: 5) (Access is denied.)");
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);
}

TEST_F(CheckDriverLoadedTest, ListThatDoesNotFitIsReportedAndTreatedAsLoaded) {
  fake.machine.kernelDrivers.assign(1024, "x.sys");
  EXPECT_TRUE(Check());
  EXPECT_EQ(fake.dialogs.boxes.size(), 1u);
}

}  // namespace
}  // namespace tw
