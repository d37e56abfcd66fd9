// Reading scenarios and state files (the simulator's own parsers, linked in directly).

#include <gtest/gtest.h>

#include "scenario.h"
#include "state.h"

namespace adlsim {
namespace {

TEST(ScenarioTest, TheDefaultRigHasItsFourCardsAndFiveAdapters) {
  std::string error;
  const std::optional<Scenario> rig = ParseScenario(DefaultRigText(), "rig", error);
  ASSERT_TRUE(rig) << error;
  ASSERT_EQ(rig->cards.size(), 4u);
  ASSERT_EQ(rig->adapters.size(), 5u);
  EXPECT_EQ(rig->cards[1].gpuLevels.size(), 8u);  // Polaris
  EXPECT_EQ(rig->cards[1].memLevels.size(), 3u);
  EXPECT_EQ(rig->cards[0].memLevels.size(), 4u);  // Vega
  EXPECT_EQ(rig->cards[3].overdrive, Overdrive::Eight);
  EXPECT_EQ(rig->cards[2].vendor, 4318);
  EXPECT_EQ(rig->adapters[2].card, 1) << "the Polaris card's second adapter";
}

TEST(ScenarioTest, CopiesMakeIdenticalCardsOnConsecutiveBusesWithTheirOwnIds) {
  std::string error;
  const std::optional<Scenario> rig =
      ParseScenario("[card rx]\npreset = polaris\nbus = 4\ncopies = 12\nregistry_key = \\X\\{c}\\0000\n", "rig", error);
  ASSERT_TRUE(rig) << error;
  ASSERT_EQ(rig->cards.size(), 12u);
  EXPECT_EQ(rig->cards[11].bus, 15);
  EXPECT_NE(rig->cards[0].pnp, rig->cards[1].pnp);
  EXPECT_EQ(rig->cards[11].registryKey, "\\X\\{c}\\0011");
  EXPECT_EQ(rig->adapters.size(), 12u);
}

TEST(ScenarioTest, ValuesAreReadInTheirUnits) {
  std::string error;
  const std::optional<Scenario> rig = ParseScenario(
      "[card a]\npreset = none\noverdrive = N\nlevels = 2\ngpu_levels = 1300.99/1100, 300.5/750/0\n"
      "power_range = -20..20 step 2 default 4\nod8.3 = 700..1100 default 800\ni2c = up9505 6 0x7E\n"
      "i2c_registers.0 = 0x49:0x03\n[faults]\nADL2_X = -3 from 2\nADL2_Y = null_list\ndelay_ms = 7\n",
      "s.ini", error);
  ASSERT_TRUE(rig) << error;
  const CardSpec& card = rig->cards[0];
  EXPECT_EQ(card.gpuLevels[0], (Level{130099, 1100, 1}));
  EXPECT_EQ(card.gpuLevels[1], (Level{30050, 750, 0}));
  EXPECT_EQ(card.power.min, -20);
  EXPECT_EQ(card.power.step, 2);
  EXPECT_EQ(card.power.def, 4);
  EXPECT_EQ(card.od8[3].range.max, 1100);
  EXPECT_EQ(card.i2c[0].address, 0x7E);
  EXPECT_EQ(card.i2c[0].registers[0x49], 0x03);
  EXPECT_EQ(rig->faults.byName.at("ADL2_X").fromCall, 2);
  EXPECT_EQ(rig->faults.byName.at("ADL2_Y").kind, FaultKind::NullList);
  EXPECT_EQ(rig->faults.delayUs, 7000);
}

struct DelayCase {
  const char* faults;
  int everyCallUs;
  const char* name;  // "" when no entry point has a delay of its own
  int nameUs;
};

// Without it the test framework prints the record's bytes, padding included.
void PrintTo(const DelayCase& c, std::ostream* out) { *out << '"' << c.faults << '"'; }

class DelayKeyTest : public ::testing::TestWithParam<DelayCase> {};

TEST_P(DelayKeyTest, DelaysAreHeldInMicroseconds) {
  std::string error;
  const std::optional<Scenario> rig =
      ParseScenario(std::string("[card a]\npreset = polaris\n[faults]\n") + GetParam().faults, "d.ini", error);
  ASSERT_TRUE(rig) << error;
  EXPECT_EQ(rig->faults.delayUs, GetParam().everyCallUs);
  if (*GetParam().name) {
    ASSERT_EQ(rig->faults.delayUsByName.count(GetParam().name), 1u);
    EXPECT_EQ(rig->faults.delayUsByName.at(GetParam().name), GetParam().nameUs);
  } else {
    EXPECT_TRUE(rig->faults.delayUsByName.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DelayKeyTest,
    ::testing::Values(DelayCase{"delay_ms = 3\n", 3000, "", 0}, DelayCase{"delay_us = 500\n", 500, "", 0},
                      DelayCase{"delay_us = 250\ndelay_ms.ADL2_X = 20\n", 250, "ADL2_X", 20000},
                      DelayCase{"delay_us.ADL2_Main_Control_Create = 1500\n", 0, "ADL2_Main_Control_Create", 1500},
                      DelayCase{"delay_ms.ADL2_X = 1\ndelay_us.ADL2_X = 40\n", 0, "ADL2_X", 40}));

struct Bad {
  const char* text;
  const char* message;
};

class ScenarioErrorTest : public ::testing::TestWithParam<Bad> {};

TEST_P(ScenarioErrorTest, ABadValueNamesTheFileTheSectionAndTheKey) {
  std::string error;
  EXPECT_FALSE(ParseScenario(GetParam().text, "rig.ini", error));
  EXPECT_EQ(error, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ScenarioErrorTest,
    ::testing::Values(
        Bad{"[card a]\nbus = one\n", "rig.ini: [card a] key 'bus' (line 2): 'one' is not a number"},
        Bad{"[card a]\npreset = polaris\nvddc_range = 900..800\n",
            "rig.ini: [card a] key 'vddc_range' (line 3): minimum above maximum"},
        Bad{"[card a]\npreset = polaris\npower_range = -5..5 default 9\n",
            "rig.ini: [card a] key 'power_range' (line 3): default 9 outside the range"},
        Bad{"[card a]\npreset = rx9000\n", "rig.ini: [card a] key 'preset' (line 2): unknown preset 'rx9000' (polaris, vega, navi, other, none)"},
        Bad{"[card a]\ncolour = red\n", "rig.ini: [card a] key 'colour' (line 2): unknown card key"},
        Bad{"[card a]\ni2c = IR3567B 3 0x80\n", "rig.ini: [card a] key 'i2c' (line 2): I2C address 0x80 outside 0..127"},
        Bad{"[machine]\nadmin = maybe\n", "rig.ini: [machine] key 'admin' (line 2): 'maybe' is not 1 or 0"},
        Bad{"[faults]\nADL2_X = -1 since 3\n", "rig.ini: [faults] key 'ADL2_X' (line 2): '-1 since 3' is not RESULT [from N], null_list or ignore"},
        Bad{"[faults]\ndelay_us = -5\n", "rig.ini: [faults] key 'delay_us' (line 2): negative delay"},
        Bad{"[faults]\ndelay_ms.ADL2_X = 3000000\n", "rig.ini: [faults] key 'delay_ms.ADL2_X' (line 2): delay too long"},
        Bad{"[faults]\ndelay_s = 1\n",
            "rig.ini: [faults] key 'delay_s' (line 2): unknown fault key (ADL2_..., adlsim_..., delay_ms, delay_us, "
            "delay_ms.NAME, delay_us.NAME)"},
        Bad{"[cards]\n", "rig.ini: [cards] (line 1): unknown section (machine, faults, card NAME)"},
        Bad{"[card a]\nbus 3\n", "rig.ini: line 2: expected key = value"},
        Bad{"[card a]\npreset = polaris\nstate.fan = 1 2 3\n",
            "rig.ini: [card a] key 'state.fan' (line 3): 3 values where the scenario needs 4"},
        Bad{"[card a]\npreset = polaris\nstate.gpu = 30000/750/1\n",
            "rig.ini: [card a] key 'state.gpu' (line 3): 1 levels where the scenario has 8"},
        Bad{"[card a]\nstate.restarts = 2\n",
            "rig.ini: [card a] key 'state.restarts' (line 2): unknown start value (state.gpu, .mem, .fan, .power, "
            ".ext, .od8)"},
        Bad{"[card a]\nod8_features = 1, 2\n",
            "rig.ini: [card a] key 'od8_features' (line 2): od8_features needs 29 values, one per setting id"}));

// What a snapshot of a real card needs: start values apart from the defaults, clock ranges
// with decimals, ranges taken as read, a feature state beyond on and off.
TEST(ScenarioTest, ACardCanStartAwayFromItsDefaultsWithRangesAsADriverReportedThem) {
  std::string error;
  const std::optional<Scenario> rig = ParseScenario(
      "[card a]\npreset = polaris\nstate.fan = 3000 80 1200 900\nstate.power = 10 85\n"
      "gpu_clock_range = 300.5..2000 step 0.01 default 1366.25\nfan_speed_range = 400..300 default 0 as_read\n"
      "chill = 2\n",
      "s.ini", error);
  ASSERT_TRUE(rig) << error;
  const CardSpec& card = rig->cards[0];
  EXPECT_EQ(card.gpuClock.min, 30050);
  EXPECT_EQ(card.gpuClock.step, 1);
  EXPECT_EQ(card.gpuClock.def, 136625);
  EXPECT_EQ(card.fanSpeed.max, 300);
  EXPECT_EQ(card.chill, 2);
  const CardState state = DefaultCardState(card);
  EXPECT_EQ(state.fan, (FanValues{3000, 80, 1200, 900}));
  EXPECT_EQ(state.power, (PowerValues{10, 85}));
  EXPECT_EQ(DefaultFan(card).targetSpeed, 0) << "a reset still goes to the defaults";
}

TEST(StateTest, AStateSurvivesItsTextAndABadOneIsNamed) {
  std::string error;
  const std::optional<Scenario> rig = ParseScenario(DefaultRigText(), "rig", error);
  ASSERT_TRUE(rig);
  State state = DefaultState(*rig, "abc");
  state.cards[1].gpu[7].clock = 140000;
  state.cards[1].friendlyName = "Left \"one\" \\ ";
  state.cards[1].i2c[1][0x8D] = 0x05;
  state.calls["ADL2_X"] = 4;
  const std::optional<State> back = ParseState(SerializeState(state), *rig, "s", error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->cards[1].gpu[7].clock, 140000);
  EXPECT_EQ(back->cards[1].friendlyName, state.cards[1].friendlyName);
  EXPECT_EQ(back->cards[1].i2c[1][0x8D], 0x05);
  EXPECT_EQ(back->calls.at("ADL2_X"), 4);
  EXPECT_EQ(back->scenarioHash, "abc");

  EXPECT_FALSE(ParseState("[card 1]\nfan = 1 2 3\n", *rig, "s", error));
  EXPECT_EQ(error, "s: [card 1] key 'fan' (line 2): 3 values where the scenario needs 4");
  EXPECT_FALSE(ParseState("[card 9]\nchill = 1\n", *rig, "s", error));
  EXPECT_EQ(error, "s: [card 9] key 'chill' (line 2): the scenario has no card 9");
}

}  // namespace
}  // namespace adlsim
