#include <gtest/gtest.h>

#include <algorithm>

#include "profiles/backup_names.h"
#include "profiles/make_backup.h"
#include "profiles/restore_from_backup.h"
#include "profiles_fixture.h"

namespace tw::test {
namespace {

constexpr std::string_view kWithProfile = "[Profile_0]\nName=Kept\n\n";
constexpr std::string_view kWithoutProfile = "[General]\nEnableI2c=0\n\n";

TEST(BackupNamesTest, NameUsesTheFixedDateAndTimePattern) {
  EXPECT_EQ(BackupFileName({2021, 3, 5, 9, 7, 41}), "2021-03-05 09.07.41 Tunewright.ini");
  EXPECT_EQ(BackupFileName({2026, 12, 31, 23, 59, 59}), "2026-12-31 23.59.59 Tunewright.ini");
}

TEST(BackupNamesTest, PatternMatchesExactly) {
  const std::pair<const char*, bool> cases[] = {
      {"2021-03-05 09.07.41 Tunewright.ini", true},
      {"2abc-de-fg hi.jk.lm Tunewright.ini", true},  // each ? is any one character
      {"2021-03-05 09.07.41 tunewright.INI", true},  // file names ignore case on Windows
      {"2021-03-05 09.07.41 Tunewright.ini.txt", false},
      {"1021-03-05 09.07.41 Tunewright.ini", false},
      {"2021-03-05 09.07.4 Tunewright.ini", false},
      {"2021-03-05_09.07.41 Tunewright.ini", false},
      {"x2021-03-05 09.07.41 Tunewright.ini", false},
      {"_ini_backup.ini", false},
      {"", false},
  };
  for (const auto& [name, matches] : cases) EXPECT_EQ(IsBackupFileName(name), matches) << name;
}

class BackupTest : public ProfilesTest {
 protected:
  std::string Backup(const std::string& name) { return BackupFolderKey() + "/" + name; }
  std::vector<std::string> Backups() { return ListBackups(fake.files, app.paths.backupIniPath.parent_path()); }
  void Limit(int number) {
    app.options.CreateAutomatically = true;
    app.options.LimitNumberOfBackups = true;
    app.options.NumberOfBackups = number;
  }
};

TEST_F(BackupTest, ManualBackupWithoutMainFileOnlySaysSo) {
  EXPECT_FALSE(MakeBackup(app.ini(), app.options, true));
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text, "\"Tunewright.ini\" does not exist");
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::None);
  EXPECT_FALSE(fake.files.folders.count(BackupFolderKey()));
  EXPECT_FALSE(MakeBackup(app.ini(), app.options, false));
  EXPECT_EQ(fake.dialogs.boxes.size(), 1u);
}

TEST_F(BackupTest, ManualBackupCopiesFlushesAndNamesTheFile) {
  PutIni(kWithProfile);
  EXPECT_TRUE(MakeBackup(app.ini(), app.options, true));
  const std::string copy = Backup("2026-12-09 06.21.12 Tunewright.ini");
  EXPECT_EQ(fake.files.files[copy], fake.files.files[IniKey()]);
  EXPECT_NE(std::find(fake.files.calls.begin(), fake.files.calls.end(), "FlushOpen " + copy), fake.files.calls.end());
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"File saved as \"2026-12-09 06.21.12 Tunewright.ini\""});
}

TEST_F(BackupTest, PruningKeepsTheNewestThreeWhenTheUserAgreesToLoseThree) {
  for (bool agreed : {false, true}) {
    fake.files.files.clear();
    fake.dialogs.boxes.clear();
    PutIni(kWithProfile);
    for (int day = 1; day <= 5; ++day) PutBackup("2026-12-0" + std::to_string(day) + " 10.00.00 Tunewright.ini", "");
    Limit(3);
    fake.dialogs.answers = {agreed};
    EXPECT_TRUE(MakeBackup(app.ini(), app.options, false));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Keeping 3 backups deletes the 3 oldest backup files. Delete them?"});
    EXPECT_EQ(Backups().size(), agreed ? 3u : 6u);
  }
  EXPECT_EQ(Backups(), (std::vector<std::string>{"2026-12-04 10.00.00 Tunewright.ini",
                                                 "2026-12-05 10.00.00 Tunewright.ini",
                                                 "2026-12-09 06.21.12 Tunewright.ini"}));
}

TEST_F(BackupTest, NoPruningWithoutAutomaticBackups) {
  PutIni(kWithProfile);
  for (int day = 1; day <= 5; ++day) PutBackup("2026-12-0" + std::to_string(day) + " 10.00.00 Tunewright.ini", "");
  Limit(3);
  app.options.CreateAutomatically = false;
  EXPECT_TRUE(MakeBackup(app.ini(), app.options, true));
  EXPECT_EQ(Backups().size(), 6u);
}

TEST_F(BackupTest, PruningLeavesOtherFilesAlone) {
  PutIni(kWithProfile);
  PutBackup("2020-01-01 10.00.00 Tunewright.ini.txt", "note");
  PutBackup("_ini_backup.ini", "settings");
  PutBackup("2020-01-01 10.00.00 Tunewright.ini", "");
  Limit(1);
  EXPECT_TRUE(MakeBackup(app.ini(), app.options, false));
  EXPECT_TRUE(fake.files.files.count(Backup("2020-01-01 10.00.00 Tunewright.ini.txt")));
  EXPECT_TRUE(fake.files.files.count(Backup("_ini_backup.ini")));
  EXPECT_FALSE(fake.files.files.count(Backup("2020-01-01 10.00.00 Tunewright.ini")));
}

TEST_F(BackupTest, ABackupThatCannotBeDeletedIsLoggedAndPruningGoesOn) {
  PutIni(kWithProfile);
  PutBackup("2020-01-01 10.00.00 Tunewright.ini", "");
  PutBackup("2020-01-02 10.00.00 Tunewright.ini", "");
  Limit(1);
  fake.dialogs.answers = {true};
  fake.files.failures["RemoveFile"] = 5;
  EXPECT_TRUE(MakeBackup(app.ini(), app.options, false));
  const std::string log = fake.files.files["Tunewright.log"];
  EXPECT_NE(log.find(" - Failed to delete backup file: \"2020-01-01 10.00.00 Tunewright.ini\"\r\n"), std::string::npos);
  EXPECT_NE(log.find(" - Failed to delete backup file: \"2020-01-02 10.00.00 Tunewright.ini\"\r\n"), std::string::npos);
  const auto clears = std::count_if(fake.files.calls.begin(), fake.files.calls.end(),
                                    [](const std::string& c) { return c.rfind("ClearAttributes", 0) == 0; });
  EXPECT_EQ(clears, 2);
}

TEST_F(BackupTest, ReadOnlyBackupIsDeletedAfterItsAttributesAreCleared) {
  PutIni(kWithProfile);
  PutBackup("2020-01-01 10.00.00 Tunewright.ini", "");
  fake.files.readOnly.insert(Backup("2020-01-01 10.00.00 Tunewright.ini"));
  Limit(1);
  EXPECT_TRUE(MakeBackup(app.ini(), app.options, false));
  EXPECT_EQ(Backups().size(), 1u);
  EXPECT_FALSE(fake.files.files.count("Tunewright.log"));
}

TEST_F(BackupTest, CopyAndFolderFailuresAreReportedWithTheSystemCode) {
  PutIni(kWithProfile);
  fake.files.failures["CreateDirectories"] = 5;
  EXPECT_FALSE(MakeBackup(app.ini(), app.options, true));
  fake.files.failures.clear();
  fake.files.failures["WriteTemporaryFile"] = 112;
  EXPECT_FALSE(MakeBackup(app.ini(), app.options, true));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                            "Failed to create directory \"" + Shown(app.paths.backupIniPath.parent_path() / "") + "\" (ErrorCode: 5) (Access is denied.)",
                            "Failed to copy \"Tunewright.ini\" file (ErrorCode: 112)"}));
}

TEST_F(BackupTest, TwoBackupsInOneSecondReplaceEachOther) {
  PutIni(kWithProfile);
  EXPECT_TRUE(MakeBackup(app.ini(), app.options, false));
  PutIni(kWithoutProfile);
  EXPECT_TRUE(MakeBackup(app.ini(), app.options, false));
  ASSERT_EQ(Backups().size(), 1u);
  EXPECT_EQ(fake.files.files[Backup(Backups()[0])], fake.files.files[IniKey()]);
}

class RestoreTest : public BackupTest {
 protected:
  void SetUp() override {
    app.options.RestoreAutomatically = true;
    PutIni(kWithoutProfile);
  }
};

TEST_F(RestoreTest, UnattendedAsksNothingRestoresNothingAndSaysSoOnTheConsole) {
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", kWithProfile);
  fake.dialogs.answers = {true};
  EXPECT_FALSE(RestoreAppFromBackup(app, true, /*unattended=*/true));
  EXPECT_TRUE(fake.dialogs.boxes.empty());
  EXPECT_NE(fake.console.Output().find("was not restored"), std::string::npos);
}

TEST_F(RestoreTest, AsksAboutTheNewestBackupWithProfilesAndNamesAnOlderOne) {
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", kWithProfile);
  PutBackup("2026-01-02 10.00.00 Tunewright.ini", kWithoutProfile);
  fake.dialogs.answers = {true};
  EXPECT_TRUE(RestoreAppFromBackup(app, true));
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].caption, "Restore from backup");
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Question);
  EXPECT_EQ(fake.dialogs.boxes[0].text,
            "Tunewright.ini contains 0 profiles. Restore it from last backup that contains profiles (not the last "
            "one) \"2026-01-01 10.00.00 Tunewright.ini\"?");
  EXPECT_EQ(IniText(), kWithProfile);
  ASSERT_EQ(app.profiles.size(), 1u);
  EXPECT_EQ(app.profiles[0].name, "Kept");
  EXPECT_EQ(fake.files.files["Tunewright.log"].find("was restored from"), std::string::npos);
}

TEST_F(RestoreTest, TheNewestBackupIsNamedWithoutTheRemark) {
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", kWithProfile);
  PutBackup("2026-01-02 10.00.00 Tunewright.ini", "[Profile_0]\nName=Newest\n\n");
  fake.dialogs.answers = {false};
  EXPECT_FALSE(RestoreAppFromBackup(app, true));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Tunewright.ini contains 0 profiles. Restore it from last backup "
                                                 "\"2026-01-02 10.00.00 Tunewright.ini\"?"});
  EXPECT_EQ(IniText(), kWithoutProfile);  // No leaves everything
  EXPECT_TRUE(app.profiles.empty());
}

TEST_F(RestoreTest, SilentRestoreLogsAndReadsSettingsAgain) {
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", "[General]\nEnableI2c=1\n\n[Profile_0]\nName=Kept\n\n");
  app.options.DoNotConfirmOnRestore = true;
  EXPECT_TRUE(RestoreAppFromBackup(app, true));
  EXPECT_TRUE(fake.dialogs.boxes.empty());
  EXPECT_TRUE(app.options.EnableI2c);
  EXPECT_EQ(app.profiles.size(), 1u);
  EXPECT_NE(fake.files.files["Tunewright.log"].find(
                " - \"Tunewright.ini\" was restored from \"2026-01-01 10.00.00 Tunewright.ini\"; the file it replaced "
                "is kept as \"2026-12-09 06.21.12 Tunewright.ini.before-restore\"\r\n"),
            std::string::npos);
}

TEST_F(RestoreTest, NothingHappensWithoutABackupHoldingAProfile) {
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", "[Profile_0]\nName=\n\n");
  PutBackup("2026-01-02 10.00.00 Tunewright.ini", kWithoutProfile);
  PutBackup("2026-01-03 10.00.00 Tunewright.ini.txt", kWithProfile);
  fake.files.folders.insert(Backup("2026-01-04 10.00.00 Tunewright.ini"));  // a folder matching the pattern
  EXPECT_FALSE(RestoreAppFromBackup(app, true));
  EXPECT_TRUE(fake.dialogs.boxes.empty());
  EXPECT_EQ(IniText(), kWithoutProfile);
}

TEST_F(RestoreTest, NothingHappensWhenSwitchedOffOrWithoutFolder) {
  EXPECT_FALSE(RestoreAppFromBackup(app, true));  // no folder
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", kWithProfile);
  app.options.RestoreAutomatically = false;
  fake.dialogs.answers = {true};
  EXPECT_FALSE(RestoreAppFromBackup(app, true));
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(RestoreTest, AFailedCopyLeavesTheMainFileAndSkipsTheReload) {
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", kWithProfile);
  const std::string before = fake.files.files[IniKey()];
  app.options.DoNotConfirmOnRestore = true;
  fake.files.failures["MoveFileOver " + IniKey()] = 32;
  EXPECT_FALSE(RestoreAppFromBackup(app, true));
  EXPECT_EQ(fake.files.files[IniKey()], before);
  EXPECT_FALSE(AnyTemporary());
  EXPECT_TRUE(app.profiles.empty());
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Failed to restore \"Tunewright.ini\" file (ErrorCode: 32)"});
  EXPECT_FALSE(fake.files.files.count("Tunewright.log"));
}

TEST_F(RestoreTest, AnUnreadableMainFileIsNeverReplaced) {
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", kWithProfile);
  app.options.DoNotConfirmOnRestore = true;
  const std::string before = fake.files.files[IniKey()];
  fake.files.failures["ReadFile"] = 32;
  EXPECT_FALSE(RestoreAppFromBackup(app, true));
  fake.files.failures.clear();
  EXPECT_EQ(fake.files.files[IniKey()], before);
  // It stops before looking at any backup (the injected failure would hide them too).
  for (const std::string& call : fake.files.calls) EXPECT_EQ(call.find("ini_backup/2026"), std::string::npos) << call;
}

TEST_F(RestoreTest, AMissingMainFileIsRestored) {
  fake.files.files.erase(IniKey());
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", kWithProfile);
  app.options.DoNotConfirmOnRestore = true;
  EXPECT_TRUE(RestoreAppFromBackup(app, false));
  EXPECT_EQ(IniText(), kWithProfile);
}

}  // namespace
}  // namespace tw::test
