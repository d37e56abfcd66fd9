#pragma once
// A program state wired to the fake driver library. Every test built on it also checks
// that each connection opened was closed exactly once and every list the driver handed
// out was released.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "fakes/fake_adl.h"
#include "fakes/fake_platform.h"
#include "gpu/driver_alloc.h"

namespace tw::test {

class DriverFixture : public ::testing::Test {
 protected:
  FakePlatform fake;
  App app{fake.platform};
  FakeAdl adl;
  long blocksBefore = DriverAllocLiveBlocks();

  DriverFixture() {
    FakeAdl::Install(fake.libraries);
    fake.errors.texts[126] = "The specified module could not be found.\r\n";
    fake.errors.texts[127] = "The specified procedure could not be found.\r\n";
  }

  void TearDown() override {
    EXPECT_EQ(adl.LiveContexts(), 0) << "a context was not destroyed";
    EXPECT_EQ(adl.Calls("ADL2_Main_Control_Destroy"), adl.contextsCreated) << "a context was destroyed twice";
    EXPECT_EQ(fake.libraries.loaded, fake.libraries.unloaded) << "a library stayed loaded";
    EXPECT_EQ(DriverAllocLiveBlocks(), blocksBefore) << "a list from the driver was not released";
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : fake.dialogs.boxes) texts.push_back(box.text);
    return texts;
  }
};

}  // namespace tw::test
