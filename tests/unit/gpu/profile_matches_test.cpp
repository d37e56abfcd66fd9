#include "gpu/profile_matches.h"

#include <gtest/gtest.h>

#include <functional>

namespace tw {
namespace {

ProfileItem Card() {
  ProfileItem p;
  p.gpuClock = {300, 1000};
  p.gpuVcc = {750, 800};
  p.gpuEnabled = {true, true};
  p.memClock = {300, 2000};
  p.memVcc = {750, 900};
  p.memEnabled = {true, true};
  p.fanAcoustic = 1200;
  p.fanCurve[0] = {30, 20};
  p.fanZeroRpm = 0;
  p.memTimingLevel = 1;
  p.powerTarget = 10;
  p.gpuMin = 800;
  p.gpuMax = 2000;
  p.memMax = 875;
  p.offset = 2;
  p.llc = 1;
  p.phaseGain = "000000";
  p.currentScale = "40";
  return p;
}

GPUItem Gpu(int32_t generation, bool fanEnabled = true, bool i2cFound = true) {
  GPUItem g;
  g.overdriveVersion = generation;
  g.fanEnabled = fanEnabled;
  g.i2cFound = i2cFound;
  return g;
}

struct MatchCase {
  const char* what;
  std::function<void(ProfileItem&)> change;
  bool onOverdriveN;
  bool onOverdrive8;
};

// Each change is made to the profile only; the expectation is per generation, with the
// fan on and regulators found and enabled.
TEST(ProfileMatchesTest, EachRuleByGeneration) {
  const MatchCase cases[] = {
      {"identical", [](ProfileItem&) {}, true, true},
      {"name and carried values", [](ProfileItem& p) { p.name = "x"; p.fanMin = 1; p.powerTemp = 9; p.overdriveVersion = 7; }, true, true},
      {"gpu clock", [](ProfileItem& p) { p.gpuClock[1] = 1001; }, false, false},
      {"gpu state count", [](ProfileItem& p) { p.resizeGpuStates(3); }, false, false},
      {"gpu enabled", [](ProfileItem& p) { p.gpuEnabled[1] = false; }, false, true},
      {"gpu vcc", [](ProfileItem& p) { p.gpuVcc[0] = 751; }, false, false},
      {"mem clock", [](ProfileItem& p) { p.memClock[1] = 2001; }, false, false},
      {"mem enabled", [](ProfileItem& p) { p.memEnabled[0] = false; }, false, false},
      {"mem vcc", [](ProfileItem& p) { p.memVcc[1] = 901; }, false, false},
      {"fan acoustic", [](ProfileItem& p) { p.fanAcoustic = 1; }, false, false},
      {"fan curve", [](ProfileItem& p) { p.fanCurve[4] = {90, 100}; }, false, false},
      {"zero rpm", [](ProfileItem& p) { p.fanZeroRpm = 1; }, false, false},
      {"timing level", [](ProfileItem& p) { p.memTimingLevel = 2; }, false, false},
      {"timing level missing", [](ProfileItem& p) { p.memTimingLevel = kNotSet; }, true, true},
      {"power target", [](ProfileItem& p) { p.powerTarget = 11; }, false, false},
      {"gpu min", [](ProfileItem& p) { p.gpuMin = 801; }, true, false},
      {"gpu max", [](ProfileItem& p) { p.gpuMax = 1; }, true, false},
      {"mem max", [](ProfileItem& p) { p.memMax = 1; }, true, false},
      {"offset differs", [](ProfileItem& p) { p.offset = 3; }, false, false},
      {"offset missing", [](ProfileItem& p) { p.offset = kNotSet; }, false, false},
      {"llc differs", [](ProfileItem& p) { p.llc = 0; }, false, false},
      {"llc missing", [](ProfileItem& p) { p.llc = kNotSet; }, true, true},
      {"phase gain case", [](ProfileItem& p) { p.phaseGain = "00000a"; }, false, false},
      {"phase gain missing", [](ProfileItem& p) { p.phaseGain = "NULL"; }, true, true},
      {"current scale differs", [](ProfileItem& p) { p.currentScale = "41"; }, false, false},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.what);
    ProfileItem profile = Card();
    c.change(profile);
    EXPECT_EQ(ProfileMatches(Card(), profile, Gpu(7), true), c.onOverdriveN);
    EXPECT_EQ(ProfileMatches(Card(), profile, Gpu(8), true), c.onOverdrive8);
  }
}

TEST(ProfileMatchesTest, FanValuesAreIgnoredWhenTheCardsFanIsSwitchedOff) {
  ProfileItem profile = Card();
  profile.fanCurve[2] = {70, 80};
  profile.fanAcoustic = 5;
  profile.fanZeroRpm = 1;
  EXPECT_TRUE(ProfileMatches(Card(), profile, Gpu(7, /*fanEnabled=*/false), true));
  EXPECT_FALSE(ProfileMatches(Card(), profile, Gpu(7, /*fanEnabled=*/true), true));
}

TEST(ProfileMatchesTest, RegulatorValuesCountOnlyWithI2cOnAndRegulatorFound) {
  ProfileItem profile = Card();
  profile.offset = 9;
  EXPECT_TRUE(ProfileMatches(Card(), profile, Gpu(7), /*enableI2c=*/false));
  EXPECT_TRUE(ProfileMatches(Card(), profile, Gpu(7, true, /*i2cFound=*/false), true));
  EXPECT_FALSE(ProfileMatches(Card(), profile, Gpu(7), true));
}

TEST(ProfileMatchesTest, ACardWithoutOffsetAcceptsAnyProfileOffset) {
  ProfileItem current = Card();
  current.offset = kNotSet;
  ProfileItem profile = Card();
  profile.offset = 5;
  EXPECT_TRUE(ProfileMatches(current, profile, Gpu(7), true));
}

}  // namespace
}  // namespace tw
