#include "gpu/performance_levels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace tw {
namespace {

TEST(PerformanceLevelsBufferTest, OnlySensibleLevelCountsMakeABuffer) {
  for (int count : {0, -1, kMaxPerformanceLevels + 1, 1 << 30}) EXPECT_FALSE(PerformanceLevelsBuffer::Create(count));
  for (int count : {1, 8, kMaxPerformanceLevels}) EXPECT_TRUE(PerformanceLevelsBuffer::Create(count));
}

TEST(PerformanceLevelsBufferTest, HeaderCarriesSizeAndCountAndLevelsSitAfterIt) {
  PerformanceLevelsBuffer levels = *PerformanceLevelsBuffer::Create(3);
  EXPECT_EQ(levels.record()->iSize, 12 + 16 * 3);
  EXPECT_EQ(levels.record()->iNumberOfPerformanceLevels, 3);
  EXPECT_EQ(levels.record()->iMode, 0);
  levels.setLevel(2, {134000, 1150, 1, 0});
  levels.setMode(3);
  int raw[4];
  std::memcpy(raw, reinterpret_cast<const unsigned char*>(levels.record()) + 12 + 32, sizeof raw);
  EXPECT_EQ(raw[0], 134000);
  EXPECT_EQ(raw[1], 1150);
  EXPECT_EQ(levels.level(2).iEnabled, 1);
  levels.Reset();
  EXPECT_EQ(levels.level(2).iClock, 0);
  EXPECT_EQ(levels.record()->iMode, 0);
  EXPECT_EQ(levels.record()->iSize, 60);
}

TEST(PerformanceLevelsBufferTest, LevelsOutsideTheRecordThrow) {
  PerformanceLevelsBuffer levels = *PerformanceLevelsBuffer::Create(2);
  EXPECT_THROW(levels.level(2), std::out_of_range);
  EXPECT_THROW(levels.level(-1), std::out_of_range);
  EXPECT_THROW(levels.setLevel(2, {}), std::out_of_range);
}

}  // namespace
}  // namespace tw
