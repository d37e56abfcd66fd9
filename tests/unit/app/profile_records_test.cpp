#include "app/profile_records.h"

#include <gtest/gtest.h>

#include <functional>

namespace tw {
namespace {

ProfileItem States(std::vector<int32_t> clocks, std::vector<int32_t> vccs, std::vector<bool> enabled) {
  ProfileItem p;
  p.gpuClock = clocks;
  p.gpuVcc = vccs;
  p.gpuEnabled = enabled;
  p.memClock = clocks;
  p.memVcc = vccs;
  p.memEnabled = enabled;
  return p;
}

TEST(OverdriveNLevelsTest, ShortProfileTakesMissingStatesFromTheCard) {
  const ProfileItem profile = States({300, 1000}, {750, 800}, {true, false});
  const ProfileItem card = States({200, 900, 1300}, {700, 780, 1000}, {true, true, true});
  const auto levels = OverdriveNLevels(profile, card, StateKind::Gpu, 3);
  ASSERT_EQ(levels.size(), 3u);
  EXPECT_EQ(levels[0].iClock, 30000);
  EXPECT_EQ(levels[0].iVddc, 750);
  EXPECT_EQ(levels[0].iEnabled, 1);
  EXPECT_EQ(levels[1].iEnabled, 0);
  EXPECT_EQ(levels[2].iClock, 130000);
  EXPECT_EQ(levels[2].iVddc, 1000);
  EXPECT_EQ(levels[2].iEnabled, 1);
}

TEST(OverdriveNLevelsTest, ExtraProfileStatesAreIgnoredAndMissingEverywhereStayZero) {
  const ProfileItem profile = States({1, 2, 3, 4}, {5, 6, 7, 8}, {true, true, true, true});
  EXPECT_EQ(OverdriveNLevels(profile, ProfileItem{}, StateKind::Memory, 2).size(), 2u);
  const auto levels = OverdriveNLevels(States({1}, {2}, {true}), ProfileItem{}, StateKind::Gpu, 3);
  EXPECT_EQ(levels[2].iClock, 0);
  EXPECT_EQ(levels[2].iEnabled, 0);
}

ProfileItem CompleteNaviProfile() {
  ProfileItem p = States({800, 1500, 2000}, {750, 900, 1100}, {true, true, true});
  p.memClock.clear();
  p.memVcc.clear();
  p.memEnabled.clear();
  p.gpuMin = 800;
  p.gpuMax = 2100;
  p.memMax = 1750;
  p.memTimingLevel = 1;
  p.fanZeroRpm = 0;
  p.fanAcoustic = 1500;
  p.powerTarget = 15;
  for (int k = 0; k < 5; ++k) p.fanCurve[static_cast<size_t>(k)] = {30 + 10 * k, 20 + 15 * k};
  return p;
}

TEST(Overdrive8RecordTest, CompletenessNeedsEveryValueThatIsSent) {
  EXPECT_TRUE(IsCompleteForOverdrive8(CompleteNaviProfile()));
  std::vector<std::function<void(ProfileItem&)>> breakers = {
      [](ProfileItem& p) { p.gpuMin = kNotSet; },          [](ProfileItem& p) { p.memMax = kNotSet; },
      [](ProfileItem& p) { p.fanCurve[4].fanPerc = kNotSet; }, [](ProfileItem& p) { p.gpuClock.resize(2); },
      [](ProfileItem& p) { p.gpuVcc[1] = kNotSet; },         [](ProfileItem& p) { p.fanZeroRpm = kNotSet; },
  };
  for (auto& breakIt : breakers) {
    ProfileItem p = CompleteNaviProfile();
    breakIt(p);
    EXPECT_FALSE(IsCompleteForOverdrive8(p));
  }
}

TEST(Overdrive8RecordTest, FillsTheProfileIdsAndKeepsTheCardWhereNotSet) {
  ProfileItem p = CompleteNaviProfile();
  p.gpuMin = kNotSet;
  Od8Values values{};
  values.fill(-7);
  FillOd8Values(p, values);
  const Od8Values expected = {2100, -7, 800, 750, 1500, 900, 2000, 1100, 1750, 15, -7, 1500, -7, -7, 1, 0, -7, -7, -7,
                              30,   20, 40,  35,  50,   50,  60,  65,   70,   80};
  EXPECT_EQ(values, expected);
}

}  // namespace
}  // namespace tw
