#include "profiles/profile_store.h"

#include <gtest/gtest.h>

#include "profiles/find_profile.h"
#include "profiles_fixture.h"

namespace tw::test {
namespace {

constexpr std::string_view kDaily =
    "[Profile_0]\n"
    "Name=Daily\n"
    "GPU_P0=300;750\n"
    "GPU_P1=1000;800;0\n"
    "GPU_P2=1340;1000\n"
    "Mem_P0=300;750\n"
    "Mem_P1=2000;900\n"
    "Mem_TimingLevel=1\n"
    "Fan_P0=30;20\n"
    "Fan_P1=50;35\n"
    "Fan_P2=65;50\n"
    "Fan_P3=75;70\n"
    "Fan_P4=85;100\n"
    "Fan_ZeroRPM=0\n"
    "Fan_Acoustic=1200\n"
    "Power_Target=20\n"
    "\n";

using ProfileStoreTest = ProfilesTest;

TEST_F(ProfileStoreTest, LoadsTheExampleProfile) {
  PutIni(kDaily);
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  const ProfileItem& p = app.profiles[0];
  EXPECT_EQ(p.name, "Daily");
  EXPECT_EQ(p.gpuClock, (std::vector<int32_t>{300, 1000, 1340}));
  EXPECT_EQ(p.gpuVcc, (std::vector<int32_t>{750, 800, 1000}));
  EXPECT_EQ(p.gpuEnabled, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(p.memClock, (std::vector<int32_t>{300, 2000}));
  EXPECT_EQ(p.memVcc, (std::vector<int32_t>{750, 900}));
  EXPECT_EQ(p.memEnabled, (std::vector<bool>{true, true}));
  EXPECT_EQ(p.memTimingLevel, 1);
  EXPECT_EQ(p.fanCurve[4], (FanPoint{85, 100}));
  EXPECT_EQ(p.fanZeroRpm, 0);
  EXPECT_EQ(p.fanAcoustic, 1200);
  EXPECT_EQ(p.powerTarget, 20);
  EXPECT_EQ(p.offset, kNotSet);
  EXPECT_EQ(p.llc, kNotSet);
  EXPECT_EQ(p.phaseGain, "NULL");
  EXPECT_EQ(p.currentScale, "NULL");
  EXPECT_EQ(p.gpuMin, kNotSet);
  EXPECT_EQ(p.overdriveVersion, 7);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(ProfileStoreTest, MissingFileLeavesTheListAsItWas) {
  app.profiles.push_back(ProfileItem{});
  EXPECT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(ProfileStoreTest, LoadingAndSavingAFileTheProgramWroteGivesTheSameBytes) {
  app.options.EnableI2c = true;
  PutIni(
      "[General]\nEnableI2c=1\n\n[I2C]\nGPU0=7;32\n\n"
      "[Profile_0]\nName=Daily\nGPU_P0=300;750\nGPU_P1=1000;800;0\nMem_P0=300;750\nMem_P1=2000;900\n"
      "Mem_TimingLevel=1\nFan_P0=30;20\nFan_P1=50;35\nFan_ZeroRPM=1\nFan_Acoustic=1200\nPower_Target=-20\n"
      "Offset=-3\nLLC=1\nPhaseGain=00A0F3\nCurrentScale=3F\n\n"
      "[Profile_1]\nName=Navi\nGPU_P0=800;750\nGPU_P1=2100;1100\nGPU_Min=800\nGPU_Max=2100\nMem_Max=875\n"
      "Fan_Acoustic=0\nPower_Target=0\n\n");
  const std::string before = fake.files.files[IniKey()];
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 2);
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(fake.files.files[IniKey()], before);
}

TEST_F(ProfileStoreTest, DisabledStateRoundTripsAndPlainStateIsEnabled) {
  PutIni("[Profile_0]\nName=A\nGPU_P0=1000;800\nGPU_P1=1000;800;0\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  EXPECT_EQ(app.profiles[0].gpuEnabled, (std::vector<bool>{true, false}));
  EXPECT_EQ(app.profiles[0].gpuVcc, (std::vector<int32_t>{800, 800}));
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_NE(IniText().find("GPU_P1=1000;800;0\n"), std::string::npos);
}

TEST_F(ProfileStoreTest, AStateWithoutSemicolonEndsTheStates) {
  PutIni("[Profile_0]\nName=A\nGPU_P0=1;2\nGPU_P1=3;4\nGPU_P2=5;6\nGPU_P3=700\nGPU_P4=8;9\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  EXPECT_EQ(app.profiles[0].gpuClock, (std::vector<int32_t>{1, 3, 5}));
}

TEST_F(ProfileStoreTest, AtMostEightStatesAreRead) {
  std::string text = "[Profile_0]\nName=A\n";
  for (int k = 0; k < 10; ++k) text += "Mem_P" + std::to_string(k) + "=" + std::to_string(k) + ";1\n";
  PutIni(text);
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  EXPECT_EQ(app.profiles[0].memClock.size(), 8u);
}

TEST_F(ProfileStoreTest, FanPairWithLeadingSemicolonIsUnsetAndLaterPairsAreStillRead) {
  PutIni("[Profile_0]\nName=A\nFan_P0=30;20\nFan_P1=50;35\nFan_P2=;50\nFan_P3=75;70\nFan_P4=85;100\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  const ProfileItem& p = app.profiles[0];
  EXPECT_EQ(p.fanCurve[2], (FanPoint{kNotSet, kNotSet}));
  EXPECT_EQ(p.fanCurve[3], (FanPoint{75, 70}));
  EXPECT_EQ(p.fanCurve[4], (FanPoint{85, 100}));
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  const std::string text = IniText();
  EXPECT_NE(text.find("Fan_P0=30;20\nFan_P1=50;35\n\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Fan_P3"), std::string::npos);
}

struct VersionCase {
  const char* keys;
  int32_t version;
};

TEST_F(ProfileStoreTest, OverdriveVersionIsDerivedFromTheKeys) {
  const VersionCase cases[] = {
      {"GPU_Min=800\nGPU_Max=2000\nMem_Max=875\n", 8},
      {"Mem_P0=300;750\n", 7},
      {"Mem_P0=300;750\nGPU_Min=800\nGPU_Max=2000\nMem_Max=875\n", 8},
      {"GPU_Min=800\nGPU_Max=2000\n", 0},
      {"GPU_P0=300;750\n", 0},
  };
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(c.keys);
    app.profiles.clear();
    PutIni(std::string("[Profile_0]\nName=A\n") + c.keys + "\n");
    ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
    EXPECT_EQ(app.profiles[0].overdriveVersion, c.version);
  }
}

TEST_F(ProfileStoreTest, TheThirdMissingNumberEndsLoadingEvenWithGapsApart) {
  PutIni("[Profile_0]\nName=P0\n\n[Profile_2]\nName=P2\n\n[Profile_4]\nName=P4\n\n[Profile_6]\nName=P6\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 3);
  EXPECT_EQ(app.profiles[2].name, "P4");
}

TEST_F(ProfileStoreTest, ASectionWithoutNameCountsAsMissingAndAnEmptyNameLoads) {
  PutIni("[Profile_0]\nGPU_P0=1;2\n\n[Profile_1]\nName=\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  EXPECT_EQ(app.profiles[0].name, "");
}

TEST_F(ProfileStoreTest, MalformedNumberSkipsTheProfileWithItsMessageAndTheNextStillLoads) {
  PutIni("[Profile_0]\nName=X\nGPU_P0=abc;900\n\n[Profile_1]\nName=Y\nFan_P0=3x;5\n\n"
         "[Profile_2]\nName=Z\nMem_P0=1;2;3\n\n[Profile_3]\nName=Good\nFan_Acoustic=junk\n\n"
         "[Profile_4]\nName=V\nGPU_P0=1000;8;00\n\n[Profile_5]\nName=W\nGPU_P0=1000;800;05\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  EXPECT_EQ(app.profiles[0].name, "Good");
  EXPECT_EQ(app.profiles[0].fanAcoustic, kNotSet);  // integer keys fall back silently, to "take the card's"
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Failed to load profile \"X\" from .ini",
                                                  "Failed to load profile \"Y\" from .ini",
                                                  "Failed to load profile \"Z\" from .ini",
                                                  "Failed to load profile \"V\" from .ini",
                                                  "Failed to load profile \"W\" from .ini"}));
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);
}

TEST_F(ProfileStoreTest, SaveRenumbersAfterOtherSectionsAndKeepsForeignSections) {
  PutIni("[Profile_0]\nName=Old0\n\n[General]\nEnableI2c=0\n\n[Profile_3]\nName=Old3\n\n[Mine]\nx=1\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 2);
  app.profiles[0].name = "A";
  app.profiles[1].name = "B";
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(IniText(),
            "[General]\nEnableI2c=0\n\n[Mine]\nx=1\n\n"
            "[Profile_0]\nName=A\n\n"
            "[Profile_1]\nName=B\n\n");
}

TEST_F(ProfileStoreTest, OldSectionsAreRemovedUntilElevenNumbersWereMissing) {
  // Numbers 1..10 and 12 missing: 11 misses end the removal at 12, so Profile_13 stays.
  // Profile_11 lies beyond the third gap, so it never loaded: it is set aside, not deleted.
  PutIni("[Profile_0]\nName=a\n\n[Profile_11]\nName=b\n\n[Profile_13]\nName=c\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  app.profiles.clear();  // the user deleted "a"
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(IniText(), "[Unloaded Profile_11]\nName=b\n\n[Profile_13]\nName=c\n\n");
}

TEST_F(ProfileStoreTest, ASurvivingOldSectionNeverShadowsTheNewSectionOfItsNumber) {
  PutIni("[Profile_0]\nName=old\n\n[Profile_12]\nName=stray\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  app.profiles.resize(13);
  for (size_t i = 0; i < 13; ++i) app.profiles[i].name = "new" + std::to_string(i);
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  app.profiles.clear();
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 13);
  EXPECT_EQ(app.profiles[12].name, "new12");
  EXPECT_NE(IniText().find("[Unloaded Profile_12]\nName=stray\n"), std::string::npos);
  EXPECT_EQ(IniText().find("Name=old"), std::string::npos);
}

TEST_F(ProfileStoreTest, AProfileThatFailedToLoadIsSetAsideInsteadOfLostOnSave) {
  PutIni("[Profile_0]\nName=Good\n\n[Profile_1]\nName=X\nGPU_P0=abc;900\n\n[Profile_2]\nName=Gone\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 2);
  app.profiles.pop_back();  // the user deletes "Gone"
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(IniText(),
            "[Unloaded Profile_1]\nName=X\nGPU_P0=abc;900\n\n"
            "[Profile_0]\nName=Good\n\n");
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles,
                           app.knownProfileSections));  // a second save leaves the set-aside section alone
  EXPECT_EQ(IniText(),
            "[Unloaded Profile_1]\nName=X\nGPU_P0=abc;900\n\n"
            "[Profile_0]\nName=Good\n\n");
}

TEST_F(ProfileStoreTest, ALaterCopyOfADuplicatedNumberIsSetAside) {
  PutIni("[Profile_0]\nName=First\n\n[profile_0]\nName=Copy\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  EXPECT_EQ(app.profiles[0].name, "First");
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(IniText(), "[Unloaded profile_0]\nName=Copy\n\n[Profile_0]\nName=First\n\n");
}

TEST_F(ProfileStoreTest, KeysAreWrittenInOrderUnderTheirConditions) {
  app.options.EnableI2c = true;
  ProfileItem p;
  p.name = "All";
  p.gpuClock = {800};
  p.gpuVcc = {750};
  p.gpuEnabled = {false};
  p.gpuMin = 500;
  p.gpuMax = 2000;
  p.memClock = {875};
  p.memVcc = {0};
  p.memEnabled = {true};
  p.memMax = 900;
  p.memTimingLevel = 2;
  p.fanCurve[0] = {40, 30};
  p.fanZeroRpm = 7;
  p.fanAcoustic = 1100;
  p.powerTarget = -5;
  p.offset = 4;
  p.llc = 0;
  p.phaseGain = "000000";
  p.currentScale = "40";
  app.profiles.push_back(p);
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(IniText(),
            "[Profile_0]\nName=All\nGPU_P0=800;750;0\nGPU_Min=500\nGPU_Max=2000\nMem_P0=875;0\nMem_Max=900\n"
            "Mem_TimingLevel=2\nFan_P0=40;30\nFan_ZeroRPM=1\nFan_Acoustic=1100\nPower_Target=-5\nOffset=4\nLLC=0\n"
            "PhaseGain=000000\nCurrentScale=40\n\n");
}

TEST_F(ProfileStoreTest, SavingWithI2cOffKeepsTheRegulatorKeys) {
  constexpr const char* kStored = "[Profile_0]\nName=A\nOffset=4\nLLC=1\nPhaseGain=000000\nCurrentScale=40\n\n";
  PutIni(kStored);
  ASSERT_FALSE(app.options.EnableI2c);
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  EXPECT_EQ(app.profiles[0].offset, 4);  // read whatever EnableI2c says
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(IniText(), kStored);
}

TEST_F(ProfileStoreTest, SaveCreatesAMissingFile) {
  app.profiles.resize(1);
  app.profiles[0].name = "A";
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(IniText(), "[Profile_0]\nName=A\nFan_Acoustic=0\nPower_Target=0\n\n");
  EXPECT_FALSE(AnyTemporary());
}

TEST_F(ProfileStoreTest, SaveMakesTheAutomaticBackupOnlyWhenItIsOn) {
  app.profiles.resize(1);
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_FALSE(fake.files.folders.count(BackupFolderKey()));
  app.options.CreateAutomatically = true;
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  const std::string backup = BackupFolderKey() + "/2026-12-09 06.21.12 Tunewright.ini";
  ASSERT_EQ(fake.files.files.count(backup), 1u);
  EXPECT_EQ(fake.files.files[backup], fake.files.files[IniKey()]);
}

TEST_F(ProfileStoreTest, AFailedSaveKeepsTheFileAndMakesNoBackup) {
  PutIni(kDaily);
  const std::string before = fake.files.files[IniKey()];
  app.options.CreateAutomatically = true;
  fake.files.failures["MoveFileOver"] = 112;
  app.profiles.resize(1);
  EXPECT_FALSE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(fake.files.files[IniKey()], before);
  EXPECT_FALSE(fake.files.folders.count(BackupFolderKey()));
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text.rfind("Failed to save \"" + Shown(app.paths.iniPath) + "\" (ErrorCode: 112)", 0),
            0u);
}

TEST_F(ProfileStoreTest, AnUnreadableFileIsReportedAndNeverOverwritten) {
  PutIni(kDaily);
  const std::string before = fake.files.files[IniKey()];
  fake.files.failures["ReadFile"] = 32;
  EXPECT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 0);
  app.profiles.resize(1);
  EXPECT_FALSE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(fake.files.files[IniKey()], before);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>(2, "Failed to read \"" + Shown(app.paths.iniPath) + "\" (ErrorCode: 32)")));
}

TEST(FindProfileTest, ExactCaseSensitiveFirstMatch) {
  ProfileList list(3);
  list[0].name = "Daily";
  list[1].name = "Gaming";
  list[2].name = "Gaming";
  EXPECT_EQ(FindProfile(list, "Gaming"), 1);
  EXPECT_EQ(FindProfile(list, "daily"), -1);
  EXPECT_EQ(FindProfile(list, "Daily "), -1);
  EXPECT_EQ(FindProfile(list, "Daily"), 0);
  EXPECT_EQ(FindProfile(ProfileList{}, ""), -1);
}

}  // namespace
}  // namespace tw::test
