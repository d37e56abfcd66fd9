// Profiles and their backups as a command-line run meets them: the automatic restore of a
// main file without profiles, a malformed profile among good ones, and that only saves
// (never a command-line run) make backups.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"

namespace tw::e2e {
namespace {

const char* const kOlder = "2021-03-05 09.07.41 Tunewright.ini";
const char* const kNewest = "2021-03-06 10.00.00 Tunewright.ini";

std::string GamingProfile(int section) {
  return "[Profile_" + std::to_string(section) +
         "]\r\nName=Gaming\r\nGPU_P0=300;750\r\nGPU_P1=600;769\r\nGPU_P2=900;887\r\nGPU_P3=1145;1100\r\n"
         "GPU_P4=1215;1125\r\nGPU_P5=1257;1150\r\nGPU_P6=1300;1150\r\nGPU_P7=1366;1150\r\nMem_P0=300;750\r\n"
         "Mem_P1=1000;800\r\nMem_P2=2000;950\r\nFan_Acoustic=1180\r\nPower_Target=15\r\n\r\n";
}

const std::string kNoProfiles = "[General]\r\nShowBusNumber=0\r\n\r\n";

void PlaceBackups(const Rig& rig, const std::string& settings) {
  const fs::path folder = rig.folder() / "ini_backup";
  fs::create_directories(folder);
  WriteFileBytes(folder / "_ini_backup.ini", Utf16File("[General]\r\n" + settings + "\r\n"));
  WriteFileBytes(folder / kOlder, Utf16File("[General]\r\n\r\n" + GamingProfile(0)));
  // The newest copy holds no profile, so the older one is the one to bring back.
  WriteFileBytes(folder / kNewest, Utf16File(kNoProfiles));
}

std::vector<std::string> PowerTargets(const RigRun& run) {
  std::vector<std::string> powers;
  for (const JournalEntry& call : run.Calls("ADL2_OverdriveN_PowerLimit_Set")) powers.push_back(call.Arg("power"));
  return powers;
}

std::string Dump(const RigRun& run) {
  std::string text = "exit " + std::to_string(run.exitStatus) + "\n";
  for (const std::string& line : run.outLines) text += line + "\n";
  for (const std::string& line : run.boxes) text += line + "\n";
  return text + run.log;
}

const std::string kQuestion = std::string("BOX question \"Restore from backup\" Tunewright.ini contains 0 profiles. ") +
                              "Restore it from last backup that contains profiles (not the last one) \"" + kOlder +
                              "\"?";

class RestoreTest : public ::testing::TestWithParam<Target> {
 protected:
  void SetUp() override {
    if (GetParam() == Target::Windows && !GetProducts().HasWindows())
      GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  }
};

TEST_P(RestoreTest, WithoutConfirmationTheNewestBackupWithProfilesIsRestoredSilentlyAndApplied) {
  Rig rig(GetParam());
  rig.Ini(kNoProfiles);
  PlaceBackups(rig, "RestoreAutomatically=1\r\nDoNotConfirmOnRestore=1");
  if (GetParam() == Target::Windows) rig.WatchBoxes({});
  const std::string before = rig.File("Tunewright.ini");
  const RigRun run = rig.Run({"-p0Gaming"});
  EXPECT_TRUE(run.boxes.empty()) << Dump(run);
  EXPECT_EQ(rig.File("Tunewright.ini"), ReadFileBytes(rig.folder() / "ini_backup" / kOlder));
  std::vector<std::string> kept;  // the replaced file, named in the log line
  for (const auto& entry : fs::directory_iterator(rig.folder() / "ini_backup")) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 15 && name.substr(name.size() - 15) == ".before-restore" && ReadFileBytes(entry.path()) == before)
      kept.push_back(name);
  }
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_NE(run.log.find("is kept as \"" + kept[0] + "\""), std::string::npos) << run.log;
  EXPECT_NE(run.log.find(std::string("\"Tunewright.ini\" was restored from \"") + kOlder + "\""), std::string::npos)
      << run.log;
  EXPECT_EQ(PowerTargets(run), std::vector<std::string>{"15"}) << Dump(run);
  EXPECT_EQ(run.exitStatus, 0) << Dump(run);
}

TEST_P(RestoreTest, WithConfirmationTheQuestionNamesTheChosenBackupAndTheAnswerDecides) {
  Rig rig(GetParam());
  rig.Ini(kNoProfiles);
  PlaceBackups(rig, "RestoreAutomatically=1\r\nDoNotConfirmOnRestore=0");
  const bool yes = GetParam() == Target::Windows;  // the host answers every question with No
  if (yes) rig.WatchBoxes({"Yes"});
  const std::string before = rig.File("Tunewright.ini");
  const RigRun run = rig.Run({"-p0Gaming"});
  ASSERT_FALSE(run.boxes.empty()) << Dump(run);
  EXPECT_EQ(run.boxes[0], kQuestion);
  EXPECT_EQ(run.log.find("was restored from"), std::string::npos) << "only a silent restore is logged";
  if (yes) {
    EXPECT_EQ(rig.File("Tunewright.ini"), ReadFileBytes(rig.folder() / "ini_backup" / kOlder));
    EXPECT_EQ(PowerTargets(run), std::vector<std::string>{"15"}) << Dump(run);
    EXPECT_EQ(run.exitStatus, 0) << Dump(run);
  } else {
    EXPECT_EQ(rig.File("Tunewright.ini"), before);
    EXPECT_TRUE(PowerTargets(run).empty()) << Dump(run);
    EXPECT_EQ(run.exitStatus, 255) << Dump(run);
  }
}

INSTANTIATE_TEST_SUITE_P(Host, RestoreTest, ::testing::Values(Target::Host));
INSTANTIATE_TEST_SUITE_P(Windows, RestoreTest, ::testing::Values(Target::Windows));

TEST(HostRestoreTest, WithRestoreOffOrAMainFileWithProfilesNothingIsRestored) {
  for (const bool restoreOn : {false, true}) {
    Rig rig;
    const std::string main = restoreOn ? "[General]\r\n\r\n" + GamingProfile(0) : kNoProfiles;
    rig.Ini(main);
    PlaceBackups(rig, restoreOn ? "RestoreAutomatically=1\r\nDoNotConfirmOnRestore=1" : "RestoreAutomatically=0");
    const RigRun run = rig.Run({"-p0Gaming"});
    const std::vector<std::string> boxes =
        restoreOn ? std::vector<std::string>{}
                  : std::vector<std::string>{"BOX error \"Tunewright\" Wrong command - profile: \"Gaming\" not found"};
    EXPECT_EQ(run.boxes, boxes) << Dump(run);
    EXPECT_EQ(rig.IniText(), main);
    EXPECT_EQ(run.log.find("was restored from"), std::string::npos);
  }
}

TEST(HostRestoreTest, AFileWhoseProfilesFailedToLoadIsNeverRestoredOver) {
  Rig rig;
  const std::string main = "[General]\r\nShowBusNumber=0\r\n\r\n[Profile_0]\r\nName=X\r\nGPU_P1=1000;8OO\r\n\r\n"
                           "[Mine]\r\nx=1\r\n\r\n[Profile_4]\r\nName=Far\r\n\r\n";
  rig.Ini(main);
  PlaceBackups(rig, "RestoreAutomatically=1\r\nDoNotConfirmOnRestore=1");
  const RigRun run = rig.Run({"-consoleonly", "-p0X"});
  EXPECT_EQ(rig.IniText(), main) << Dump(run);
  EXPECT_EQ(run.log.find("was restored from"), std::string::npos);
}

TEST(HostProfileFileTest, AMalformedProfileIsReportedAndTheOthersStillApply) {
  Rig rig;
  rig.Ini("[Profile_0]\r\nName=X\r\nGPU_P0=abc;900\r\nFan_Acoustic=0\r\nPower_Target=0\r\n\r\n" + GamingProfile(1));
  const RigRun run = rig.Run({"-p0Gaming"});
  EXPECT_EQ(run.boxes, std::vector<std::string>{"BOX error \"Tunewright\" Failed to load profile \"X\" from .ini"});
  EXPECT_EQ(PowerTargets(run), std::vector<std::string>{"15"}) << Dump(run);
  EXPECT_EQ(run.exitStatus, 0) << Dump(run);
  const RigRun missing = rig.Run({"-p0X"});
  EXPECT_TRUE(PowerTargets(missing).empty()) << "the malformed profile is not in the list";
  EXPECT_EQ(missing.exitStatus, 255);
}

TEST(HostBackupTest, ACommandLineRunMakesNoBackupEvenWithAutomaticBackupsOn) {
  Rig rig;
  const std::string main = "[General]\r\n\r\n" + GamingProfile(0);
  rig.Ini(main);
  const fs::path folder = rig.folder() / "ini_backup";
  fs::create_directories(folder);
  WriteFileBytes(folder / "_ini_backup.ini", Utf16File("[General]\r\nCreateAutomatically=1\r\n\r\n"));
  const RigRun run = rig.Run({"-p0Gaming", "-r0", "-getcurrent"});
  EXPECT_EQ(PowerTargets(run).size(), 2u) << Dump(run);
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"_ini_backup.ini"});
  EXPECT_EQ(rig.IniText(), main);
}

}  // namespace
}  // namespace tw::e2e
