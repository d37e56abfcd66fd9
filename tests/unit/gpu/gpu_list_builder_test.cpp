#include "gpu/gpu_list_builder.h"

#include <gmock/gmock.h>

#include <cstring>

#include "gpu/driver_fixture.h"

namespace tw {
namespace {

using ::testing::ElementsAre;

class BuildGpuListTest : public test::DriverFixture {
 protected:
  bool Build() { return ListCards(app); }
  std::vector<std::string> BaseNames() const {
    std::vector<std::string> names;
    for (const GPUItem& gpu : app.gpus) names.push_back(gpu.baseName);
    return names;
  }
  // An AMD adapter with an OverdriveN card behind it.
  void OdnCard(int index, int bus, const std::string& name) {
    adl.AddAdapter(index, bus, 0, 0, name);
    adl.AddOverdriveNCard(index);
  }
};

TEST_F(BuildGpuListTest, AdaptersOfOneLocationMakeOneCardWithTheFirstIndex) {
  adl.AddAdapter(3, 1, 0, 0, "Radeon RX 580 Series");
  adl.AddAdapter(1, 1, 0, 0, "Radeon RX 580 Series (second output)");
  adl.AddOverdriveNCard(3);
  adl.AddOverdriveNCard(1);
  ASSERT_TRUE(Build());
  ASSERT_EQ(app.gpus.size(), 1u);
  EXPECT_THAT(app.gpus[0].adapterIndexes, ElementsAre(3));
  EXPECT_EQ(app.gpus[0].baseName, "0: Radeon RX 580 Series");
  EXPECT_EQ(app.gpus[0].busLocation, "1:0:0");
}

TEST_F(BuildGpuListTest, CardsAreOrderedByLocationWithUnsignedKeys) {
  adl.AddAdapter(0, 3, 0, 0, "bus three");
  adl.AddAdapter(1, 1, 0, 1, "bus one function one");
  adl.AddAdapter(2, 0x8000, 0, 0, "high bus");  // its key has the top bit set
  adl.AddAdapter(3, 1, 0, 0, "bus one");
  adl.AddAdapter(4, 1, 2, 0, "bus one device two");
  ASSERT_TRUE(Build());
  EXPECT_THAT(BaseNames(), ElementsAre("0: bus one", "1: bus one function one", "2: bus one device two",
                                       "3: bus three", "4: high bus"));
  EXPECT_EQ(app.gpus[4].busLocation, "32768:0:0");
}

TEST_F(BuildGpuListTest, NegativeBusIsIgnored) {
  adl.AddAdapter(0, -1, 0, 0, "ghost");
  adl.AddAdapter(1, 2, 0, 0, "real");
  ASSERT_TRUE(Build());
  EXPECT_THAT(BaseNames(), ElementsAre("0: real"));
}

TEST_F(BuildGpuListTest, TextsComeFromTheAdapterRecord) {
  adl.AddAdapter(7, 5, 0, 0, "Radeon RX 580 Series", 1002,
                 "PCI\\VEN_1002&DEV_67DF&SUBSYS_E3471DA2&REV_E7\\4&1", "\\Registry\\Machine\\X\\{abc}\\0003");
  ASSERT_TRUE(Build());
  const GPUItem& gpu = app.gpus.at(0);
  EXPECT_EQ(gpu.pnpString, "PCI\\VEN_1002&DEV_67DF&SUBSYS_E3471DA2&REV_E7\\4&1");
  EXPECT_EQ(gpu.pnpShort, "SUBSYS_E3471DA2&REV_E7\\4&1");
  EXPECT_EQ(gpu.registryKey, "\\Registry\\Machine\\X\\{abc}\\0003");
  EXPECT_EQ(gpu.displayName, "0: Radeon RX 580 Series");
  EXPECT_TRUE(gpu.friendlyName.empty());
  EXPECT_EQ(gpu.i2cLine, -1);
  EXPECT_TRUE(gpu.fanEnabled);
}

TEST_F(BuildGpuListTest, AdapterNamesWithoutTerminatingZeroStopAtTheArrayEnd) {
  adl::AdapterInfo& info = adl.AddAdapter(0, 1, 0, 0, "");
  std::memset(info.strAdapterName, 'N', sizeof info.strAdapterName);
  std::memset(info.strPNPString, 'P', sizeof info.strPNPString);
  std::memset(info.strDriverPath, 'R', sizeof info.strDriverPath);
  ASSERT_TRUE(Build());
  EXPECT_EQ(app.gpus.at(0).baseName, "0: " + std::string(256, 'N'));
  EXPECT_EQ(app.gpus[0].pnpString, std::string(256, 'P'));
  EXPECT_EQ(app.gpus[0].registryKey, std::string(256, 'R'));
}

TEST_F(BuildGpuListTest, OverdriveNCardIsProbedFully) {
  OdnCard(0, 1, "Radeon RX 580 Series");
  ASSERT_TRUE(Build());
  const GPUItem& gpu = app.gpus.at(0);
  EXPECT_TRUE(gpu.supported);
  EXPECT_EQ(gpu.overdriveVersion, 7);
  EXPECT_EQ(gpu.levelCount, 8);
  EXPECT_EQ(gpu.gpuStateCount, 8);
  EXPECT_EQ(gpu.memStateCount, 3);
  EXPECT_EQ(gpu.vddcMin, 750);
  EXPECT_EQ(gpu.vddcMax, 1200);
  EXPECT_EQ(gpu.memTimingMax, 2);
  EXPECT_THAT(gpu.extDefaults, ElementsAre(0, 1, 0, 0, 0, 30, 20, 45, 30, 60, 45, 75, 70, 90, 100));
  EXPECT_EQ(adl.Calls("ADL2_Overdrive_Caps"), 0);  // no Overdrive8 probe for a supported card
}

TEST_F(BuildGpuListTest, ExtendedDefaultsTakeOnlyTheirSlots) {
  test::FakeAdlCard& card = adl.AddOverdriveNCard(0);
  adl.AddAdapter(0, 1, 0, 0, "card");
  for (int i = 0; i < 15; ++i) card.extRanges[static_cast<size_t>(i)].defaultValue = 100 + i;
  ASSERT_TRUE(Build());
  EXPECT_THAT(app.gpus[0].extDefaults, ElementsAre(100, 101, 0, 0, 0, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114));
}

struct CountCase {
  std::vector<std::pair<int, int>> gpu;  // clock (10 kHz), voltage
  std::vector<std::pair<int, int>> mem;
  int gpuStates;
  int memStates;
  bool supported;
};

TEST_F(BuildGpuListTest, StateCountsFollowTheValidLevels) {
  const CountCase cases[] = {
      // the top GPU level empty, the one below valid: counted up to it, gaps below included
      {{{30000, 800}, {0, 0}, {90000, 900}, {0, 0}}, {{30000, 800}, {100000, 900}}, 3, 2, true},
      // a clock under 1 MHz counts as empty
      {{{30000, 800}, {99, 900}}, {{30000, 800}}, 1, 1, true},
      // memory counts only leading valid levels
      {{{30000, 800}}, {{30000, 800}, {0, 900}, {100000, 900}}, 1, 1, true},
      // an empty first memory level: no memory states, not supported
      {{{30000, 800}}, {{0, 0}, {100000, 900}}, 1, 0, false},
      // no valid GPU level
      {{{0, 800}, {30000, 0}}, {{30000, 800}}, 0, 1, false},
  };
  for (const CountCase& c : cases) {
    app.gpus.clear();
    adl.adapters.clear();
    test::FakeAdlCard& card = adl.AddOverdriveNCard(0);
    card.caps.iMaximumNumberOfPerformanceLevels = 4;
    card.gpuLevels.clear();
    card.memLevels.clear();
    for (auto [clock, vddc] : c.gpu) card.gpuLevels.push_back({clock, vddc, 1, 0});
    for (auto [clock, vddc] : c.mem) card.memLevels.push_back({clock, vddc, 1, 0});
    adl.AddAdapter(0, 1, 0, 0, "card");
    ASSERT_TRUE(Build());
    ASSERT_EQ(app.gpus.size(), 1u);
    EXPECT_EQ(app.gpus[0].gpuStateCount, c.gpuStates);
    EXPECT_EQ(app.gpus[0].memStateCount, c.memStates);
    EXPECT_EQ(app.gpus[0].supported, c.supported);
    EXPECT_EQ(app.gpus[0].overdriveVersion, c.supported ? 7 : 0);
  }
}

TEST_F(BuildGpuListTest, ClockRecordsAreSizedForTheCardsLevelCount) {
  OdnCard(0, 1, "card");
  adl.cards[0].caps.iMaximumNumberOfPerformanceLevels = 5;
  ASSERT_TRUE(Build());
  EXPECT_TRUE(app.gpus[0].supported);  // the fake refuses a record whose size disagrees with its count
  EXPECT_EQ(app.gpus[0].gpuStateCount, 5);
}

TEST_F(BuildGpuListTest, AbsurdLevelCountsLeaveTheCardUnsupported) {
  for (int levels : {0, -3, 100000}) {
    app.gpus.clear();
    adl.adapters.clear();
    OdnCard(0, 1, "card");
    adl.cards[0].caps.iMaximumNumberOfPerformanceLevels = levels;
    ASSERT_TRUE(Build());
    EXPECT_FALSE(app.gpus.at(0).supported) << levels;
  }
}

TEST_F(BuildGpuListTest, Overdrive8CardIsProbedAfterOverdriveN) {
  adl.AddAdapter(0, 1, 0, 0, "Radeon RX 5700 XT");
  test::FakeAdlCard& card = adl.AddOverdrive8Card(0);
  card.od8Init[adl::kOd8AcTiming].maxValue = 5;
  ASSERT_TRUE(Build());
  const GPUItem& gpu = app.gpus.at(0);
  EXPECT_TRUE(gpu.supported);
  EXPECT_EQ(gpu.overdriveVersion, 8);
  EXPECT_EQ(gpu.gpuStateCount, 3);
  EXPECT_EQ(gpu.memStateCount, 0);
  EXPECT_EQ(gpu.levelCount, 3);
  EXPECT_EQ(gpu.memTimingMax, 5);
  EXPECT_EQ(gpu.od8Init[adl::kOd8PowerPercentage].minValue, -20);
  EXPECT_EQ(gpu.od8Init[28].defaultValue, card.od8Init[28].defaultValue);
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_CapabilitiesX2_Get"), 1);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(BuildGpuListTest, FailingProbesLeaveTheCardUnsupportedWithoutMessage) {
  const char* failing[] = {"ADL2_Overdrive_Caps", "ADL2_Overdrive8_Current_SettingX2_Get"};
  for (const char* entry : failing) {
    test::FakeAdl local;
    test::FakeAdl::Install(fake.libraries);
    app.gpus.clear();
    local.AddAdapter(0, 1, 0, 0, "navi");
    local.AddOverdrive8Card(0);
    local.Fail(entry, adl::kErr);
    ASSERT_TRUE(Build());
    EXPECT_FALSE(app.gpus.at(0).supported) << entry;
    EXPECT_TRUE(fake.dialogs.boxes.empty());
    EXPECT_EQ(local.LiveContexts(), 0);
  }
}

TEST_F(BuildGpuListTest, OverdriveNClockReadFailuresFallThroughToOverdrive8) {
  for (const char* entry : {"ADL2_OverdriveN_SystemClocksX2_Get", "ADL2_OverdriveN_MemoryClocksX2_Get"}) {
    test::FakeAdl local;
    app.gpus.clear();
    local.AddAdapter(0, 1, 0, 0, "card");
    local.AddOverdriveNCard(0);
    local.Fail(entry, adl::kErr);
    ASSERT_TRUE(Build());
    EXPECT_FALSE(app.gpus.at(0).supported) << entry;
    EXPECT_EQ(local.Calls("ADL2_Overdrive_Caps"), 1);
    EXPECT_TRUE(fake.dialogs.boxes.empty());
  }
}

TEST_F(BuildGpuListTest, Overdrive8ListShorterThanTwentyNineIsNotSupported) {
  adl.AddAdapter(0, 1, 0, 0, "navi");
  adl.AddOverdrive8Card(0);
  adl.returnedCounts["ADL2_Overdrive8_Current_SettingX2_Get"] = 16;
  ASSERT_TRUE(Build());
  EXPECT_FALSE(app.gpus.at(0).supported);
}

TEST_F(BuildGpuListTest, Overdrive8ProbeWithoutListIsNotSupported) {
  adl.AddAdapter(0, 1, 0, 0, "navi");
  adl.AddOverdrive8Card(0);
  adl.nullLists.insert("ADL2_Overdrive8_Current_SettingX2_Get");
  ASSERT_TRUE(Build());
  EXPECT_FALSE(app.gpus.at(0).supported);
}

TEST_F(BuildGpuListTest, OtherVendorsAreListedUnsupportedWithoutAnyProbe) {
  adl.AddAdapter(0, 1, 0, 0, "Other", 4318);
  adl.AddOverdriveNCard(0);
  ASSERT_TRUE(Build());
  EXPECT_FALSE(app.gpus.at(0).supported);
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_CapabilitiesX2_Get"), 0);
  EXPECT_EQ(adl.Calls("ADL2_Overdrive_Caps"), 0);
}

TEST_F(BuildGpuListTest, DoNotListUnsupportedKeepsTheIdsConsecutive) {
  app.options.DoNotListUnsupported = true;
  OdnCard(0, 1, "first");
  adl.AddAdapter(1, 2, 0, 0, "unsupported", 4318);
  OdnCard(2, 3, "third");
  ASSERT_TRUE(Build());
  EXPECT_THAT(BaseNames(), ElementsAre("0: first", "1: third"));
}

TEST_F(BuildGpuListTest, UnsupportedCardsAreListedByDefault) {
  OdnCard(0, 1, "first");
  adl.AddAdapter(1, 2, 0, 0, "unsupported", 4318);
  OdnCard(2, 3, "third");
  ASSERT_TRUE(Build());
  EXPECT_THAT(BaseNames(), ElementsAre("0: first", "1: unsupported", "2: third"));
  EXPECT_FALSE(app.gpus[1].supported);
}

TEST_F(BuildGpuListTest, FanDeactivatedGpusMatchTheWholeId) {
  struct Case {
    std::string setting;
    std::vector<bool> enabled;
    bool any;
  } cases[] = {
      {";1;", {true, false, true}, true},
      {";11;", {true, true, true}, false},
      {";0;2;", {false, true, false}, true},
      {"", {true, true, true}, false},
      {"1", {true, true, true}, false},  // not wrapped: no match
  };
  for (const Case& c : cases) {
    app.gpus.clear();
    adl.adapters.clear();
    app.anyFanDeactivated = false;
    app.options.FanDeactivatedGpus = c.setting;
    for (int i = 0; i < 3; ++i) OdnCard(i, i + 1, "card");
    ASSERT_TRUE(Build());
    std::vector<bool> enabled;
    for (const GPUItem& gpu : app.gpus) enabled.push_back(gpu.fanEnabled);
    EXPECT_EQ(enabled, c.enabled) << c.setting;
    EXPECT_EQ(app.anyFanDeactivated, c.any) << c.setting;
  }
}

TEST_F(BuildGpuListTest, AnUnlistedCardDoesNotMarkAnyFanDeactivated) {
  app.options.DoNotListUnsupported = true;
  app.options.FanDeactivatedGpus = ";1;";
  OdnCard(0, 1, "first");
  adl.AddAdapter(1, 2, 0, 0, "unsupported, removed", 4318);
  ASSERT_TRUE(Build());
  EXPECT_EQ(app.gpus.size(), 1u);
  EXPECT_FALSE(app.anyFanDeactivated);
}

TEST_F(BuildGpuListTest, NoAdaptersGiveAnEmptyListAndSuccess) {
  for (int count : {0, -4}) {
    adl.adapterCount = count;
    EXPECT_TRUE(Build()) << count;
    EXPECT_TRUE(app.gpus.empty());
  }
  EXPECT_EQ(adl.Calls("ADL2_Adapter_AdapterInfo_Get"), 0);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(BuildGpuListTest, FailedAdapterCountIsShownWithItsCode) {
  adl.Fail("ADL2_Adapter_NumberOfAdapters_Get", adl::kErrNotSupported);
  EXPECT_FALSE(Build());
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to get adapters count (ErrorCode: -8) (ADL_ERR_NOT_SUPPORTED - Function "
                                      "not supported by the driver)"));
}

TEST_F(BuildGpuListTest, FailedAdapterInfoIsShownWithItsCode) {
  OdnCard(0, 1, "card");
  adl.Fail("ADL2_Adapter_AdapterInfo_Get", -1);
  EXPECT_FALSE(Build());
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to get adapter info (ErrorCode: -1)"));
  EXPECT_TRUE(app.gpus.empty());
}

TEST_F(BuildGpuListTest, AdapterArrayIsOneBufferOfCountRecords) {
  OdnCard(0, 1, "a");
  OdnCard(1, 2, "b");
  adl.AddAdapter(2, 2, 0, 0, "b again");
  ASSERT_TRUE(Build());
  EXPECT_THAT(adl.LogOf("ADL2_Adapter_AdapterInfo_Get"), ElementsAre("ADL2_Adapter_AdapterInfo_Get(4716) -> 0"));
}

TEST_F(BuildGpuListTest, CountLargerThanTheListReadsOnlyZeroedRecords) {
  OdnCard(0, 1, "real");
  adl.adapterCount = 3;  // two records stay zeroed: bus 0, vendor 0
  ASSERT_TRUE(Build());
  EXPECT_THAT(BaseNames(), ElementsAre("0: ", "1: real"));
  EXPECT_FALSE(app.gpus[0].supported);
}

TEST_F(BuildGpuListTest, AbsurdAdapterCountIsRefusedWithoutAllocating) {
  adl.adapterCount = 2000000000;
  EXPECT_FALSE(Build());
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to get adapter info"));
  EXPECT_EQ(adl.Calls("ADL2_Adapter_AdapterInfo_Get"), 0);
}

TEST_F(BuildGpuListTest, ThousandsOfAdaptersAreGrouped) {
  for (int i = 0; i < 5000; ++i) adl.AddAdapter(i, i % 200, (i / 200) % 4, 0, "card " + std::to_string(i), 4318);
  ASSERT_TRUE(Build());
  ASSERT_EQ(app.gpus.size(), 800u);
  EXPECT_EQ(app.gpus[0].baseName, "0: card 0");
  EXPECT_EQ(app.gpus[1].baseName, "1: card 200");  // bus 0, device 1
  EXPECT_EQ(app.gpus[799].busLocation, "199:3:0");
}

TEST_F(BuildGpuListTest, ExtendedSettingsFailureIsShownAndTheCardStaysSupported) {
  OdnCard(0, 1, "card");
  adl.Fail("ADL2_OverdriveN_SettingsExt_Get", adl::kErrInvalidAdlIdx);
  ASSERT_TRUE(Build());
  EXPECT_TRUE(app.gpus.at(0).supported);
  EXPECT_EQ(app.gpus[0].memTimingMax, 0);
  EXPECT_THAT(app.gpus[0].extDefaults, ::testing::Each(0));
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to read Fan curve, Zero RPM and Memory Timing Level for GPU 0 "
                                      "(ErrorCode: -5) (ADL_ERR_INVALID_ADL_IDX - Invalid ADL index passed)"));
}

TEST_F(BuildGpuListTest, ExtendedSettingsWithoutListsOrTooFewEntriesCountAsFailed) {
  OdnCard(0, 1, "card");
  adl.nullLists.insert("ADL2_OverdriveN_SettingsExt_Get");
  OdnCard(1, 2, "short");
  ASSERT_TRUE(Build());
  adl.nullLists.clear();
  adl.returnedCounts["ADL2_OverdriveN_SettingsExt_Get"] = 14;
  app.gpus.clear();
  ASSERT_TRUE(Build());
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to read Fan curve, Zero RPM and Memory Timing Level for GPU 0",
                                      "Failed to read Fan curve, Zero RPM and Memory Timing Level for GPU 1",
                                      "Failed to read Fan curve, Zero RPM and Memory Timing Level for GPU 0",
                                      "Failed to read Fan curve, Zero RPM and Memory Timing Level for GPU 1"));
}

TEST_F(BuildGpuListTest, Overdrive8RangeFailureIsShownAndTheCardStaysSupported) {
  adl.AddAdapter(0, 1, 0, 0, "navi");
  adl.AddOverdrive8Card(0);
  adl.Fail("ADL2_Overdrive8_Init_SettingX2_Get", adl::kErrNotSupported);
  ASSERT_TRUE(Build());
  EXPECT_TRUE(app.gpus.at(0).supported);
  EXPECT_EQ(app.gpus[0].memTimingMax, 0);
  EXPECT_THAT(BoxTexts(), ElementsAre("ADL2_Overdrive8_Init_SettingX2_Get function failed for GPU 0 (ErrorCode: -8) "
                                      "(ADL_ERR_NOT_SUPPORTED - Function not supported by the driver)"));
}

TEST_F(BuildGpuListTest, IgnoreErrorEightHidesNotSupportedReadFailures) {
  app.options.IgnoreError8 = true;
  adl.AddAdapter(0, 1, 0, 0, "navi");
  adl.AddOverdrive8Card(0);
  adl.Fail("ADL2_Overdrive8_Init_SettingX2_Get", adl::kErrNotSupported);
  ASSERT_TRUE(Build());
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(BuildGpuListTest, FailingListCallsStillHaveTheirListsReleased) {
  OdnCard(0, 1, "odn");
  adl.AddAdapter(1, 2, 0, 0, "navi");
  adl.AddOverdrive8Card(1);
  adl.listsOnFailure = true;
  adl.Fail("ADL2_OverdriveN_SettingsExt_Get", -1);
  adl.Fail("ADL2_Overdrive8_Init_SettingX2_Get", -1);
  ASSERT_TRUE(Build());
  EXPECT_EQ(fake.dialogs.boxes.size(), 2u);
  // the fixture checks that every list was released
}

TEST_F(BuildGpuListTest, DiscoveryUsesOneConnection) {
  OdnCard(0, 1, "odn");
  adl.AddAdapter(1, 2, 0, 0, "navi");
  adl.AddOverdrive8Card(1);
  ASSERT_TRUE(Build());
  EXPECT_EQ(adl.contextsCreated, 1);
  EXPECT_EQ(fake.libraries.loaded, 1);
  EXPECT_EQ(adl.log.back(), "ADL2_Main_Control_Destroy() -> 0");
}

TEST_F(BuildGpuListTest, EveryFailurePathClosesTheConnection) {
  for (const char* entry : {"ADL2_Adapter_NumberOfAdapters_Get", "ADL2_Adapter_AdapterInfo_Get"}) {
    test::FakeAdl local;
    local.AddAdapter(0, 1, 0, 0, "card");
    local.Fail(entry, -1);
    EXPECT_FALSE(Build());
    EXPECT_EQ(local.contextsCreated, 1);
    EXPECT_EQ(local.LiveContexts(), 0) << entry;
  }
}

TEST_F(BuildGpuListTest, NoConnectionNoList) {
  fake.libraries.libraries.clear();
  EXPECT_FALSE(Build());
  EXPECT_EQ(fake.dialogs.boxes.size(), 1u);
}

}  // namespace
}  // namespace tw
