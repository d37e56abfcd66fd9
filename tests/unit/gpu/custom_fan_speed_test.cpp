#include "gpu/custom_fan_speed.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(CustomFanSpeedTest, WholePercentagesAreAcceptedAfterTrimming) {
  const std::pair<const char*, int> accepted[] = {
      {"0", 0}, {"100", 100}, {"55", 55}, {"  70  ", 70}, {"\t20\r\n", 20}, {"007", 7}, {"+30", 30}};
  for (const auto& [text, percent] : accepted) {
    const auto result = ParseCustomFanSpeed(text);
    ASSERT_TRUE(std::holds_alternative<int>(result)) << text;
    EXPECT_EQ(std::get<int>(result), percent) << text;
  }
}

TEST(CustomFanSpeedTest, AnythingElseGivesTheRangeMessage) {
  for (const char* text : {"", "   ", "101", "-1", "abc", "5.5", "50%", "1e2", "5 0", "99999999999", "-0x10"}) {
    const auto result = ParseCustomFanSpeed(text);
    ASSERT_TRUE(std::holds_alternative<std::string>(result)) << text;
    EXPECT_EQ(std::get<std::string>(result), "Put value between 0 and 100") << text;
  }
}

}  // namespace
}  // namespace tw
