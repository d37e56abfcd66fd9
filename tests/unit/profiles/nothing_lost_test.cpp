// Ways "Tunewright.ini" and its backups used to lose stored lines, each against the
// in-memory file system.

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/latin1_code_page.h"
#include "ini/safe_file_writer.h"
#include "profiles/backup_names.h"
#include "profiles/find_profile.h"
#include "profiles/make_backup.h"
#include "profiles/profile_store.h"
#include "profiles/restore_from_backup.h"
#include "profiles/settings_store.h"
#include "profiles_fixture.h"

namespace tw::test {
namespace {

class NothingLostTest : public ProfilesTest {
 protected:
  std::string Backup(const std::string& name) { return BackupFolderKey() + "/" + name; }
  std::string Log() { return fake.files.files["Tunewright.log"]; }
  void Silently() { app.options.RestoreAutomatically = app.options.DoNotConfirmOnRestore = true; }
};

TEST_F(NothingLostTest, AFileWithProfileSectionsThatFailedToLoadIsNeverRestoredOver) {
  Silently();
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", "[Profile_0]\nName=Old\n\n");
  for (const char* main : {"[General]\nx=1\n\n[Profile_0]\nName=X\nGPU_P1=1000;8OO\n\n",
                           "[Profile_0]\nName=A\n\n[Profile_0]\nNo name\n\n[Profile_6]\nName=Far\n\n",
                           "[Unloaded Profile_1]\nName=Y\n\n"}) {
    PutIni(main);
    LoadProfiles(app.ini(), app.profiles, app.knownProfileSections);
    app.profiles.clear();
    EXPECT_FALSE(RestoreAppFromBackup(app, true)) << main;
    EXPECT_EQ(IniText(), main);
  }
}

TEST_F(NothingLostTest, ARestoreKeepsTheReplacedFileWhereNoRestoreOrPruningReachesIt) {
  Silently();
  PutIni("[General]\nShowBusNumber=1\n\n[Other]\nmine=1\n\n");
  const std::string before = fake.files.files[IniKey()];
  PutBackup("2026-01-01 10.00.00 Tunewright.ini", "[Profile_0]\nName=Old\n\n");
  ASSERT_TRUE(RestoreAppFromBackup(app, true));
  const std::string kept = "2026-12-09 06.21.12 Tunewright.ini.before-restore";
  EXPECT_EQ(fake.files.files[Backup(kept)], before);
  EXPECT_NE(Log().find("was restored from \"2026-01-01 10.00.00 Tunewright.ini\"; the file it replaced is kept as \"" +
                       kept + "\""),
            std::string::npos)
      << Log();
  EXPECT_FALSE(IsBackupFileName(kept));
}

TEST_F(NothingLostTest, ABackupCopyThatFailsLeavesNothingUnderABackupName) {
  PutIni("[Profile_0]\nName=A\n\n");
  PutBackup("2026-01-01 10.00.00 Tunewright.ini.7.tmp", "half");  // a killed run's leftover
  for (const char* operation : {"WriteTemporaryFile", "MoveFileOver"}) {
    fake.files.failures = {{operation, 112}};
    EXPECT_FALSE(MakeBackup(app.ini(), app.options, false)) << operation;
    std::vector<std::string> names = fake.files.ListFiles(app.paths.backupIniPath.parent_path());
    EXPECT_EQ(names, std::vector<std::string>{}) << operation;
  }
}

TEST_F(NothingLostTest, AnotherRunHoldingTheLockMakesTheSaveWaitThenGiveUpSaying) {
  PutIni("[Profile_0]\nName=A\n\n");
  const std::string before = fake.files.files[IniKey()];
  fake.files.locks.insert(IniKey() + ".lock");
  app.profiles.resize(1);
  EXPECT_FALSE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(fake.files.files[IniKey()], before);
  uint32_t waited = 0;
  for (uint32_t sleep : fake.clock.sleeps) waited += sleep;
  EXPECT_EQ(waited, kLockWaitMilliseconds);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"\"" + Shown(app.paths.iniPath) +
                                                 "\" is being saved by another Tunewright and stayed locked for 10 "
                                                 "seconds: nothing was saved"});
}

TEST_F(NothingLostTest, EveryRewriteHoldsTheLockFromTheReadToTheReplace) {
  PutIni("[Profile_0]\nName=A\n\n");
  const std::vector<std::function<void()>> writers = {
      [&] { SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections); },
      [&] { ForgetI2cSection(app.ini()); },
      [&] {
        SettingsValues dialog;
        dialog.NumberOfBackups = 3;
        SaveSettings(app.ini(), dialog);
      }};
  PutIni("[Profile_0]\nName=A\n\n[I2C]\nGPU0=1\n\n");
  PutFile(BackupIniKey(), "[General]\n");
  for (const auto& write : writers) {
    fake.files.calls.clear();
    write();
    // Walking back from the replace: the read it is based on, then the lock, no unlock between.
    const auto& calls = fake.files.calls;
    const auto is = [](const std::string& call, const char* operation) { return call.rfind(operation, 0) == 0; };
    auto it = std::find_if(calls.begin(), calls.end(), [&](const std::string& c) { return is(c, "MoveFileOver"); });
    ASSERT_NE(it, calls.end());
    bool read = false;
    while (it != calls.begin() && !is(*--it, "TryLockFile")) {
      read = read || is(*it, "ReadFile");
      EXPECT_FALSE(is(*it, "Unlock"));
    }
    EXPECT_TRUE(read && is(*it, "TryLockFile"));
  }
}

TEST_F(NothingLostTest, ASectionAddedByHandOrByAnotherRunSinceTheLoadIsSetAsideNotDeleted) {
  PutIni("[Profile_0]\nName=A\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  PutIni("[Profile_0]\nName=A mended\n\n[Profile_1]\nName=B\n\n");
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(IniText(),
            "[Unloaded Profile_0]\nName=A mended\n\n[Unloaded Profile_1]\nName=B\n\n"
            "[Profile_0]\nName=A\n\n");
}

TEST_F(NothingLostTest, ForeignLinesInAProfileSectionKeepTheirPlaceAndASectionWithoutNameIsSetAside) {
  PutIni("[Profile_0]\n; my card\nName=A\nGPU_P0=300;750\nColour=red\nGPU_P0=1;1\nstray line\nPower_Target=5\n\n"
         "[Profile_1]\nGPU_P0=300;750\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  app.profiles[0].gpuClock = {310};
  app.profiles[0].fanZeroRpm = 1;
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_EQ(IniText(),
            "[Unloaded Profile_1]\nGPU_P0=300;750\n\n"
            "[Profile_0]\n; my card\nName=A\nGPU_P0=310;750\nFan_ZeroRPM=1\nColour=red\nGPU_P0=1;1\n"
            "stray line\nPower_Target=5\n\n");
}

TEST_F(NothingLostTest, EachLineOfAFileWithoutMarkIsDecodedOnItsOwn) {
  Latin1CodePage latin1;
  FakePlatform other;
  Platform platform{latin1, other.clock, other.console, other.dialogs, other.files, other.libraries, other.machine,
                    other.errors, other.displayDevices, other.shell};
  App a(platform);
  other.files.files[Key(a.paths.iniPath)] = "[Other]\nnote=caf\xE9\n[Profile_0]\nName=M\xC3\xBCnchen\n";
  ASSERT_EQ(LoadProfiles(a.ini(), a.profiles, a.knownProfileSections), 1);
  EXPECT_EQ(FindProfile(a.profiles, "M\xC3\xBCnchen"), 0);
  ASSERT_TRUE(SaveProfiles(a.ini(), a.options, a.profiles, a.knownProfileSections));
  const std::string text = DecodeIniBytes(other.files.files[Key(a.paths.iniPath)], latin1).text;
  EXPECT_NE(text.find("note=caf\xC3\xA9\r\n"), std::string::npos);
  EXPECT_NE(text.find("Name=M\xC3\xBCnchen\r\n"), std::string::npos);
}

TEST_F(NothingLostTest, PruningNeverDeletesTheCopyJustMadeAndLogsFutureDates) {
  PutIni("[Profile_0]\nName=A\n\n");
  for (int year = 2030; year <= 2032; ++year) PutBackup(std::to_string(year) + "-01-01 10.00.00 Tunewright.ini", "");
  app.options.CreateAutomatically = app.options.LimitNumberOfBackups = true;
  app.options.NumberOfBackups = 2;
  fake.dialogs.answers = {true};  // two go at once
  ASSERT_TRUE(MakeBackup(app.ini(), app.options, false));
  EXPECT_EQ(ListBackups(fake.files, app.paths.backupIniPath.parent_path()),
            (std::vector<std::string>{"2026-12-09 06.21.12 Tunewright.ini", "2032-01-01 10.00.00 Tunewright.ini"}));
  EXPECT_NE(Log().find("3 backup file(s) are dated after the backup just made (\"2026-12-09 06.21.12 Tunewright.ini\"), "
                       "the newest \"2032-01-01 10.00.00 Tunewright.ini\""),
            std::string::npos)
      << Log();
}

TEST_F(NothingLostTest, ASymbolicLinkIsSavedThroughToTheFileItNames) {
  const std::string target = "D:/Settings/Tunewright.ini";
  fake.files.links[IniKey()] = target;
  fake.files.files[target] = Encode("[Profile_0]\nName=A\n\n");
  ASSERT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 1);
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_FALSE(fake.files.files.count(IniKey()));
  EXPECT_EQ(Text(target), "[Profile_0]\nName=A\n\n");
}

TEST_F(NothingLostTest, AFolderNamedLikeTheFileIsReportedOnceAndNeverReplaced) {
  fake.files.folders.insert(IniKey());
  LoadAppSettings(app, true);
  EXPECT_EQ(LoadProfiles(app.ini(), app.profiles, app.knownProfileSections), 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"\"" + Shown(app.paths.iniPath) +
                                                 "\" is a folder, not a file: it is neither read nor replaced"});
  app.profiles.resize(1);
  EXPECT_FALSE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_FALSE(fake.files.files.count(IniKey()));
}

TEST_F(NothingLostTest, TheNextSaveRemovesTemporaryFilesAKilledRunLeft) {
  PutFile(IniKey() + ".tmp", "half");
  PutFile(IniKey() + ".a1b2.tmp", "half");
  PutFile(IniKey() + ".lock.txt", "not ours");
  app.profiles.resize(1);
  ASSERT_TRUE(SaveProfiles(app.ini(), app.options, app.profiles, app.knownProfileSections));
  EXPECT_FALSE(fake.files.files.count(IniKey() + ".tmp"));
  EXPECT_FALSE(fake.files.files.count(IniKey() + ".a1b2.tmp"));
  EXPECT_TRUE(fake.files.files.count(IniKey() + ".lock.txt"));
}

}  // namespace
}  // namespace tw::test
