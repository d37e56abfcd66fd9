#include "powerplay/restart_tool.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "fakes/fake_platform.h"
#include "messages/message_writer.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

constexpr const char* kInstanceId = "PCI\\VEN_1002&DEV_67DF&SUBSYS_E3871DA2&REV_E7\\4&2A1B2C3D&0&0008";

class RestartToolTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};
  std::string instanceId = kInstanceId;
  const Path folder = Path("C:/Tunewright");

  void Place(const std::string& tool) { fake.files.files["C:/Tunewright/" + tool] = "tool"; }
  bool Start() { return StartRestartTool(fake.platform, messages, folder, instanceId); }
};

TEST_F(RestartToolTest, DevconGetsThePciHardwareIdAndRunsHidden) {
  Place("devcon.exe");
  Place("restart64.exe");  // devcon wins when both are there
  EXPECT_TRUE(Start());
  ASSERT_EQ(fake.shell.starts.size(), 1u);
  EXPECT_EQ(fake.shell.starts[0].verb, "open");
  EXPECT_EQ(fake.shell.starts[0].file, "C:/Tunewright/devcon.exe");
  EXPECT_EQ(fake.shell.starts[0].parameters, "restart PCI\\VEN_1002&DEV_67DF&SUBSYS_E3871DA2&REV_E7");
  EXPECT_EQ(fake.shell.starts[0].folder, "C:/Tunewright");
  EXPECT_EQ(fake.shell.starts[0].mode, WindowMode::Hidden);
  EXPECT_EQ(instanceId, kInstanceId);
}

TEST_F(RestartToolTest, RestartToolFollowsTheSystemsBitness) {
  Place("restart64.exe");
  Place("restart.exe");
  fake.machine.wow64 = true;
  EXPECT_TRUE(Start());
  fake.machine.wow64 = false;
  EXPECT_TRUE(Start());
  ASSERT_EQ(fake.shell.starts.size(), 2u);
  EXPECT_EQ(fake.shell.starts[0].file, "C:/Tunewright/restart64.exe");
  EXPECT_EQ(fake.shell.starts[1].file, "C:/Tunewright/restart.exe");
  for (const auto& start : fake.shell.starts) {
    EXPECT_EQ(start.parameters, "0");
    EXPECT_EQ(start.mode, WindowMode::Normal);
  }
}

TEST_F(RestartToolTest, NoToolMeansNoStartAndNoMessage) {
  Place("restart.exe");  // the wrong bitness
  fake.machine.wow64 = true;
  EXPECT_FALSE(Start());
  EXPECT_TRUE(fake.shell.starts.empty());
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(RestartToolTest, UnusableHardwareIdClearsTheInstanceId) {
  Place("devcon.exe");
  for (const char* id : {"PCI\\DEV_67DF\\4&1", "PCI\\VEN_1002&DEV\\4&1", ""}) {
    instanceId = id;
    EXPECT_FALSE(Start()) << id;
    EXPECT_EQ(instanceId, "") << id;
  }
  EXPECT_TRUE(fake.shell.starts.empty());
  EXPECT_EQ(HardwareIdForDevcon("PCI\\VEN_1002&DEV_67DF&SUBSYS_1"), "VEN_1002&DEV_67DF&SUBSYS_1");
}

TEST_F(RestartToolTest, FailedStartIsReported) {
  Place("devcon.exe");
  fake.shell.result = 2;
  EXPECT_FALSE(Start());
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text, "Failed to start process: " + PathToUtf8(folder / "devcon.exe"));
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);
}

}  // namespace
}  // namespace tw
