#include "gpu/clock_setter.h"

#include <gmock/gmock.h>

#include "gpu/performance_levels.h"
#include "gpu/setter_fixture.h"

namespace tw::adl {
// Found by argument-dependent lookup when vectors of levels are compared.
static bool operator==(const ADLODNPerformanceLevelX2& a, const ADLODNPerformanceLevelX2& b) {
  return a.iClock == b.iClock && a.iVddc == b.iVddc && a.iEnabled == b.iEnabled && a.iControl == b.iControl;
}
}  // namespace tw::adl

namespace tw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Level = adl::ADLODNPerformanceLevelX2;
using Levels = std::vector<Level>;

class ClockSetterTest : public test::SetterFixture {
 protected:
  void SetUp() override {
    AddOverdriveN();
    Open();
  }
  test::FakeAdlCard& card() { return adl.cards.at(0); }
  // The first `states` levels the card holds now, as a profile equal to the card would give.
  Levels Held(bool gpu, size_t states) {
    const Levels& all = gpu ? card().gpuLevels : card().memLevels;
    return Levels(all.begin(), all.begin() + static_cast<long>(std::min(states, all.size())));
  }
  bool Set(bool gpu, const Levels& levels, std::string_view failure = "") {
    return SetClocks(Context(), gpu, levels, failure);
  }
};

TEST_F(ClockSetterTest, GpuRecordHasTheCardsLevelCountModeThreeAndExactSize) {
  Levels levels = Held(true, 8);
  levels[7] = {135000, 1150, 1, 0};
  ASSERT_TRUE(Set(true, levels));
  ASSERT_EQ(adl.clockSets.size(), 1u);
  const auto& sent = adl.clockSets[0];
  EXPECT_FALSE(sent.memory);
  EXPECT_EQ(sent.adapter, 0);
  EXPECT_EQ(sent.size, 12 + 16 * 8);
  EXPECT_EQ(sent.mode, 3);
  EXPECT_EQ(sent.count, 8);
  EXPECT_EQ(sent.levels, levels);
  EXPECT_EQ(card().gpuLevels[7].iClock, 135000);
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_OverdriveN_SystemClocksX2_Set"));
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(ClockSetterTest, MemoryRecordIsZeroPastTheGivenLevels) {
  const Levels levels = {{30000, 750, 1, 0}, {100000, 800, 0, 0}, {210000, 950, 1, 0}};
  ASSERT_TRUE(Set(false, levels));
  ASSERT_EQ(adl.clockSets.size(), 1u);
  const auto& sent = adl.clockSets[0];
  EXPECT_TRUE(sent.memory);
  EXPECT_EQ(sent.size, 140);
  EXPECT_EQ(sent.count, 8);
  Levels expected = levels;
  expected.resize(8, Level{0, 0, 0, 0});
  EXPECT_EQ(sent.levels, expected);
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_OverdriveN_MemoryClocksX2_Set"));
}

TEST_F(ClockSetterTest, ResetBeforeApplySendsValuesThenDefaultsThenValues) {
  app.options.ResetBeforeApply = true;
  Levels levels = Held(true, 8);
  levels[6] = {131000, 1140, 1, 0};
  ASSERT_TRUE(Set(true, levels));
  ASSERT_EQ(adl.clockSets.size(), 3u);
  EXPECT_EQ(adl.clockSets[0].mode, 3);
  EXPECT_EQ(adl.clockSets[1].mode, 1);
  EXPECT_EQ(adl.clockSets[2].mode, 3);
  for (const auto& sent : adl.clockSets) {
    EXPECT_EQ(sent.levels, levels);
    EXPECT_EQ(sent.size, 140);
    EXPECT_EQ(sent.count, 8);
  }
  EXPECT_EQ(card().gpuLevels[6].iClock, 131000);  // the values came last
}

TEST_F(ClockSetterTest, ResetBeforeApplyStopsWhenTheFirstSetFails) {
  app.options.ResetBeforeApply = true;
  app.options.CheckValuesMismatch = true;
  adl.Fail("ADL2_OverdriveN_SystemClocksX2_Set", adl::kErrInvalidParam);
  EXPECT_FALSE(Set(true, Held(true, 8)));
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_SystemClocksX2_Set"), 1);
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_SystemClocksX2_Get"), 0);
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set GPU values (ErrorCode: -3) (ADL_ERR_INVALID_PARAM - One of "
                                      "the parameter passed is invalid)"));
}

TEST_F(ClockSetterTest, RefusedDefaultsAreIgnoredAndTheValuesStillGo) {
  app.options.ResetBeforeApply = true;
  adl.Fail("ADL2_OverdriveN_MemoryClocksX2_Set", adl::kErrNotSupported, 2, 1);
  EXPECT_TRUE(Set(false, Held(false, 3)));
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_MemoryClocksX2_Set"), 3);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(ClockSetterTest, FailingFinalSetAfterTheResetFails) {
  app.options.ResetBeforeApply = true;
  adl.Fail("ADL2_OverdriveN_SystemClocksX2_Set", -20, 3);
  EXPECT_FALSE(Set(true, Held(true, 8), "Failed to set GPU values for profile"));
  EXPECT_THAT(BoxTexts(), ElementsAre(::testing::StartsWith("Failed to set GPU values for profile (ErrorCode: -20) (")));
}

TEST_F(ClockSetterTest, ClockTheDriverRoundsGivesOneMismatchLine) {
  app.options.CheckValuesMismatch = true;
  card().afterSet = [](test::FakeAdlCard& c) {
    if (c.gpuLevels[7].iClock == 135000) c.gpuLevels[7].iClock = 134950;
  };
  Levels levels = Held(true, 8);
  levels[7].iClock = 135000;
  EXPECT_TRUE(Set(true, levels));
  EXPECT_THAT(BoxTexts(), ElementsAre("GPU values mismatch for GPU 0.\nGPU P7: got '1349 MHz' instead of '1350 MHz'\n"));
  EXPECT_THAT(CallNames(), ElementsAre("ADL2_OverdriveN_SystemClocksX2_Set", "ADL2_OverdriveN_SystemClocksX2_Get"));
}

TEST_F(ClockSetterTest, ClocksAreComparedInTheDriversUnit) {
  app.options.CheckValuesMismatch = true;
  card().afterSet = [](test::FakeAdlCard& c) { c.gpuLevels[2].iClock += 5; };  // 50 kHz more: the same MHz
  EXPECT_TRUE(Set(true, Held(true, 8)));
  EXPECT_THAT(BoxTexts(), ElementsAre("GPU values mismatch for GPU 0.\nGPU P2: got '900 MHz' instead of '900 MHz'\n"));
}

TEST_F(ClockSetterTest, VoltageAndEnabledMismatchesUnderTheMemoryHeading) {
  app.options.CheckValuesMismatch = true;
  card().afterSet = [](test::FakeAdlCard& c) {
    c.memLevels[1].iVddc = 850;
    c.memLevels[1].iEnabled = 0;
    c.memLevels[2].iEnabled = 2;  // any positive value is enabled
  };
  EXPECT_TRUE(Set(false, Held(false, 3)));
  EXPECT_THAT(BoxTexts(), ElementsAre("Memory values mismatch for GPU 0.\n"
                                      "Memory P1: got '850 mV' instead of '800 mV'\n"
                                      "Memory P1: got 'disabled' instead of 'enabled'\n"));
}

TEST_F(ClockSetterTest, OnlyTheCardsStatesAreCompared) {
  app.options.CheckValuesMismatch = true;
  app.gpus[0].memStateCount = 2;
  card().afterSet = [](test::FakeAdlCard& c) { c.memLevels[2].iClock = 190000; };
  EXPECT_TRUE(Set(false, Held(false, 3)));
  EXPECT_THAT(BoxTexts(), IsEmpty());
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_MemoryClocksX2_Get"), 1);
}

TEST_F(ClockSetterTest, WithoutCheckValuesMismatchNothingIsReadBack) {
  card().afterSet = [](test::FakeAdlCard& c) { c.gpuLevels[0].iClock = 31000; };
  EXPECT_TRUE(Set(true, Held(true, 8)));
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_SystemClocksX2_Get"), 0);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(ClockSetterTest, FailedReadBackIsNotReported) {
  app.options.CheckValuesMismatch = true;
  adl.Fail("ADL2_OverdriveN_SystemClocksX2_Get", adl::kErr);
  card().afterSet = [](test::FakeAdlCard& c) { c.gpuLevels[0].iClock = 31000; };
  EXPECT_TRUE(Set(true, Held(true, 8)));
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_SystemClocksX2_Get"), 1);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

struct LimitCase {
  bool gpu;
  std::vector<std::pair<size_t, Level>> changes;
  std::string expected;
};

TEST_F(ClockSetterTest, RefusedValuesOutsideTheRangesShowTheLimits) {
  const std::string gpuRanges = "Current limits for GPU 0:\n300 Mhz < GPU clock < 2000 MHz\n750 mV < GPU voltage < 1200 mV";
  const std::string memRanges =
      "Current limits for GPU 0:\n300 Mhz < Memory clock < 2250 MHz\n750 mV < Memory voltage < 1200 mV";
  const LimitCase cases[] = {
      {true, {{7, {210000, 1150, 1, 0}}},
       "Failed to set GPU values (ErrorCode: -1) (Values are above driver limits)\n" + gpuRanges},
      {true, {{0, {30000, 700, 1, 0}}},
       "Failed to set GPU values (ErrorCode: -1) (Values are below driver limits)\n" + gpuRanges},
      {true, {{7, {210000, 1150, 1, 0}}, {0, {25000, 750, 1, 0}}},
       "Failed to set GPU values (ErrorCode: -1) (Values are above/below driver limits)\n" + gpuRanges},
      {false, {{2, {230000, 950, 1, 0}}},
       "Failed to set Memory values (ErrorCode: -1) (Values are above driver limits)\n" + memRanges},
  };
  for (const LimitCase& c : cases) {
    fake.dialogs.boxes.clear();
    Levels levels = Held(c.gpu, c.gpu ? 8 : 3);
    for (const auto& [i, level] : c.changes) levels[i] = level;
    EXPECT_FALSE(Set(c.gpu, levels));
    EXPECT_THAT(BoxTexts(), ElementsAre(c.expected));
  }
}

TEST_F(ClockSetterTest, RefusalWithinTheRangesKeepsTheDriversCode) {
  adl.Fail("ADL2_OverdriveN_SystemClocksX2_Set", adl::kErr);
  EXPECT_FALSE(Set(true, Held(true, 8), "Failed to set GPU values for GPU 0"));
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set GPU values for GPU 0 (ErrorCode: -1)"));
}

TEST_F(ClockSetterTest, RefusalWithUnreadableRangesKeepsTheDriversCode) {
  adl.Fail("ADL2_OverdriveN_CapabilitiesX2_Get", adl::kErrNotSupported);
  Levels levels = Held(true, 8);
  levels[7].iClock = 250000;
  EXPECT_FALSE(Set(true, levels));
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set GPU values (ErrorCode: -1)"));
}

TEST_F(ClockSetterTest, NotSupportedIsHiddenWithIgnoreError8ButStillFails) {
  app.options.IgnoreError8 = true;
  adl.Fail("ADL2_OverdriveN_MemoryClocksX2_Set", adl::kErrNotSupported);
  EXPECT_FALSE(SetClocks(Context(0, true), false, Held(false, 3), ""));
  EXPECT_FALSE(Set(false, Held(false, 3)));
  EXPECT_THAT(BoxTexts(), IsEmpty());
  EXPECT_EQ(fake.console.Output(), "");
}

TEST_F(ClockSetterTest, ConsoleFlagSendsTheReportToTheConsole) {
  app.options.CheckValuesMismatch = true;
  card().afterSet = [](test::FakeAdlCard& c) { c.gpuLevels[1].iVddc = 770; };
  EXPECT_TRUE(SetClocks(Context(0, true), true, Held(true, 8), ""));
  EXPECT_EQ(fake.console.Output(), "ERROR: GPU values mismatch for GPU 0.GPU P1: got '770 mV' instead of '769 mV'\n");
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(ClockSetterTest, CardWithoutUsableLevelCountIsRefusedBeforeTheDriver) {
  app.gpus[0].levelCount = 0;
  EXPECT_FALSE(Set(true, Held(true, 8)));
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set GPU values"));
  EXPECT_THAT(adl.log, IsEmpty());
}

TEST_F(ClockSetterTest, SendClocksReportsTheDefaultTextForEachKind) {
  adl.Fail("ADL2_OverdriveN_MemoryClocksX2_Set", adl::kErrNotInit);
  auto record = PerformanceLevelsBuffer::Create(8);
  ASSERT_TRUE(record);
  const Levels held = Held(true, 8);
  for (int i = 0; i < 8; ++i) record->setLevel(i, held[static_cast<size_t>(i)]);
  record->setMode(3);
  EXPECT_FALSE(SendClocks(Context(), false, *record, ""));
  EXPECT_TRUE(SendClocks(Context(), true, *record, "unused"));
  ASSERT_EQ(adl.clockSets.size(), 1u);
  EXPECT_EQ(adl.clockSets[0].levels, held);
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set Memory values (ErrorCode: -2) (ADL_ERR_NOT_INIT - ADL not "
                                      "initialized)"));
}

class TwoCardClockTest : public test::SetterFixture {};

TEST_F(TwoCardClockTest, MessagesAndLimitsAreTheAddressedCards) {
  AddOverdriveN(0);
  test::FakeAdlCard& second = AddOverdriveN(5);
  second.caps.sEngineClockRange = {0, 50000, 150000, 1, 0};
  Open();
  ASSERT_EQ(app.gpus.size(), 2u);
  Levels levels(second.gpuLevels.begin(), second.gpuLevels.end());
  levels[7].iClock = 160000;
  EXPECT_FALSE(SetClocks(Context(1), true, levels, ""));
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to set GPU values (ErrorCode: -1) (Values are above/below driver "
                                      "limits)\nCurrent limits for GPU 1:\n500 Mhz < GPU clock < 1500 MHz\n750 mV < "
                                      "GPU voltage < 1200 mV"));
  ASSERT_EQ(adl.clockSets.size(), 1u);
  EXPECT_EQ(adl.clockSets[0].adapter, 5);
}

}  // namespace
}  // namespace tw
