// The command line's card operations against the fake driver: applying a profile,
// resetting and restarting a card, and the per-GPU command.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/apply_profile.h"
#include "app/command_line.h"
#include "app/gpu_command.h"
#include "app/reset_gpu.h"
#include "app/restart_gpu.h"
#include "gpu/setter_fixture.h"

namespace tw::test {
namespace {

// A profile that holds every state of the fake OverdriveN card.
ProfileItem FullOverdriveNProfile() {
  ProfileItem p;
  p.name = "Full";
  const int clocks[8] = {300, 600, 900, 1145, 1215, 1257, 1300, 1340};
  const int volts[8] = {750, 769, 887, 1000, 1050, 1100, 1150, 1150};
  for (int i = 0; i < 8; ++i) {
    p.gpuClock.push_back(clocks[i]);
    p.gpuVcc.push_back(volts[i]);
    p.gpuEnabled.push_back(true);
  }
  p.memClock = {300, 1000, 2000};
  p.memVcc = {750, 800, 950};
  p.memEnabled = {true, true, true};
  p.fanAcoustic = 1200;
  p.powerTarget = 10;
  return p;
}

ProfileItem CompleteNaviProfile() {
  ProfileItem p;
  p.name = "Navi";
  p.gpuClock = {800, 1500, 2000};
  p.gpuVcc = {750, 900, 1100};
  p.gpuEnabled = {true, true, true};
  p.gpuMin = 800;
  p.gpuMax = 2000;
  p.memMax = 1750;
  p.memTimingLevel = 1;
  p.fanZeroRpm = 0;
  p.fanAcoustic = 2000;
  p.powerTarget = 5;
  for (int k = 0; k < 5; ++k) p.fanCurve[static_cast<size_t>(k)] = {30 + 10 * k, 20 + 15 * k};
  return p;
}

std::vector<std::string> SetCalls(const std::vector<std::string>& names) {
  std::vector<std::string> sets;
  for (const std::string& name : names)
    if (name.size() > 4 && name.compare(name.size() - 4, 4, "_Set") == 0) sets.push_back(name);
  return sets;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

class ApplyProfileTest : public SetterFixture {};

TEST_F(ApplyProfileTest, OverdriveNValuesGoOutInTheirOrderAndThePowerSetGivesTheResult) {
  AddOverdriveN();
  Discover();
  app.profiles.push_back(FullOverdriveNProfile());
  EXPECT_TRUE(ApplyProfile(app, 0, 0, false));
  EXPECT_EQ(SetCalls(CallNames()),
            (std::vector<std::string>{"ADL2_OverdriveN_SystemClocksX2_Set", "ADL2_OverdriveN_MemoryClocksX2_Set",
                                      "ADL2_OverdriveN_FanControl_Set", "ADL2_OverdriveN_SettingsExt_Set",
                                      "ADL2_OverdriveN_PowerLimit_Set"}));
  ASSERT_EQ(adl.powerSets.size(), 1u);
  EXPECT_EQ(adl.powerSets[0].iTDPLimit, 10);
  EXPECT_TRUE(BoxTexts().empty());

  adl.ForgetCalls();
  adl.Fail("ADL2_OverdriveN_PowerLimit_Set", -1);
  EXPECT_FALSE(ApplyProfile(app, 0, 0, false));
}

TEST_F(ApplyProfileTest, AFailingClockSetDoesNotStopTheOthersButFailsTheApply) {
  AddOverdriveN();
  Discover();
  app.profiles.push_back(FullOverdriveNProfile());
  adl.Fail("ADL2_OverdriveN_SystemClocksX2_Set", -3);
  EXPECT_FALSE(ApplyProfile(app, 0, 0, false));
  EXPECT_EQ(adl.powerSets.size(), 1u);
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_TRUE(StartsWith(BoxTexts()[0], "Failed to set GPU values for GPU 0")) << BoxTexts()[0];
}

TEST_F(ApplyProfileTest, ValuesTheProfileLeavesOpenAreTakenFromTheCardAndKeptInMemory) {
  FakeAdlCard& card = AddOverdriveN();
  card.extValues[0] = 2;
  card.extValues[1] = 0;
  Discover();
  app.profiles.push_back(FullOverdriveNProfile());
  ASSERT_TRUE(ApplyProfile(app, 0, 0, false));
  const ProfileItem& p = app.profiles[0];
  EXPECT_EQ(p.memTimingLevel, 2);
  EXPECT_EQ(p.fanZeroRpm, 0);
  EXPECT_EQ(p.fanCurve[0], (FanPoint{30, 20}));
  EXPECT_EQ(p.fanCurve[4], (FanPoint{90, 100}));
  ASSERT_EQ(adl.extSets.size(), 1u);
  EXPECT_EQ(adl.extSets[0].values[0], 2);
  EXPECT_EQ(adl.extSets[0].values[1], 0);
}

// Zeros in place of what could not be read would be a fan curve that never spins the fan.
TEST_F(ApplyProfileTest, ValuesTheProfileLeavesOpenThatTheCardCannotGiveAreNotSentAsZeros) {
  AddOverdriveN();
  Discover();
  ProfileItem open = FullOverdriveNProfile();
  open.fanCurve[3] = {};
  app.profiles.push_back(open);
  adl.Fail("ADL2_OverdriveN_SettingsExt_Get", -5);
  EXPECT_FALSE(ApplyProfile(app, 0, 0, false));  // a group left unsent fails the apply
  EXPECT_TRUE(adl.extSets.empty());
  EXPECT_EQ(adl.powerSets.size(), 1u);
  const ProfileItem& kept = app.profiles[0];
  EXPECT_FALSE(IsSet(kept.memTimingLevel));
  EXPECT_FALSE(kept.fanCurve[3].isSet());
  ASSERT_FALSE(BoxTexts().empty());
  EXPECT_TRUE(StartsWith(BoxTexts()[0], "Failed to read Fan curve, Zero RPM and Memory Timing Level for GPU 0 "
                                        "(ErrorCode: -5)"))
      << BoxTexts()[0];
}

TEST_F(ApplyProfileTest, AProfileWithFewerStatesWarnsAndFillsTheRestFromTheCard) {
  AddOverdriveN();
  Discover();
  ProfileItem p = FullOverdriveNProfile();
  p.name = "Short";
  p.resizeGpuStates(6);
  app.profiles.push_back(p);
  EXPECT_TRUE(ApplyProfile(app, 0, 0, false));
  ASSERT_FALSE(BoxTexts().empty());
  EXPECT_EQ(BoxTexts()[0], "Warning: profile \"Short\" contains less PStates than GPU 0 has.");
  ASSERT_FALSE(adl.clockSets.empty());
  const FakeAdl::ClockSet& gpu = adl.clockSets[0];
  ASSERT_FALSE(gpu.memory);
  ASSERT_GE(gpu.levels.size(), 8u);
  EXPECT_EQ(gpu.levels[5].iClock, 125700);  // from the profile
  EXPECT_EQ(gpu.levels[7].iClock, 134000);  // from the card
}

class ApplyOverdrive8Test : public SetterFixture {};

TEST_F(ApplyOverdrive8Test, AnIncompleteProfileWhoseCardCannotBeReadIsNotApplied) {
  AddOverdrive8();
  Discover();
  ProfileItem p = CompleteNaviProfile();
  p.memMax = kNotSet;
  app.profiles.push_back(p);
  adl.Fail("ADL2_Overdrive8_Current_SettingX2_Get", -1);
  EXPECT_FALSE(ApplyProfile(app, 0, 0, false));
  EXPECT_TRUE(adl.od8Sets.empty());
  const std::vector<std::string> boxes = BoxTexts();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back(), "Profile \"Navi\" is not complete, cannot apply it to GPU 0");
}

TEST_F(ApplyOverdrive8Test, AnIncompleteProfileTakesTheMissingValuesFromTheCard) {
  FakeAdlCard& card = AddOverdrive8();
  Discover();
  ProfileItem p = CompleteNaviProfile();
  p.memMax = kNotSet;
  app.profiles.push_back(p);
  EXPECT_TRUE(ApplyProfile(app, 0, 0, false));
  ASSERT_EQ(adl.od8Sets.size(), 1u);
  EXPECT_EQ(adl.od8Sets[0].od8SettingTable[adl::kOd8UclkFmax].value, card.od8Values[adl::kOd8UclkFmax]);
  EXPECT_EQ(adl.od8Sets[0].od8SettingTable[adl::kOd8GfxclkFmax].value, 2000);
  EXPECT_TRUE(BoxTexts().empty());
}

// ---- ResetGpu -------------------------------------------------------------------------

struct ResetFailure {
  const char* entryPoint;
  const char* text;
};

class ResetGpuTest : public SetterFixture, public ::testing::WithParamInterface<ResetFailure> {};

TEST_P(ResetGpuTest, EachFailingStepIsReportedWithItsOwnTextAndTheOthersStillRun) {
  AddOverdriveN();
  Discover();
  adl.Fail(GetParam().entryPoint, -1);
  ResetGpu(app, 0, false, true);
  const std::vector<std::string> boxes = BoxTexts();
  ASSERT_FALSE(boxes.empty());
  // The extended-settings setter also reports its own refusal before the reset says so.
  EXPECT_TRUE(StartsWith(boxes.back(), GetParam().text)) << boxes.back();
  for (const char* other : {"Failed to reset GPU values", "Failed to reset Memory values", "Failed to reset Fan values",
                            "Failed to reset Fan curve", "Failed to reset Power values"})
    for (const std::string& box : boxes) {
      if (!StartsWith(GetParam().text, other)) {
        EXPECT_FALSE(StartsWith(box, other)) << box;
      }
    }
  // Every step was tried.
  for (const char* name : {"ADL2_OverdriveN_SystemClocksX2_Set", "ADL2_OverdriveN_MemoryClocksX2_Set",
                           "ADL2_OverdriveN_FanControl_Set", "ADL2_OverdriveN_PowerLimit_Set"})
    EXPECT_EQ(adl.Calls(name), 1) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ResetGpuTest,
    ::testing::Values(ResetFailure{"ADL2_OverdriveN_SystemClocksX2_Set", "Failed to reset GPU values"},
                      ResetFailure{"ADL2_OverdriveN_MemoryClocksX2_Set", "Failed to reset Memory values"},
                      ResetFailure{"ADL2_OverdriveN_FanControl_Set", "Failed to reset Fan values"},
                      ResetFailure{"ADL2_OverdriveN_SettingsExt_Set",
                                   "Failed to reset Fan curve, Zero RPM and Memory timing level"},
                      ResetFailure{"ADL2_OverdriveN_PowerLimit_Set", "Failed to reset Power values"}));

class ResetGpuCardTest : public SetterFixture {};

TEST_F(ResetGpuCardTest, ResetGpuSendsDefaultsModeToEveryOverdriveNRecord) {
  AddOverdriveN();
  Discover();
  ResetGpu(app, 0, false, true);
  ASSERT_EQ(adl.clockSets.size(), 2u);
  EXPECT_EQ(adl.clockSets[0].mode, adl::kOdnModeDefault);
  EXPECT_FALSE(adl.clockSets[0].memory);
  EXPECT_EQ(adl.clockSets[1].mode, adl::kOdnModeDefault);
  EXPECT_TRUE(adl.clockSets[1].memory);
  ASSERT_EQ(adl.powerSets.size(), 1u);
  EXPECT_EQ(adl.powerSets[0].iMode, adl::kOdnModeDefault);
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ResetGpuCardTest, ResetGpuOnOverdrive8SendsOneResetRowPerId) {
  AddOverdrive8();
  Discover();
  ResetGpu(app, 0, false, true);
  ASSERT_EQ(adl.od8Sets.size(), 1u);
  EXPECT_EQ(adl.od8Sets[0].od8SettingTable[adl::kOd8GfxclkFmax].reset, 1);
  EXPECT_EQ(adl.od8Sets[0].od8SettingTable[adl::kOd8GfxclkFmax].value, 2100);
}

// ---- RestartGpu -----------------------------------------------------------------------

class RestartGpuTest : public SetterFixture {
 protected:
  void SetUpCard() {
    AddOverdriveN();
    Discover();
    fake.displayDevices.devices.push_back({app.gpus[0].pnpString, std::nullopt, 0});
    fake.machine.admin = true;
  }
};

TEST_F(RestartGpuTest, WithoutAdministratorRightsNothingIsRestarted) {
  SetUpCard();
  fake.machine.admin = false;
  EXPECT_FALSE(RestartGpu(app, 0, false, true));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"-t command requires administrator rights, failed to restart GPU 0"});
  EXPECT_EQ(fake.displayDevices.devices[0].restarts, 0);
  EXPECT_TRUE(fake.clock.sleeps.empty());
}

TEST_F(RestartGpuTest, ADriverThatNeverAnswersIsProbedSevenTimesASecondApart) {
  SetUpCard();
  adl.Fail("ADL2_OverdriveN_PowerLimit_Get", -1);
  EXPECT_TRUE(RestartGpu(app, 0, false, true));
  EXPECT_EQ(fake.displayDevices.devices[0].restarts, 1);
  EXPECT_EQ(fake.clock.sleeps, std::vector<uint32_t>(7, 1000));
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_PowerLimit_Get"), 7);
}

TEST_F(RestartGpuTest, TheWaitEndsAtTheFirstAnswer) {
  SetUpCard();
  adl.Fail("ADL2_OverdriveN_PowerLimit_Get", -1, 1, 2);
  EXPECT_TRUE(RestartGpu(app, 0, false, true));
  EXPECT_EQ(fake.clock.sleeps, std::vector<uint32_t>(3, 1000));
}

TEST_F(RestartGpuTest, WithoutWaitingNoProbeIsMade) {
  SetUpCard();
  EXPECT_TRUE(RestartGpu(app, 0, false, false));
  EXPECT_EQ(fake.displayDevices.devices[0].restarts, 1);
  EXPECT_TRUE(fake.clock.sleeps.empty());
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_PowerLimit_Get"), 0);
}

TEST_F(RestartGpuTest, AFailedRestartIsReported) {
  SetUpCard();
  fake.displayDevices.failures["Restart"] = 5;
  EXPECT_FALSE(RestartGpu(app, 0, false, true));
  const std::vector<std::string> boxes = BoxTexts();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back(), "Failed to restart GPU 0");
  EXPECT_TRUE(fake.clock.sleeps.empty());
}

// ---- RunGpuCommand --------------------------------------------------------------------

struct GroupCase {
  const char* parameters;
  std::vector<std::string> sets;
};

class GpuCommandGroupTest : public SetterFixture, public ::testing::WithParamInterface<GroupCase> {};

TEST_P(GpuCommandGroupTest, OnlyTheGroupsTheParametersNameAreWritten) {
  AddOverdriveN();
  Discover();
  std::string parameters = GetParam().parameters;
  std::replace(parameters.begin(), parameters.end(), ' ', kParameterSeparator);
  RunGpuCommand(app, "0", parameters, "-ac0", false);
  EXPECT_EQ(SetCalls(CallNames()), GetParam().sets) << GetParam().parameters;
  EXPECT_TRUE(BoxTexts().empty()) << BoxTexts()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Groups, GpuCommandGroupTest,
    ::testing::Values(
        GroupCase{"gpu_p7=1350;1150", {"ADL2_OverdriveN_SystemClocksX2_Set"}},
        GroupCase{"mem_p2=2050;950", {"ADL2_OverdriveN_MemoryClocksX2_Set"}},
        GroupCase{"fan_acoustic=1100", {"ADL2_OverdriveN_FanControl_Set"}},
        GroupCase{"mem_timinglevel=0", {"ADL2_OverdriveN_SettingsExt_Set"}},
        GroupCase{"power_target=5", {"ADL2_OverdriveN_PowerLimit_Set"}},
        GroupCase{"GPU_P7=1350;1150 Power_Target=5",
                  {"ADL2_OverdriveN_SystemClocksX2_Set", "ADL2_OverdriveN_PowerLimit_Set"}}));

struct WrongCase {
  const char* gpuId;
  const char* parameters;
  const char* box;
};

class GpuCommandWrongTest : public SetterFixture, public ::testing::WithParamInterface<WrongCase> {};

TEST_P(GpuCommandWrongTest, IsReportedAndWritesNothing) {
  AddOverdriveN();
  Discover();
  RunGpuCommand(app, GetParam().gpuId, GetParam().parameters, std::string("-ac") + GetParam().gpuId, false);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{GetParam().box});
  EXPECT_TRUE(SetCalls(CallNames()).empty());
  EXPECT_TRUE(adl.od5FanSets.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GpuCommandWrongTest,
    ::testing::Values(WrongCase{"x", "power_target=5", "Wrong command: -acx\r\n\"x\" cannot be used as [gpu_id]"},
                      WrongCase{"3", "power_target=5", "Wrong command: -ac3\r\nGPU with id=3 not found"},
                      WrongCase{"0", "setconstantfanspeed=101",
                                "Wrong command: -ac0\nPut fan speed value between 0 and 100"},
                      WrongCase{"0", "setpowerefficiency=maybe",
                                "Wrong command: -ac0\nPut correct Power Efficiency value: on/off (1/0) "},
                      WrongCase{"0", "setchill=2", "Wrong command: -ac0\nPut correct Chill value: on/off (1/0) "}));

}  // namespace
}  // namespace tw::test
