#include "app/gpu_command_parameters.h"

#include <gtest/gtest.h>

#include "base/integer.h"

namespace tw {
namespace {

constexpr const char* kCommand = "-ac0 x";

ProfileItem EightStateCard() {
  ProfileItem card;
  for (int i = 0; i < 8; ++i) {
    card.gpuClock.push_back(300 + 100 * i);
    card.gpuVcc.push_back(750 + 25 * i);
    card.gpuEnabled.push_back(true);
  }
  card.resizeMemStates(3);
  card.memClock = {300, 1000, 2000};
  card.memVcc = {750, 800, 900};
  card.memEnabled = {true, true, true};
  return card;
}

class GpuCommandParameterTest : public ::testing::Test {
 protected:
  ProfileItem values = EightStateCard();
  GpuCommandSwitches switches;

  std::optional<std::string> Apply(const std::string& parameter) {
    return ApplyGpuCommandParameter(parameter, kCommand, 0, values, switches);
  }
};

TEST_F(GpuCommandParameterTest, StateParameterSetsClockVoltageAndEnabledFlag) {
  values.gpuEnabled[2] = false;
  EXPECT_EQ(Apply("gpu_p2=1100;900"), std::nullopt);
  EXPECT_EQ(values.gpuClock[2], 1100);
  EXPECT_EQ(values.gpuVcc[2], 900);
  EXPECT_TRUE(values.gpuEnabled[2]);
  EXPECT_EQ(values.gpuClock[3], 600);  // others untouched
}

TEST_F(GpuCommandParameterTest, LastStateKeepsClockAndIsDisabled) {
  EXPECT_EQ(Apply("gpu_p#=*;950;0"), std::nullopt);
  EXPECT_EQ(values.gpuClock[7], 1000);
  EXPECT_EQ(values.gpuVcc[7], 950);
  EXPECT_FALSE(values.gpuEnabled[7]);
}

TEST_F(GpuCommandParameterTest, KeywordsAreCaseInsensitiveAndMemoryStatesWork) {
  EXPECT_EQ(Apply("GPU_P1=1000;800"), std::nullopt);
  EXPECT_EQ(values.gpuClock[1], 1000);
  EXPECT_EQ(Apply("Mem_P2=2100;*"), std::nullopt);
  EXPECT_EQ(values.memClock[2], 2100);
  EXPECT_EQ(values.memVcc[2], 900);
}

TEST_F(GpuCommandParameterTest, StateErrorsQuoteWhatWasTyped) {
  const std::pair<const char*, const char*> cases[] = {
      {"gpu_p9=1000;800", "Wrong command: -ac0 x\r\n\"9\" exceeds Pstates number for GPU 0"},
      {"gpu_px=1000;800", "Wrong command: -ac0 x\r\n\"x\" is not valid Pstate number"},
      {"gpu_p", "Wrong command: -ac0 x\r\n\"\" is not valid Pstate number"},
      {"gpu_p1=1000", "Wrong command: -ac0 x\r\n\"gpu_p1=1000\" is not valid parameter"},
      {"GPU_P1=1000", "Wrong command: -ac0 x\r\n\"GPU_P1=1000\" is not valid parameter"},
      {"mem_p3=1;1", "Wrong command: -ac0 x\r\n\"3\" exceeds Pstates number for GPU 0"},
      // Characters, not bytes: the state number is one whole character.
      {"gpu_p\xC3\xA9=1;2", "Wrong command: -ac0 x\r\n\"\xC3\xA9\" is not valid Pstate number"},
      {"fan_p\xF0\x9F\x98\x80=1;2", "Wrong command: -ac0 x\r\n\"\xF0\x9F\x98\x80\" is not valid Pstate number"},
      // Only a third field of exactly "0" is taken; the marker -500 is never a value.
      {"gpu_p1=1000;800;05", "Wrong command: -ac0 x\r\n\"gpu_p1=1000;800;05\" is not valid parameter"},
      {"gpu_p1=1000;8;00", "Wrong command: -ac0 x\r\n\"gpu_p1=1000;8;00\" is not valid parameter"},
      {"gpu_p1=1000;800;0;0", "Wrong command: -ac0 x\r\n\"gpu_p1=1000;800;0;0\" is not valid parameter"},
      {"gpu_p1=1000;800;", "Wrong command: -ac0 x\r\n\"gpu_p1=1000;800;\" is not valid parameter"},
      {"gpu_p1=-500;800", "Wrong command: -ac0 x\r\n\"gpu_p1=-500;800\" is not valid parameter"},
      {"fan_p0=30;-500", "Wrong command: -ac0 x\r\n\"fan_p0=30;-500\" is not valid parameter"},
      {"mem_timinglevel=-500", "Wrong command: -ac0 x\r\n\"mem_timinglevel=-500\" is not valid parameter"},
  };
  for (const auto& [parameter, message] : cases) EXPECT_EQ(Apply(parameter), message) << parameter;
}

TEST_F(GpuCommandParameterTest, TheValuesStartAfterSevenCharactersWhateverTheirBytes) {
  EXPECT_EQ(Apply("gpu_p1\xC3\xA9" "1000;800;0"), std::nullopt);
  EXPECT_EQ(values.gpuClock[1], 1000);
  EXPECT_FALSE(values.gpuEnabled[1]);
}

TEST_F(GpuCommandParameterTest, MemoryStatesOfACardWithoutThemAreAlwaysOutOfRange) {
  values.resizeMemStates(0);
  EXPECT_EQ(Apply("mem_p0=1;1"), "Wrong command: -ac0 x\r\n\"0\" exceeds Pstates number for GPU 0");
  EXPECT_EQ(Apply("mem_p#=1;1"), "Wrong command: -ac0 x\r\n\"-1\" exceeds Pstates number for GPU 0");
}

TEST_F(GpuCommandParameterTest, IntegerKeywordsSetTheirFields) {
  const std::pair<const char*, int32_t ProfileItem::*> cases[] = {
      {"fan_min=100", &ProfileItem::fanMin},         {"fan_max=2500", &ProfileItem::fanMax},
      {"fan_target=75", &ProfileItem::fanTarget},    {"fan_acoustic=1200", &ProfileItem::fanAcoustic},
      {"power_temp=90", &ProfileItem::powerTemp},    {"power_target=-20", &ProfileItem::powerTarget},
      {"offset=4", &ProfileItem::offset},            {"llc=1", &ProfileItem::llc},
      {"fan_zerorpm=1", &ProfileItem::fanZeroRpm},   {"mem_timinglevel=2", &ProfileItem::memTimingLevel},
      {"gpu_min=800", &ProfileItem::gpuMin},         {"gpu_max=2100", &ProfileItem::gpuMax},
      {"MEM_MAX=1750", &ProfileItem::memMax},
  };
  for (const auto& [parameter, field] : cases) {
    EXPECT_EQ(Apply(parameter), std::nullopt) << parameter;
    const std::string text = parameter;
    EXPECT_EQ(values.*field, std::stoi(text.substr(text.find('=') + 1))) << parameter;
  }
}

TEST_F(GpuCommandParameterTest, BadIntegerThrowsWithTheLowerCasedValue) {
  try {
    Apply("power_target=ABC");
    FAIL() << "no exception";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_THROW(Apply("gpu_p1=fast;800"), ConversionError);
  EXPECT_THROW(Apply("gpu_p1=1000;"), ConversionError);
  EXPECT_THROW(Apply("fan_p1=60;x"), ConversionError);
}

TEST_F(GpuCommandParameterTest, TextsAreLowerCasedAndNotValidatedHere) {
  EXPECT_EQ(Apply("PhaseGain=1A2B3C"), std::nullopt);
  EXPECT_EQ(Apply("currentscale=ZZ"), std::nullopt);
  EXPECT_EQ(Apply("SetConstantFanSpeed=Auto"), std::nullopt);
  EXPECT_EQ(Apply("setpowerefficiency=ON"), std::nullopt);
  EXPECT_EQ(Apply("setchill=maybe"), std::nullopt);
  EXPECT_EQ(Apply("setchill=off"), std::nullopt);  // a later one replaces an earlier one
  EXPECT_EQ(values.phaseGain, "1a2b3c");
  EXPECT_EQ(values.currentScale, "zz");
  EXPECT_EQ(switches.constantFanSpeed, "auto");
  EXPECT_EQ(switches.powerEfficiency, "on");
  EXPECT_EQ(switches.chill, "off");
}

TEST_F(GpuCommandParameterTest, FanPoints) {
  EXPECT_EQ(Apply("fan_p3=60;70"), std::nullopt);
  EXPECT_EQ(values.fanCurve[3], (FanPoint{60, 70}));
  EXPECT_EQ(Apply("fan_p2=60"), std::nullopt);  // ignored without a message
  EXPECT_EQ(values.fanCurve[2], FanPoint{});
  EXPECT_EQ(Apply("fan_p5=60;70"), "Wrong command: -ac0 x\r\n\"5\" exceeds Fan Pstates number (0-4) 0");
  EXPECT_EQ(Apply("fan_pq=60;70"), "Wrong command: -ac0 x\r\n\"q\" is not valid Pstate number");
}

TEST_F(GpuCommandParameterTest, UnknownParametersAreNotValid) {
  for (const char* parameter : {"gpu_maximum=1", "fan=1", "voltage=900", "x\x1e" "y", "\xc3\xa9=1"})
    EXPECT_EQ(Apply(parameter), "Wrong command: -ac0 x\r\n\"" + std::string(parameter) + "\" is not valid parameter")
        << parameter;
}

}  // namespace
}  // namespace tw
