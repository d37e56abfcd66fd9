#include "gpu/driver_limits.h"

#include <gtest/gtest.h>

#include "gpu/driver_connection.h"
#include "gpu/driver_fixture.h"
#include "gpu/gpu_list_builder.h"
#include "gpu/performance_levels.h"

namespace tw {
namespace {

class CheckDriverLimitsTest : public test::DriverFixture {
 protected:
  void SetUp() override {
    for (int i = 0; i < 2; ++i) {
      adl.AddAdapter(i, i + 1, 0, 0, "card");
      test::FakeAdlCard& card = adl.AddOverdriveNCard(i);
      card.caps.iMaximumNumberOfPerformanceLevels = 2;
      card.gpuLevels.resize(2);
      card.memLevels.resize(2);
    }
    adl.cards[1].caps.sEngineClockRange = {0, 25000, 250000, 1, 0};
    adl.cards[1].caps.svddcRange = {0, 700, 1250, 1, 0};
    ASSERT_TRUE(ListCards(app));
    connection = OpenDriverConnection(fake.platform, app.messages);
    ASSERT_TRUE(connection);
  }
  void TearDown() override {
    connection.reset();
    DriverFixture::TearDown();
  }
  PerformanceLevelsBuffer Levels(std::pair<int, int> a, std::pair<int, int> b) {
    PerformanceLevelsBuffer levels = *PerformanceLevelsBuffer::Create(2);
    levels.setLevel(0, {a.first, a.second, 1, 0});
    levels.setLevel(1, {b.first, b.second, 1, 0});
    return levels;
  }
  std::unique_ptr<DriverConnection> connection;
};

const std::string kGpuRanges = "300 Mhz < GPU clock < 2000 MHz\n750 mV < GPU voltage < 1200 mV";

struct ClockCase {
  std::pair<int, int> a, b;
  std::optional<std::string> which;
};

TEST_F(CheckDriverLimitsTest, GpuLevelsAboveBelowOrBoth) {
  const ClockCase cases[] = {
      {{30000, 800}, {200000, 1200}, std::nullopt},   // the limits themselves are inside
      {{30000, 800}, {200001, 1000}, "above"},
      {{30000, 800}, {100000, 1201}, "above"},       // voltage
      {{29999, 800}, {100000, 1000}, "below"},
      {{30000, 749}, {100000, 1000}, "below"},
      {{25000, 800}, {210000, 1000}, "above/below"},  // 250 MHz under 300, 2100 over 2000
  };
  for (const ClockCase& c : cases) {
    const auto text = CheckDriverLimits(*connection, 0, app.gpus[0], Levels(c.a, c.b), true);
    if (!c.which) {
      EXPECT_FALSE(text);
      continue;
    }
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, " (ErrorCode: -1) (Values are " + *c.which + " driver limits)\nCurrent limits for GPU 0:\n" +
                         kGpuRanges);
  }
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(CheckDriverLimitsTest, MemoryLevelsUseTheMemoryClockAndTheSharedVoltageRange) {
  auto text = CheckDriverLimits(*connection, 0, app.gpus[0], Levels({30000, 800}, {220000, 1300}), false);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            " (ErrorCode: -1) (Values are above driver limits)\nCurrent limits for GPU 0:\n"
            "300 Mhz < Memory clock < 2250 MHz\n750 mV < Memory voltage < 1200 mV");
  // 2200 MHz is inside the memory range though above the GPU range
  EXPECT_FALSE(CheckDriverLimits(*connection, 0, app.gpus[0], Levels({30000, 800}, {220000, 1000}), false));
}

// A level above the card's states that holds something is sent as it is, so it is checked.
TEST_F(CheckDriverLimitsTest, EmptyLevelsAboveTheCardsStatesAreNotChecked) {
  app.gpus[0].gpuStateCount = 1;
  EXPECT_FALSE(CheckDriverLimits(*connection, 0, app.gpus[0], Levels({30000, 800}, {0, 0}), true));
  EXPECT_TRUE(CheckDriverLimits(*connection, 0, app.gpus[0], Levels({30000, 800}, {900000, 9000}), true));
}

TEST_F(CheckDriverLimitsTest, TheCardsOwnLimitsAreShown) {
  auto text = CheckDriverLimits(*connection, 1, app.gpus[1], Levels({20000, 800}, {100000, 1000}), true);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            " (ErrorCode: -1) (Values are below driver limits)\nCurrent limits for GPU 1:\n"
            "250 Mhz < GPU clock < 2500 MHz\n700 mV < GPU voltage < 1250 mV");
  EXPECT_FALSE(CheckDriverLimits(*connection, 0, app.gpus[0], Levels({30000, 800}, {100000, 1000}), true));
}

TEST_F(CheckDriverLimitsTest, FanValuesShowTheAcousticRange) {
  const std::string ranges = "Current limits for GPU 0:\n300 MHz < Fan Acoustic Limit < 2000 MHz\n";
  struct FanCase {
    adl::ADLODNFanControl fan;
    std::optional<std::string> which;
  } cases[] = {
      {{0, 0, 0, 0, 2400, 75, 1200, 600}, std::nullopt},
      {{0, 0, 0, 0, 3301, 75, 1200, 600}, "above"},  // target fan speed only
      {{0, 0, 0, 0, 2400, 24, 1200, 600}, "below"},  // target temperature
      {{0, 0, 0, 0, 2400, 75, 299, 600}, "below"},   // acoustic limit
      {{0, 0, 0, 0, 2400, 75, 1200, -1}, "below"},   // minimum fan
      {{0, 0, 0, 0, 2400, 91, 1200, -1}, "above/below"},
  };
  for (const FanCase& c : cases) {
    const auto text = CheckDriverLimits(*connection, 0, app.gpus[0], c.fan);
    if (!c.which) {
      EXPECT_FALSE(text);
      continue;
    }
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, " (ErrorCode: -1) (Values are " + *c.which + " driver limits)\n" + ranges);
  }
}

TEST_F(CheckDriverLimitsTest, PowerValuesShowThePowerRange) {
  const std::string ranges = "Current limits for GPU 0:\n-50 % < Power Target < 50 %\n";
  EXPECT_FALSE(CheckDriverLimits(*connection, 0, app.gpus[0], adl::ADLODNPowerLimitSetting{3, 50, 90}));
  auto above = CheckDriverLimits(*connection, 0, app.gpus[0], adl::ADLODNPowerLimitSetting{3, 51, 90});
  ASSERT_TRUE(above);
  EXPECT_EQ(*above, " (ErrorCode: -1) (Values are above driver limits)\n" + ranges);
  auto below = CheckDriverLimits(*connection, 0, app.gpus[0], adl::ADLODNPowerLimitSetting{3, 0, 49});
  ASSERT_TRUE(below);
  EXPECT_EQ(*below, " (ErrorCode: -1) (Values are below driver limits)\n" + ranges);
}

TEST_F(CheckDriverLimitsTest, UnreadableCapabilitiesGiveNoText) {
  adl.Fail("ADL2_OverdriveN_CapabilitiesX2_Get", -1);
  EXPECT_FALSE(CheckDriverLimits(*connection, 0, app.gpus[0], Levels({1, 1}, {1, 1}), true));
  EXPECT_FALSE(CheckDriverLimits(*connection, 0, app.gpus[0], adl::ADLODNFanControl{}));
  EXPECT_FALSE(CheckDriverLimits(*connection, 0, app.gpus[0], adl::ADLODNPowerLimitSetting{}));
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

}  // namespace
}  // namespace tw
