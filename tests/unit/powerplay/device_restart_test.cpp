#include "powerplay/device_restart.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "messages/message_writer.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

class DeviceRestartTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};

  void SetUp() override {
    fake.displayDevices.devices = {{"PCI\\VEN_1002&DEV_687F\\1", std::nullopt, 0},
                                   {"PCI\\VEN_1002&DEV_67DF\\2", std::nullopt, 0}};
  }
  bool Restart(const std::string& id) { return RestartDevice(fake.displayDevices, messages, id); }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> texts;
    for (const auto& box : fake.dialogs.boxes) texts.push_back(box.text);
    return texts;
  }
};

TEST_F(DeviceRestartTest, RestartsOnlyTheDeviceWithTheExactInstanceId) {
  EXPECT_TRUE(Restart("PCI\\VEN_1002&DEV_67DF\\2"));
  EXPECT_EQ(fake.displayDevices.devices[0].restarts, 0);
  EXPECT_EQ(fake.displayDevices.devices[1].restarts, 1);
  EXPECT_FALSE(Restart("pci\\ven_1002&dev_67df\\2"));  // the comparison is exact
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(fake.displayDevices.openSets, 0);  // the set is released on every path
}

TEST_F(DeviceRestartTest, EachDeviceInstallerFailureIsShownWithItsSystemError) {
  const std::pair<const char*, const char*> cases[] = {
      {"OpenPresent", "SetupDiGetClassDevs function failed (ErrorCode: 5) (Access is denied.)"},
      {"InstanceId", "SetupDiGetDeviceInstanceId function failed (ErrorCode: 5) (Access is denied.)"},
      {"Restart", "SetupDiRestartDevices function failed (ErrorCode: 5) (Access is denied.)"},
  };
  for (const auto& [operation, message] : cases) {
    fake.dialogs.boxes.clear();
    fake.displayDevices.failures = {{operation, 5}};
    EXPECT_FALSE(Restart("PCI\\VEN_1002&DEV_687F\\1")) << operation;
    EXPECT_EQ(Boxes(), std::vector<std::string>{message});
    EXPECT_EQ(fake.displayDevices.devices[0].restarts, 0);
  }
  EXPECT_EQ(fake.displayDevices.openSets, 0);
}

}  // namespace
}  // namespace tw
