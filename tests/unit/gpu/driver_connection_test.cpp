#include "gpu/driver_connection.h"

#include <gmock/gmock.h>

#include "gpu/driver_entry_points.h"
#include "gpu/driver_list.h"
#include "gpu/driver_fixture.h"

namespace tw {
namespace {

using ::testing::ElementsAre;

class DriverConnectionTest : public test::DriverFixture {
 protected:
  std::unique_ptr<DriverConnection> Open() { return OpenDriverConnection(fake.platform, app.messages); }
  void OnlyLibrary(const std::string& name, const std::set<std::string>& without = {}) {
    fake.libraries.libraries.clear();
    test::FakeAdl::Install(fake.libraries, name, without);
  }
};

TEST_F(DriverConnectionTest, OpensTheFirstLibraryAndCreatesAContextWithTheAllocator) {
  test::FakeAdl::Install(fake.libraries, "amdadlxx.dll");
  auto connection = Open();
  ASSERT_TRUE(connection);
  EXPECT_TRUE(connection->IsOpen());
  EXPECT_THAT(fake.libraries.loadAttempts, ElementsAre("atiadlxx.dll"));
  EXPECT_THAT(adl.log, ElementsAre("ADL2_Main_Control_Create(1) -> 0"));
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(DriverConnectionTest, TriesTheThreeNamesInOrderAndUsesTheOnlyOnePresent) {
  OnlyLibrary("amdadlxx.dll");
  auto connection = Open();
  ASSERT_TRUE(connection);
  EXPECT_THAT(fake.libraries.loadAttempts, ElementsAre("atiadlxx.dll", "atiadlxy.dll", "amdadlxx.dll"));
  EXPECT_EQ(fake.libraries.loaded, 1);
}

TEST_F(DriverConnectionTest, NoLibraryShowsTheLoadFailureWithTheSystemCode) {
  fake.libraries.libraries.clear();
  EXPECT_FALSE(Open());
  EXPECT_THAT(BoxTexts(),
              ElementsAre("Failed to load ADL library (ErrorCode: 126) (The specified module could not be found.)"));
}

TEST_F(DriverConnectionTest, ResolvesAllTwentyOneNamesInTableOrderEvenWhenEarlyOnesAreMissing) {
  OnlyLibrary("atiadlxx.dll", {"ADL2_Adapter_NumberOfAdapters_Get", "ADL2_OverdriveN_CapabilitiesX2_Get"});
  EXPECT_FALSE(Open());
  ASSERT_EQ(fake.libraries.resolved.size(), kEntryPointCount);
  for (size_t i = 0; i < kEntryPointCount; ++i) EXPECT_EQ(fake.libraries.resolved[i], kEntryPointNames[i].name);
}

TEST_F(DriverConnectionTest, OldDriverGetsTheMissingFunctionsListWithNotes) {
  OnlyLibrary("atiadlxx.dll", {"ADL2_OverdriveN_SettingsExt_Get", "ADL2_OverdriveN_SettingsExt_Set"});
  EXPECT_FALSE(Open());
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to get ADL function pointers.\nMissing functions:\n"
                                      "ADL2_OverdriveN_SettingsExt_Get (18.12.2 driver or newer)\n"
                                      "ADL2_OverdriveN_SettingsExt_Set (18.12.2 driver or newer)\n"
                                      " (ErrorCode: 127) (The specified procedure could not be found.)"));
  EXPECT_EQ(adl.Calls("ADL2_Main_Control_Create"), 0);
  EXPECT_EQ(fake.libraries.unloaded, 1);
}

TEST_F(DriverConnectionTest, MissingListKeepsTableOrderAndEachNote) {
  OnlyLibrary("atiadlxx.dll", {"ADL2_Overdrive8_Setting_Set", "ADL2_Adapter_Active_Get",
                               "ADL2_OverdriveN_MemoryClocksX2_Set"});
  EXPECT_FALSE(Open());
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text,
            "Failed to get ADL function pointers.\nMissing functions:\n"
            "ADL2_OverdriveN_MemoryClocksX2_Set (17.7.2 driver or newer)\n"
            "ADL2_Adapter_Active_Get\n"
            "ADL2_Overdrive8_Setting_Set\n"
            " (ErrorCode: 127) (The specified procedure could not be found.)");
}

TEST_F(DriverConnectionTest, MissingCreateOrDestroyGivesTheShortMessage) {
  for (const char* missing : {"ADL2_Main_Control_Create", "ADL2_Main_Control_Destroy"}) {
    fake.dialogs.boxes.clear();
    OnlyLibrary("atiadlxx.dll", {missing, "ADL2_Overdrive_Caps"});
    EXPECT_FALSE(Open()) << missing;
    EXPECT_THAT(BoxTexts(), ElementsAre("Failed to get ADL function pointers (ErrorCode: 127) (The specified "
                                        "procedure could not be found.)"))
        << missing;
  }
  EXPECT_EQ(fake.libraries.unloaded, 2);
}

TEST_F(DriverConnectionTest, ContextFailureIsShownWithTheDriverCodeAndUnloads) {
  adl.createResult = adl::kErrInvalidParam;
  EXPECT_FALSE(Open());
  EXPECT_THAT(BoxTexts(), ElementsAre("Failed to initialize ADL context (ErrorCode: -3) (ADL_ERR_INVALID_PARAM - One "
                                      "of the parameter passed is invalid)"));
  EXPECT_EQ(fake.libraries.unloaded, 1);
}

TEST_F(DriverConnectionTest, IgnoreErrorEightHidesANotSupportedContextFailureButTheOpenStillFails) {
  app.options.IgnoreError8 = true;
  adl.createResult = adl::kErrNotSupported;
  EXPECT_FALSE(Open());
  EXPECT_TRUE(fake.dialogs.boxes.empty());
  app.options.IgnoreError8 = false;
  EXPECT_FALSE(Open());
  EXPECT_EQ(fake.dialogs.boxes.size(), 1u);
}

TEST_F(DriverConnectionTest, CloseDestroysTheContextOnceAndUnloads) {
  auto connection = Open();
  ASSERT_TRUE(connection);
  connection->Close();
  EXPECT_FALSE(connection->IsOpen());
  EXPECT_EQ(adl.Calls("ADL2_Main_Control_Destroy"), 1);
  EXPECT_EQ(fake.libraries.unloaded, 1);
  connection->Close();
  connection.reset();
  EXPECT_EQ(adl.Calls("ADL2_Main_Control_Destroy"), 1);
  EXPECT_EQ(adl.LogOf("ADL2_Main_Control_Destroy"), std::vector<std::string>{"ADL2_Main_Control_Destroy() -> 0"});
}

TEST_F(DriverConnectionTest, ExtraEntryPointsResolveFromTheOpenLibraryOnly) {
  OnlyLibrary("atiadlxx.dll", {"ADL2_Chill_Settings_Get"});
  auto connection = Open();
  ASSERT_TRUE(connection);
  auto ppwGet = connection->ResolveExtraAs<adl::Feature_Status_Get>("ADL2_PPW_Status_Get");
  ASSERT_NE(ppwGet, nullptr);
  adl.cards[0].ppw = 1;
  int state = 0;
  EXPECT_EQ(ppwGet(connection->context(), 0, &state), 0);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(connection->ResolveExtra("ADL2_Chill_Settings_Get"), nullptr);
  connection->Close();
  EXPECT_EQ(connection->ResolveExtra("ADL2_PPW_Status_Get"), nullptr);
}

TEST_F(DriverConnectionTest, ListsFromTheDriverAreReleasedAlsoWhenTheCallFailed) {
  adl.AddOverdrive8Card(0);
  adl.listsOnFailure = true;
  adl.Fail("ADL2_Overdrive8_Current_SettingX2_Get", adl::kErr);
  auto connection = Open();
  ASSERT_TRUE(connection);
  {
    DriverList<int> list;
    int count = 29;
    EXPECT_EQ(connection->api().Overdrive8_Current_SettingX2_Get(connection->context(), 0, &count, list.out()), -1);
    EXPECT_TRUE(list);
    EXPECT_EQ(DriverAllocLiveBlocks(), blocksBefore + 1);
  }
  EXPECT_EQ(DriverAllocLiveBlocks(), blocksBefore);
}

TEST(DriverListTest, OutReleasesTheListHeldBefore) {
  const long before = DriverAllocLiveBlocks();
  DriverList<int> list;
  *list.out() = static_cast<int*>(DriverAlloc(16));
  *list.out() = static_cast<int*>(DriverAlloc(16));
  EXPECT_EQ(DriverAllocLiveBlocks(), before + 1);
  list.reset();
  EXPECT_FALSE(list);
  EXPECT_EQ(DriverAllocLiveBlocks(), before);
}

TEST(DriverAllocTest, NonPositiveSizesGiveNoBlock) {
  const long before = DriverAllocLiveBlocks();
  EXPECT_EQ(DriverAlloc(0), nullptr);
  EXPECT_EQ(DriverAlloc(-5), nullptr);
  DriverFree(nullptr);
  EXPECT_EQ(DriverAllocLiveBlocks(), before);
}

}  // namespace
}  // namespace tw
